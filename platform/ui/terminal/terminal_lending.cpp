#include "ui/terminal/terminal_lending.h"

namespace vek::ui::terminal {

void TerminalLending::Ask(Request request, bool lent) {
  std::unique_lock lock(m_lock);
  if (m_closed) return;
  m_request = request;
  m_changed.wait(lock, [&] { return m_closed || m_lent == lent; });
  m_request = Request::None;
}

void TerminalLending::LendTerminal() { Ask(Request::Lend, true); }

void TerminalLending::TakeTerminalBack() { Ask(Request::TakeBack, false); }

TerminalLending::Request TerminalLending::Pending() {
  std::lock_guard guard(m_lock);
  if (m_request == Request::Lend && m_lent) return Request::None;
  if (m_request == Request::TakeBack && !m_lent) return Request::None;
  return m_request;
}

void TerminalLending::Done(bool lent) {
  {
    std::lock_guard guard(m_lock);
    m_lent = lent;
  }
  m_changed.notify_all();
}

bool TerminalLending::IsLent() {
  std::lock_guard guard(m_lock);
  return m_lent;
}

void TerminalLending::Close() {
  {
    std::lock_guard guard(m_lock);
    m_closed = true;
  }
  m_changed.notify_all();
}

}  // namespace vek::ui::terminal
