// The terminal through curses: the only code that talks to it. Shows a cell grid
// (curses sends only what changed), places the cursor, and reads keys and mouse
// events without waiting.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>

#include "ui/terminal/cell_grid.h"
#include "ui/terminal/terminal_key.h"

namespace vek::ui::terminal {

class CursesScreen {
 public:
  CursesScreen() = default;
  ~CursesScreen();
  CursesScreen(const CursesScreen&) = delete;
  CursesScreen& operator=(const CursesScreen&) = delete;

  // Takes over the process's terminal; false when there is none (or it cannot be
  // driven: no terminal description).
  bool Open();
  void Close();
  bool IsOpen() const { return m_screen != nullptr; }
  // Whether the terminal takes UTF-8 (else only ASCII is sent).
  bool Unicode() const { return m_unicode; }
  // Whether the terminal shows colours (8, 16 or 256 of them); cells' own colours
  // go to the nearest the terminal has.
  bool Colours() const { return m_colours >= 8; }
  // Columns in x, rows in y.
  CellPoint Size() const;

  void Show(const CellGrid& grid, std::optional<CellPoint> cursor, bool repaintAll);
  // The next key waiting, if any; never waits (except for the rest of an escape
  // sequence).
  std::optional<TermKey> ReadKey();

  // Bytes that take the terminal out of the screen mode: what a signal handler can
  // still write when the program is killed.
  const std::string& ResetSequence() const { return m_reset; }

 private:
  int ColourIndex(std::uint32_t rgb, bool dim) const;
  int Pair(std::uint32_t fg, std::uint32_t bg, bool dim);

  void* m_screen = nullptr;  // SCREEN*, kept out of this header
  bool m_unicode = false;
  int m_colours = 0;
  int m_pairLimit = 0;
  std::map<std::pair<int, int>, int> m_pairs;  // (foreground, background) to colour pair
  std::string m_reset;
  // Mouse events curses took in one go, oldest first, not yet read.
  std::deque<TermKey> m_mouseEvents;
};

}  // namespace vek::ui::terminal
