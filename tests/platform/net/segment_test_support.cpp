#include "segment_test_support.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <thread>

namespace vek::net::test {
namespace {

std::uint32_t RandomBits() {
  static std::mt19937 generator{std::random_device{}()};
  return static_cast<std::uint32_t>(generator());
}

std::string Hex(std::uint64_t value, int digits) {
  char text[24];
  std::snprintf(text, sizeof(text), "%0*llx", digits, static_cast<unsigned long long>(value));
  return text;
}

}  // namespace

std::uint16_t RandomSegmentPort() { return static_cast<std::uint16_t>(20000 + RandomBits() % 8000); }

std::string SegmentText(std::uint16_t port) { return "127.255.255.255:" + std::to_string(port); }

std::string RandomNetworkHex() { return Hex(0x10 + RandomBits() % 0xFFFFFF00u, 8); }

std::string RandomNodeHex() {
  // Locally administered, never the broadcast node.
  const std::uint64_t low = (static_cast<std::uint64_t>(RandomBits()) << 8) | (RandomBits() & 0xFF);
  return Hex((0x06ull << 40) | (low & 0xFFFFFFFFFFull), 12);
}

Channel::~Channel() {
  ::close(m_read);
  ::close(m_write);
}

bool Channel::Send(const std::string& line) {
  const std::string text = line + "\n";
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(m_write, text.data() + done, text.size() - done);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<std::string> Channel::Receive(std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    auto newline = m_buffered.find('\n');
    if (newline != std::string::npos) {
      std::string line = m_buffered.substr(0, newline);
      m_buffered.erase(0, newline + 1);
      return line;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd entry{m_read, POLLIN, 0};
    if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[256];
    ssize_t n = ::read(m_read, chunk, sizeof(chunk));
    if (n <= 0) return std::nullopt;  // the other side is gone
    m_buffered.append(chunk, static_cast<std::size_t>(n));
  }
}

ChildProcess::ChildProcess(const std::function<int(Channel&)>& work) {
  int toChild[2];
  int toParent[2];
  if (::pipe(toChild) != 0 || ::pipe(toParent) != 0) return;
  m_pid = ::fork();
  if (m_pid == 0) {
    ::close(toChild[1]);
    ::close(toParent[0]);
    Channel channel(toChild[0], toParent[1]);
    ::_exit(work(channel));
  }
  ::close(toChild[0]);
  ::close(toParent[1]);
  m_channel.emplace(toParent[0], toChild[1]);
}

ChildProcess::~ChildProcess() {
  if (m_pid > 0) {
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
  }
}

int ChildProcess::Wait(std::chrono::milliseconds limit) {
  if (m_pid <= 0) return -1;
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    int status = 0;
    pid_t done = ::waitpid(m_pid, &status, WNOHANG);
    if (done == m_pid) {
      m_pid = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (done < 0 || std::chrono::steady_clock::now() >= end) return -1;
    // Polling an exit: there is nothing to wait on but the child itself.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace vek::net::test
