#include "ui/terminal/stdin_watcher.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "kernel/sync.h"

namespace vek::ui::terminal {

StdinWatcher::StdinWatcher(int fd) : m_fd(fd) {
  m_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (m_event == nullptr || pipe(m_wake) != 0) return;
  m_thread = std::thread([this] { Run(); });
}

StdinWatcher::~StdinWatcher() {
  Stop();
  for (int fd : m_wake)
    if (fd >= 0) close(fd);
  if (m_event) CloseHandle(m_event);
}

void StdinWatcher::Stop() {
  {
    std::lock_guard guard(m_lock);
    m_stop = true;
  }
  m_changed.notify_all();
  if (m_wake[1] >= 0) {
    char byte = 0;
    ssize_t ignored = write(m_wake[1], &byte, 1);
    (void)ignored;
  }
  if (m_thread.joinable()) m_thread.join();
}

void StdinWatcher::Rearm() {
  {
    std::lock_guard guard(m_lock);
    m_armed = true;
  }
  m_changed.notify_all();
}

void StdinWatcher::Run() {
  for (;;) {
    {
      std::unique_lock lock(m_lock);
      m_changed.wait(lock, [this] { return m_armed || m_stop; });
      if (m_stop) return;
    }
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    int ready = poll(fds, 2, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents) return;  // stopping
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
      {
        std::lock_guard guard(m_lock);
        m_armed = false;
      }
      SetEvent(m_event);
    }
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return;  // the terminal went away
  }
}

}  // namespace vek::ui::terminal
