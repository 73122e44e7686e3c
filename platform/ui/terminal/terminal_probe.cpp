#include "ui/terminal/terminal_probe.h"

// The terminal database's header defines a macro for every capability name; it
// stays in this file.
#define NCURSES_NOMACROS 1
#include <curses.h>
#include <term.h>

namespace vek::ui::terminal {

bool TerminalIsDescribed(int outputFd) {
  int error = 0;
  if (setupterm(nullptr, outputFd, &error) != OK) return false;
  del_curterm(cur_term);  // curses makes its own when it starts
  return true;
}

}  // namespace vek::ui::terminal
