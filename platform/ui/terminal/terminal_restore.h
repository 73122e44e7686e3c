// Puts the terminal back when the program ends while the screen is in use: on
// SIGINT, SIGTERM, SIGHUP, SIGQUIT or SIGABRT it restores the saved modes and the
// normal screen, then lets the signal end the program as it would have (or hands it
// to the handler the program had); at exit() it calls the front end's shutdown.
#pragma once

#include <string>

namespace vek::ui::terminal {

// Saves the terminal's modes and takes the signals; call before curses starts, so
// that curses leaves them to us (its own handlers would end the program at once).
void PrepareTerminalRestore();
// From now on a signal restores the terminal with these bytes and the saved modes,
// and exit() runs `atExit` first.
void ArmTerminalRestore(const std::string& resetSequence, void (*atExit)());
// The screen is closed: signals and exit() behave as before.
void DisarmTerminalRestore();

}  // namespace vek::ui::terminal
