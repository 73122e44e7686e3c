#include "ui/terminal/curses_screen.h"

#include <langinfo.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "ui/terminal/terminal_colours.h"
#include "ui/terminal/terminal_probe.h"

// Last, and without its macros: they would rename functions like move and clear.
#define NCURSES_NOMACROS 1
#define NCURSES_WIDECHAR 1
#include <curses.h>

namespace vek::ui::terminal {
namespace {

constexpr int kEscapeDelayMs = 25;
constexpr wint_t kEscape = 27, kCtrlL = 12, kDelete = 127;
constexpr char32_t kUpperHalf = U'\u2580';

std::string Capability(const char* name) {
  char* value = tigetstr(name);
  if (value == nullptr || value == reinterpret_cast<char*>(-1)) return {};
  return value;
}

attr_t Attributes(std::uint8_t attr) {
  attr_t result = A_NORMAL;
  if (attr & kBold) result |= A_BOLD;
  if (attr & kReverse) result |= A_REVERSE;
  if (attr & kDim) result |= A_DIM;
  if (attr & kUnderline) result |= A_UNDERLINE;
  return result;
}

std::optional<TermKey> FromKeyCode(wint_t code, bool alt) {
  switch (code) {
    case KEY_UP: return TermKey::Key(KeyCode::Up, alt);
    case KEY_DOWN: return TermKey::Key(KeyCode::Down, alt);
    case KEY_LEFT: return TermKey::Key(KeyCode::Left, alt);
    case KEY_RIGHT: return TermKey::Key(KeyCode::Right, alt);
    case KEY_HOME: return TermKey::Key(KeyCode::Home, alt);
    case KEY_END: return TermKey::Key(KeyCode::End, alt);
    case KEY_DC: return TermKey::Key(KeyCode::Delete, alt);
    case KEY_BACKSPACE: return TermKey::Key(KeyCode::Backspace, alt);
    case KEY_PPAGE: return TermKey::Key(KeyCode::PageUp, alt);
    case KEY_NPAGE: return TermKey::Key(KeyCode::PageDown, alt);
    case KEY_BTAB: return TermKey::Key(KeyCode::BackTab, alt);
    case KEY_ENTER: return TermKey::Key(KeyCode::Enter, alt);
    case KEY_RESIZE: return TermKey::Key(KeyCode::Resize);
    default: break;
  }
  if (code == static_cast<wint_t>(KEY_F(4))) return TermKey::Key(KeyCode::F4, alt);
  // Modified arrows come as extended keys named after their capability.
  if (const char* name = keyname(static_cast<int>(code))) {
    if (std::strncmp(name, "kDN", 3) == 0) return TermKey::Key(KeyCode::Down, std::strcmp(name, "kDN3") == 0);
    if (std::strncmp(name, "kUP", 3) == 0) return TermKey::Key(KeyCode::Up, std::strcmp(name, "kUP3") == 0);
  }
  return std::nullopt;
}

std::optional<TermKey> FromCharacter(wint_t c, bool alt) {
  switch (c) {
    case L'\n':
    case L'\r': return TermKey::Key(KeyCode::Enter, alt);
    case L'\t': return TermKey::Key(KeyCode::Tab, alt);
    case 8:
    case kDelete: return TermKey::Key(KeyCode::Backspace, alt);
    case kCtrlL: return TermKey::Key(KeyCode::Redraw);
    default: break;
  }
  if (c < 0x20) return std::nullopt;  // other control keys mean nothing here
  return TermKey::Char(static_cast<char32_t>(c), alt);
}

std::optional<TermKey> FromMouse(const MEVENT& event) {
  if (event.bstate & (BUTTON1_PRESSED | BUTTON1_CLICKED)) return TermKey::Click(event.x, event.y);
  if (event.bstate & BUTTON4_PRESSED) return TermKey::Wheel(event.x, event.y, true);
  if (event.bstate & BUTTON5_PRESSED) return TermKey::Wheel(event.x, event.y, false);
  return std::nullopt;
}

// Mouse events that reach curses together (clicks in quick succession) come with
// one KEY_MOUSE; each getmouse gives the next older one. All of them, oldest first.
void TakeMouseEvents(std::deque<TermKey>& into) {
  std::deque<TermKey> taken;
  MEVENT event{};
  while (getmouse(&event) == OK)
    if (std::optional<TermKey> key = FromMouse(event)) taken.push_front(*key);
  into.insert(into.end(), taken.begin(), taken.end());
}

}  // namespace

CursesScreen::~CursesScreen() { Close(); }

bool CursesScreen::Open() {
  if (m_screen) return true;
  if (!TerminalIsDescribed(fileno(stdout))) return false;
  SCREEN* screen = newterm(nullptr, stdout, stdin);
  if (screen == nullptr) return false;
  set_term(screen);
  m_screen = screen;
  const char* codeset = nl_langinfo(CODESET);
  m_unicode = codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
  cbreak();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  nodelay(stdscr, TRUE);
  set_escdelay(kEscapeDelayMs);
  mousemask(BUTTON1_PRESSED | BUTTON1_CLICKED | BUTTON4_PRESSED | BUTTON5_PRESSED, nullptr);
  mouseinterval(0);
  curs_set(0);
  if (has_colors() && start_color() == OK) {
    use_default_colors();
    m_colours = COLORS;
    m_pairLimit = COLOR_PAIRS;
  }
  m_reset = Capability("sgr0") + Capability("cnorm") + Capability("rmkx") + Capability("rmcup");
  if (!Capability("kmous").empty()) m_reset += "\033[?1000l\033[?1002l\033[?1006l";
  return true;
}

void CursesScreen::Close() {
  if (!m_screen) return;
  curs_set(1);
  endwin();
  delscreen(static_cast<SCREEN*>(m_screen));
  m_screen = nullptr;
  m_colours = 0;
  m_pairs.clear();
  m_mouseEvents.clear();
  std::fflush(stdout);
}

CellPoint CursesScreen::Size() const {
  if (!m_screen) return CellPoint{0, 0};
  return CellPoint{getmaxx(stdscr), getmaxy(stdscr)};
}

int CursesScreen::ColourIndex(std::uint32_t rgb, bool dim) const {
  if (rgb == kTerminalColour) return -1;
  if (dim) rgb = (rgb >> 1) & 0x7F7F7F;  // a picture under a modal window darkens
  return PaletteIndex(rgb, m_colours);
}

int CursesScreen::Pair(std::uint32_t fg, std::uint32_t bg, bool dim) {
  if (m_colours < 8 || (fg == kTerminalColour && bg == kTerminalColour)) return 0;
  std::pair<int, int> key{ColourIndex(fg, dim), ColourIndex(bg, dim)};
  if (auto found = m_pairs.find(key); found != m_pairs.end()) return found->second;
  int pair = static_cast<int>(m_pairs.size()) + 1;
  if (pair >= m_pairLimit) return 0;  // out of pairs: the terminal's own colours
  if (init_extended_pair(pair, key.first, key.second) != OK) return 0;
  m_pairs[key] = pair;
  return pair;
}

void CursesScreen::Show(const CellGrid& grid, std::optional<CellPoint> cursor, bool repaintAll) {
  if (!m_screen) return;
  CellPoint size = Size();
  int rows = std::min(size.y, grid.Height()), columns = std::min(size.x, grid.Width());
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < columns; ++x) {
      const Cell& cell = grid.At(x, y);
      if (cell.tail) continue;
      wchar_t text[2] = {static_cast<wchar_t>(cell.ch), L'\0'};
      if (!m_unicode && cell.ch > 0x7E) text[0] = L'?';
      bool dim = (cell.attr & kDim) != 0;
      auto [fg, bg] = CellColours(cell, m_colours);
      // A half block whose halves come out alike is a space on that colour.
      if (cell.ch == kUpperHalf && fg != kTerminalColour && ColourIndex(fg, dim) == ColourIndex(bg, dim)) {
        text[0] = L' ';
        fg = kTerminalColour;
      }
      cchar_t shown;
      int pair = Pair(fg, bg, dim);
      attr_t attributes = Attributes(pair ? static_cast<std::uint8_t>(cell.attr & ~kDim) : cell.attr);
      setcchar(&shown, text, attributes, static_cast<short>(std::min(pair, 0x7FFF)), &pair);
      mvwadd_wch(stdscr, y, x, &shown);
    }
  }
  if (repaintAll) clearok(curscr, TRUE);
  if (cursor && cursor->x < size.x && cursor->y < size.y) {
    curs_set(1);
    wmove(stdscr, cursor->y, cursor->x);
  } else {
    curs_set(0);
  }
  wnoutrefresh(stdscr);
  doupdate();
}

std::optional<TermKey> CursesScreen::ReadKey() {
  if (!m_screen) return std::nullopt;
  for (;;) {
    if (!m_mouseEvents.empty()) {
      TermKey key = m_mouseEvents.front();
      m_mouseEvents.pop_front();
      return key;
    }
    wint_t c = 0;
    int kind = wget_wch(stdscr, &c);
    if (kind == ERR) return std::nullopt;
    bool alt = false;
    if (kind == OK && c == kEscape) {
      // An escape followed at once by a key is Alt with that key.
      wint_t next = 0;
      int nextKind = wget_wch(stdscr, &next);
      if (nextKind == ERR) return TermKey::Key(KeyCode::Escape);
      alt = true;
      c = next;
      kind = nextKind;
      if (kind == OK && c == kEscape) return TermKey::Key(KeyCode::Escape);
    }
    std::optional<TermKey> key;
    if (kind == KEY_CODE_YES && c == KEY_MOUSE) {
      TakeMouseEvents(m_mouseEvents);
      continue;
    }
    if (kind == KEY_CODE_YES) key = FromKeyCode(c, alt);
    else key = FromCharacter(c, alt);
    if (key) return key;
  }
}

}  // namespace vek::ui::terminal
