#include "ui/terminal/screen_ticker.h"

namespace vek::ui::terminal {

ScreenTicker::ScreenTicker(std::chrono::milliseconds period, std::function<void()> tick)
    : m_period(period), m_tick(std::move(tick)) {
  m_thread = std::thread([this] { Run(); });
}

ScreenTicker::~ScreenTicker() { Stop(); }

void ScreenTicker::Stop() {
  {
    std::lock_guard guard(m_lock);
    m_stop = true;
  }
  m_stopped.notify_all();
  if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) m_thread.join();
}

void ScreenTicker::Run() {
  std::unique_lock lock(m_lock);
  while (!m_stopped.wait_for(lock, m_period, [this] { return m_stop; })) {
    lock.unlock();
    m_tick();
    lock.lock();
  }
}

}  // namespace vek::ui::terminal
