#include "ui/terminal/message_box_view.h"

#include <algorithm>

#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

struct Names {
  const char* ok;
  const char* cancel;
  const char* yes;
  const char* no;
  const char* retry;
  const char* abort;
  const char* ignore;
  const char* error;
  const char* question;
  const char* warning;
  const char* information;
};

constexpr Names kEnglish{"&OK",   "&Cancel",  "&Yes",    "&No",         "&Retry", "&Abort",
                         "&Ignore", "Error", "Question", "Warning", "Information"};
constexpr Names kJapanese{"OK",
                          "\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xb3\xe3\x82\xbb\xe3\x83\xab",  // キャンセル
                          "\xe3\x81\xaf\xe3\x81\x84(&Y)",                                  // はい
                          "\xe3\x81\x84\xe3\x81\x84\xe3\x81\x88(&N)",                      // いいえ
                          "\xe5\x86\x8d\xe8\xa9\xa6\xe8\xa1\x8c(&R)",                      // 再試行
                          "\xe4\xb8\xad\xe6\xad\xa2(&A)",                                  // 中止
                          "\xe7\x84\xa1\xe8\xa6\x96(&I)",                                  // 無視
                          "\xe3\x82\xa8\xe3\x83\xa9\xe3\x83\xbc",                          // エラー
                          "\xe8\xb3\xaa\xe5\x95\x8f",                                      // 質問
                          "\xe8\xad\xa6\xe5\x91\x8a",                                      // 警告
                          "\xe6\x83\x85\xe5\xa0\xb1"};                                     // 情報

int ButtonWidth(const MessageBoxView::Button& button) { return TextWidth(ParseLabel(button.label).text) + 4; }
constexpr int kButtonGap = 2;
constexpr int kWheelLines = 3;

int WrappedLines(std::u32string_view text, int width) { return static_cast<int>(WrapLines(text, width).size()); }

}  // namespace

MessageBoxView::MessageBoxView(const framework::MessageBoxRecord& box, bool japanese)
    : m_caption(DecodeUtf8(box.caption)), m_text(DecodeUtf8(box.text)) {
  const Names& names = japanese ? kJapanese : kEnglish;
  auto add = [&](int id, const char* label) {
    Button button{id, DecodeUtf8(label), 0};
    button.key = MnemonicKey(ParseLabel(button.label));
    m_buttons.push_back(std::move(button));
  };
  struct Choice {
    int id;
    const char* label;
  };
  std::vector<Choice> choices;
  switch (box.type & MB_TYPEMASK) {
    case MB_OKCANCEL: choices = {{IDOK, names.ok}, {IDCANCEL, names.cancel}}; break;
    case MB_ABORTRETRYIGNORE: choices = {{IDABORT, names.abort}, {IDRETRY, names.retry}, {IDIGNORE, names.ignore}}; break;
    case MB_YESNOCANCEL: choices = {{IDYES, names.yes}, {IDNO, names.no}, {IDCANCEL, names.cancel}}; break;
    case MB_YESNO: choices = {{IDYES, names.yes}, {IDNO, names.no}}; break;
    case MB_RETRYCANCEL: choices = {{IDRETRY, names.retry}, {IDCANCEL, names.cancel}}; break;
    default: choices = {{IDOK, names.ok}}; break;
  }
  for (const Choice& choice : choices) add(choice.id, choice.label);
  int answer = framework::DefaultMessageBoxAnswer(box.type);
  for (std::size_t i = 0; i < m_buttons.size(); ++i)
    if (m_buttons[i].id == answer) m_focused = static_cast<int>(i);
  switch (box.type & 0xF0) {
    case MB_ICONHAND: m_icon = DecodeUtf8(names.error); break;
    case MB_ICONQUESTION: m_icon = DecodeUtf8(names.question); break;
    case MB_ICONEXCLAMATION: m_icon = DecodeUtf8(names.warning); break;
    case MB_ICONASTERISK: m_icon = DecodeUtf8(names.information); break;
    default: break;
  }
}

int MessageBoxView::EscapeAnswer() const {
  for (int id : {IDCANCEL, IDNO})
    for (const Button& button : m_buttons)
      if (button.id == id) return id;
  return m_buttons.size() == 1 && m_buttons[0].id == IDOK ? IDOK : 0;
}

int MessageBoxView::QuitAnswer() const {
  int escape = EscapeAnswer();
  return escape ? escape : m_buttons[static_cast<std::size_t>(m_focused)].id;
}

int MessageBoxView::HandleKey(const TermKey& key) {
  int count = static_cast<int>(m_buttons.size());
  switch (key.code) {
    case KeyCode::Left:
    case KeyCode::Up:
    case KeyCode::BackTab:
      m_focused = (m_focused + count - 1) % count;
      return 0;
    case KeyCode::Right:
    case KeyCode::Down:
    case KeyCode::Tab:
      m_focused = (m_focused + 1) % count;
      return 0;
    case KeyCode::Enter:
      return m_buttons[static_cast<std::size_t>(m_focused)].id;
    case KeyCode::PageUp:
    case KeyCode::PageDown: {
      int page = std::max(m_shownLines - 1, 1);
      m_firstLine += key.code == KeyCode::PageUp ? -page : page;  // the next placing keeps it in range
      return 0;
    }
    case KeyCode::Escape:
      return EscapeAnswer();
    case KeyCode::Character: {
      if (key.ch == U' ') return m_buttons[static_cast<std::size_t>(m_focused)].id;
      char32_t folded = FoldCase(key.ch);
      for (const Button& button : m_buttons)
        if (button.key != 0 && button.key == folded) return button.id;
      return 0;
    }
    case KeyCode::Mouse:
      if (key.mouse == MouseAction::WheelUp || key.mouse == MouseAction::WheelDown) {
        m_firstLine += key.mouse == MouseAction::WheelUp ? -kWheelLines : kWheelLines;
        return 0;
      }
      if (key.mouse != MouseAction::Press || key.at.y != m_buttonY || m_buttonX.size() != m_buttons.size()) return 0;
      for (std::size_t i = 0; i < m_buttons.size(); ++i)
        if (key.at.x >= m_buttonX[i] && key.at.x < m_buttonX[i] + ButtonWidth(m_buttons[i])) return m_buttons[i].id;
      return 0;
    default:
      return 0;
  }
}

void MessageBoxView::Place(int columns, int rows) {
  int buttonsWidth = -kButtonGap;
  for (const Button& button : m_buttons) buttonsWidth += ButtonWidth(button) + kButtonGap;
  // The text takes up to two thirds of the screen before it wraps, and the whole
  // width before it scrolls.
  int longest = 0;
  for (const auto& [begin, end] : WrapLines(m_text, 1 << 20))
    longest = std::max(longest, TextWidth(std::u32string_view(m_text).substr(begin, end - begin)));
  const int narrowest = std::max({buttonsWidth, TextWidth(m_caption) + 4, TextWidth(m_icon), 16});
  const int widest = std::max(columns - 4, 1);
  const int iconRows = m_icon.empty() ? 0 : 1;
  const int maxLines = std::max(rows - 5 - iconRows, 1);
  int inner = std::min(std::max(std::min(longest, std::max(columns * 2 / 3, 20)), narrowest), widest);
  if (WrappedLines(m_text, inner) > maxLines) inner = std::max(inner, std::min(std::max(longest, narrowest), widest));
  // As narrow as keeps the same number of lines, so that they come out even and
  // the last is no lone word.
  const int lines = WrappedLines(m_text, inner);
  if (lines > 1) {
    int low = narrowest, high = inner;
    while (low < high) {
      int mid = (low + high) / 2;
      if (WrappedLines(m_text, mid) <= lines) high = mid;
      else low = mid + 1;
    }
    inner = std::min(inner, std::max(low, narrowest));
  }
  m_lines = WrapLines(m_text, inner);
  m_shownLines = std::min(static_cast<int>(m_lines.size()), maxLines);
  m_firstLine = std::clamp(m_firstLine, 0, static_cast<int>(m_lines.size()) - m_shownLines);
  int width = inner + 4;
  int height = m_shownLines + iconRows + 4;
  m_rect = CellRect{std::max((columns - width) / 2, 0), std::max((rows - height) / 2, 0), width, height};
  m_buttonY = m_rect.Bottom() - 2;
  m_buttonX.clear();
  int x = m_rect.x + (width - std::min(buttonsWidth, inner)) / 2;
  for (const Button& button : m_buttons) {
    m_buttonX.push_back(x);
    x += ButtonWidth(button) + kButtonGap;
  }
}

void MessageBoxView::Paint(CellGrid& grid, const Glyphs& glyphs) const {
  grid.Fill(m_rect);
  DrawBox(grid, m_rect, glyphs, kBold, m_caption);
  int y = m_rect.y + 1;
  int x = m_rect.x + 2, width = m_rect.w - 4;
  if (!m_icon.empty()) grid.Text(x, y++, m_icon, width, kBold);
  const int textTop = y;
  for (int i = m_firstLine; i < m_firstLine + m_shownLines; ++i) {
    auto [begin, end] = m_lines[static_cast<std::size_t>(i)];
    grid.Text(x, y++, std::u32string_view(m_text).substr(begin, end - begin), width);
  }
  // Where the text has more lines above or below those shown.
  if (m_firstLine > 0) grid.Put(m_rect.Right() - 1, textTop, glyphs.arrowUp, kBold);
  if (m_firstLine + m_shownLines < LineCount()) grid.Put(m_rect.Right() - 1, y - 1, glyphs.arrowDown, kBold);
  for (std::size_t i = 0; i < m_buttons.size(); ++i) {
    const Button& button = m_buttons[i];
    Label label = ParseLabel(button.label);
    std::uint8_t attr = static_cast<int>(i) == m_focused ? kReverse | kBold : kPlain;
    int bx = m_buttonX[i];
    grid.Text(bx, m_buttonY, U"[ ", 2, attr);
    int used = 0;
    for (std::size_t k = 0; k < label.text.size(); ++k) {
      grid.Put(bx + 2 + used, m_buttonY, label.text[k],
               static_cast<int>(k) == label.mnemonic ? static_cast<std::uint8_t>(attr | kUnderline) : attr);
      used += CellWidth(label.text[k]);
    }
    grid.Text(bx + 2 + used, m_buttonY, U" ]", 2, attr);
  }
}

}  // namespace vek::ui::terminal
