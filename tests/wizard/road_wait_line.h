// What vek-wizard-road's wizard waits for, on standard error: on a terminal one
// line that turns and counts the seconds until the wait ends, then goes;
// elsewhere the line once.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class RoadWaitLine {
 public:
  ~RoadWaitLine() { Stop(); }
  // Ends the wait shown before, if any.
  void Start(const std::string& text);
  void Stop();

 private:
  void Turn(const std::string& text);

  std::mutex m_lock;
  std::condition_variable m_changed;
  bool m_running = false;
  std::thread m_thread;
};
