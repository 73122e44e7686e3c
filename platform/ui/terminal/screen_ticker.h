// Calls a function at a fixed period on a thread of its own until it is stopped.
// The terminal front end keeps its screen moving with it (an animation playing,
// the busy spinner, a terminal resized) while the thread that shows the windows is
// too busy to paint them: as the platform plays animations and animated cursors
// whatever the program's own thread is doing.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vek::ui::terminal {

class ScreenTicker {
 public:
  ScreenTicker(std::chrono::milliseconds period, std::function<void()> tick);
  ~ScreenTicker();
  ScreenTicker(const ScreenTicker&) = delete;
  ScreenTicker& operator=(const ScreenTicker&) = delete;

  // Waits for a tick under way; later calls do nothing.
  void Stop();

 private:
  void Run();

  std::chrono::milliseconds m_period;
  std::function<void()> m_tick;
  std::mutex m_lock;
  std::condition_variable m_stopped;
  bool m_stop = false;
  std::thread m_thread;
};

}  // namespace vek::ui::terminal
