#include "shell/terminal_lease.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace vek::shell {
namespace {

constexpr char kBorrow = 'B';
constexpr char kReturn = 'R';
constexpr char kGranted = 'G';

bool WriteByte(int fd, char byte) {
  for (;;) {
    ssize_t written = send(fd, &byte, 1, MSG_NOSIGNAL);
    if (written == 1) return true;
    if (written < 0 && errno == EINTR) continue;
    return false;
  }
}

// The lender's side: every lease of the programs this process started, served on a
// thread of its own.
class LeaseService {
 public:
  static LeaseService& Instance() {
    static LeaseService* service = new LeaseService;  // its thread runs until the process ends
    return *service;
  }

  int Open() {
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return -1;
    std::lock_guard guard(m_lock);
    if (!StartLocked()) {
      close(pair[0]);
      close(pair[1]);
      return -1;
    }
    m_leases.push_back(Lease{pair[0], false});
    Wake();
    return pair[1];
  }

  void SetHolder(TerminalHolder* holder) {
    std::lock_guard calls(m_holderLock);
    m_holder = holder;
  }

 private:
  struct Lease {
    int fd;
    bool waiting;
  };

  bool StartLocked() {
    if (m_wake[0] >= 0) return true;
    if (pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    try {
      std::thread([this] { Run(); }).detach();
    } catch (const std::system_error&) {
      close(m_wake[0]);
      close(m_wake[1]);
      m_wake[0] = m_wake[1] = -1;
      return false;
    }
    return true;
  }

  void Wake() {
    char byte = 0;
    ssize_t ignored = write(m_wake[1], &byte, 1);
    (void)ignored;
  }

  void Lend() {
    std::lock_guard calls(m_holderLock);
    if (m_holder) m_holder->LendTerminal();
  }

  void TakeBack() {
    std::lock_guard calls(m_holderLock);
    if (m_holder) m_holder->TakeTerminalBack();
  }

  // A lease's end said something or closed; false when the lease is over.
  bool Read(Lease& lease) {
    char bytes[16];
    ssize_t got = recv(lease.fd, bytes, sizeof bytes, MSG_DONTWAIT);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) return true;
    if (got <= 0) return false;
    for (ssize_t i = 0; i < got; ++i) {
      if (bytes[i] == kBorrow && m_holding != lease.fd && !lease.waiting) {
        lease.waiting = true;
        m_queue.push_back(lease.fd);
      } else if (bytes[i] == kReturn && m_holding == lease.fd) {
        m_holding = -1;
      }
    }
    return true;
  }

  void Drop(int fd) {
    if (m_holding == fd) m_holding = -1;
    std::erase(m_queue, fd);
    close(fd);
  }

  // The next borrower gets the terminal; with none left the holder takes it back.
  void Grant() {
    while (m_holding < 0 && !m_queue.empty()) {
      int next = m_queue.front();
      m_queue.pop_front();
      if (!m_lent) {
        Lend();
        m_lent = true;
      }
      std::lock_guard guard(m_lock);
      for (Lease& lease : m_leases)
        if (lease.fd == next) lease.waiting = false;
      if (WriteByte(next, kGranted)) m_holding = next;
    }
    if (m_holding < 0 && m_lent) {
      TakeBack();
      m_lent = false;
    }
  }

  void Run() {
    for (;;) {
      std::vector<pollfd> fds;
      {
        std::lock_guard guard(m_lock);
        fds.push_back({m_wake[0], POLLIN, 0});
        for (const Lease& lease : m_leases) fds.push_back({lease.fd, POLLIN, 0});
      }
      if (poll(fds.data(), fds.size(), -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[0].revents) {
        char drain[64];
        while (read(m_wake[0], drain, sizeof drain) > 0) {
        }
      }
      std::vector<int> ended;
      {
        std::lock_guard guard(m_lock);
        for (std::size_t i = 1; i < fds.size(); ++i) {
          if (!fds[i].revents) continue;
          for (Lease& lease : m_leases)
            if (lease.fd == fds[i].fd && !Read(lease)) ended.push_back(lease.fd);
        }
        for (int fd : ended) {
          std::erase_if(m_leases, [fd](const Lease& lease) { return lease.fd == fd; });
          Drop(fd);
        }
      }
      Grant();
    }
  }

  std::mutex m_lock;         // the leases; the queue and the holder state are the thread's own
  std::mutex m_holderLock;   // held across calls into the holder
  TerminalHolder* m_holder = nullptr;
  std::vector<Lease> m_leases;
  std::deque<int> m_queue;
  int m_holding = -1;
  bool m_lent = false;
  int m_wake[2] = {-1, -1};
};

// The borrower's side: the lease this process was started with, if any.
int InheritedLease() {
  static const int fd = [] {
    const char* text = std::getenv(kLeaseVariable);
    if (text == nullptr || *text == '\0') return -1;
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 1 << 20) return -1;
    struct stat info {};
    int lease = static_cast<int>(value);
    if (fstat(lease, &info) != 0 || !S_ISSOCK(info.st_mode)) return -1;
    fcntl(lease, F_SETFD, FD_CLOEXEC);  // the programs this one starts get leases of their own
    return lease;
  }();
  return fd;
}

}  // namespace

void SetTerminalHolder(TerminalHolder* holder) { LeaseService::Instance().SetHolder(holder); }

int OpenChildLease() { return LeaseService::Instance().Open(); }

bool BorrowTerminal() {
  int lease = InheritedLease();
  if (lease < 0 || !WriteByte(lease, kBorrow)) return false;
  for (;;) {
    char byte = 0;
    ssize_t got = recv(lease, &byte, 1, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;  // the lender has ended: the terminal is free
    if (byte == kGranted) return true;
  }
}

void ReturnTerminal() {
  int lease = InheritedLease();
  if (lease >= 0) WriteByte(lease, kReturn);
}

}  // namespace vek::shell
