// A message box on the terminal: a centred frame with the caption, the icon as a
// word, the text wrapped to the box in lines of even length, and the buttons of its
// type. Keys move between the buttons (arrows, Tab), press one (Enter, Space, its
// underlined letter) or answer Cancel or No with Esc where the box has one. A text
// longer than the screen holds even with the box as wide as the screen scrolls
// (PgUp, PgDn, the wheel), with arrows on the box's edge where there is more.
#pragma once

#include <string>
#include <vector>

#include "framework/message_box.h"
#include "ui/terminal/cell_grid.h"
#include "ui/terminal/glyphs.h"
#include "ui/terminal/terminal_key.h"

namespace vek::ui::terminal {

class MessageBoxView {
 public:
  struct Button {
    int id;
    std::u32string label;  // with its '&'
    char32_t key;          // the underlined letter, folded; 0 when none
  };

  MessageBoxView(const framework::MessageBoxRecord& box, bool japanese);

  const std::vector<Button>& Buttons() const { return m_buttons; }
  int FocusedButton() const { return m_focused; }
  // The answer a key gives, 0 while the box stays.
  int HandleKey(const TermKey& key);
  // What the box answers when the program is asked to quit while it shows.
  int QuitAnswer() const;
  // What Esc answers: Cancel or No where the box has them, 0 when Esc does nothing.
  int EscapeAnswer() const;

  void Place(int columns, int rows);
  CellRect Rect() const { return m_rect; }
  // The text's lines shown, and how many there are.
  int FirstLine() const { return m_firstLine; }
  int ShownLines() const { return m_shownLines; }
  int LineCount() const { return static_cast<int>(m_lines.size()); }
  void Paint(CellGrid& grid, const Glyphs& glyphs) const;

 private:
  std::u32string m_caption;
  std::u32string m_icon;
  std::u32string m_text;
  std::vector<Button> m_buttons;
  int m_focused = 0;
  CellRect m_rect;
  std::vector<std::pair<std::size_t, std::size_t>> m_lines;
  int m_firstLine = 0;  // of the text, scrolled
  int m_shownLines = 0;
  std::vector<int> m_buttonX;  // screen column of each button
  int m_buttonY = 0;
};

}  // namespace vek::ui::terminal
