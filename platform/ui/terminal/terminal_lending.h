// The front end's side of lending the terminal to a program it started: the lease
// service asks from its own thread, and the user-interface thread, which alone
// opens and closes the screen, closes or reopens it at its next turn.
#pragma once

#include <condition_variable>
#include <mutex>

#include "shell/terminal_lease.h"

namespace vek::ui::terminal {

class TerminalLending : public vek::shell::TerminalHolder {
 public:
  enum class Request { None, Lend, TakeBack };

  // On the lease service's thread: wait until the user-interface thread has done it
  // (or the front end has closed).
  void LendTerminal() override;
  void TakeTerminalBack() override;

  // On the user-interface thread: what is asked of it, and that it is done.
  Request Pending();
  void Done(bool lent);
  bool IsLent();
  // The front end closes: nobody waits for it any more.
  void Close();

 private:
  void Ask(Request request, bool lent);

  std::mutex m_lock;
  std::condition_variable m_changed;
  Request m_request = Request::None;
  bool m_lent = false;
  bool m_closed = false;
};

}  // namespace vek::ui::terminal
