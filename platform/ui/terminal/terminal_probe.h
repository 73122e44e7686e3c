// Whether the terminal named by TERM has a description curses can drive. Asked
// before curses starts: a failed start leaves memory behind in the library.
#pragma once

namespace vek::ui::terminal {

bool TerminalIsDescribed(int outputFd);

}  // namespace vek::ui::terminal
