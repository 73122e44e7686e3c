// Watches the terminal for input on a thread of its own and sets a kernel event,
// so the user-interface thread can wait for its message queue and the keyboard in
// one MsgWaitForMultipleObjects. After each signal it waits to be re-armed by the
// reader, so unread input does not spin it.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "kernel/types.h"

namespace vek::ui::terminal {

class StdinWatcher {
 public:
  explicit StdinWatcher(int fd);
  ~StdinWatcher();
  StdinWatcher(const StdinWatcher&) = delete;
  StdinWatcher& operator=(const StdinWatcher&) = delete;

  bool Running() const { return m_thread.joinable(); }
  // Set (auto-reset) when input is waiting.
  HANDLE Event() const { return m_event; }
  // The input was read: watch again.
  void Rearm();
  void Stop();

 private:
  void Run();

  int m_fd;
  int m_wake[2] = {-1, -1};
  HANDLE m_event = nullptr;
  std::mutex m_lock;
  std::condition_variable m_changed;
  bool m_armed = true;
  bool m_stop = false;
  std::thread m_thread;
};

}  // namespace vek::ui::terminal
