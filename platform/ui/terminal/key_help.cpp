#include "ui/terminal/key_help.h"

#include "framework/control_defs.h"
#include "framework/styles.h"
#include "ui/terminal/message_box_view.h"
#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

struct Words {
  const char32_t* move;
  const char32_t* choose;
  const char32_t* take;
  const char32_t* close;
  const char32_t* press;
  const char32_t* tick;
  const char32_t* list;
  const char32_t* columns;
  const char32_t* scroll;
};

constexpr Words kEnglish{U"move", U"choose", U"take it", U"close", U"press", U"tick", U"list", U"columns", U"scroll"};
constexpr Words kJapanese{U"\u79FB\u52D5",                  // 移動
                          U"\u9078\u629E",                  // 選択
                          U"\u6C7A\u5B9A",                  // 決定
                          U"\u9589\u3058\u308B",            // 閉じる
                          U"\u62BC\u3059",                  // 押す
                          U"\u30C1\u30A7\u30C3\u30AF",      // チェック
                          U"\u4E00\u89A7",                  // 一覧
                          U"\u5217",                       // 列
                          U"\u30B9\u30AF\u30ED\u30FC\u30EB"};  // スクロール

DWORD ButtonType(const WindowNode& node) { return node.style & BS_TYPEMASK; }

bool IsPush(const WindowNode& node) {
  DWORD type = ButtonType(node);
  return node.kind == ControlKind::Button && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

bool IsMarked(const WindowNode& node) {
  DWORD type = ButtonType(node);
  return node.kind == ControlKind::Button && type != BS_GROUPBOX && !IsPush(node) && type != BS_OWNERDRAW;
}

std::u32string LabelOf(const std::string& text) { return ParseLabel(DecodeUtf8(text)).text; }

void WindowHints(const ScreenLayout& layout, const Words& words, std::vector<KeyHint>& hints) {
  const PlacedWindow* focused = nullptr;
  const PlacedWindow* byDefault = nullptr;
  const PlacedWindow* cancel = nullptr;
  bool hasCancel = false;
  for (const PlacedWindow* placed : layout.ActiveControls()) {
    const WindowNode& node = *placed->node;
    if (node.focused) focused = placed;
    if (IsPush(node) && node.id == IDCANCEL) {
      hasCancel = true;
      if (placed->enabled) cancel = placed;
    }
    if (IsPush(node) && ButtonType(node) == BS_DEFPUSHBUTTON && placed->enabled && !byDefault) byDefault = placed;
  }
  hints.push_back({U"Tab", words.move});
  ControlKind kind = focused && focused->enabled ? focused->node->kind : ControlKind::Other;
  if (kind == ControlKind::ListView || kind == ControlKind::ComboBox) hints.push_back({U"\u2191\u2193", words.choose});
  if (kind == ControlKind::ListView && focused->columnScrollMax > 0) hints.push_back({U"\u2190\u2192", words.columns});
  const PlacedWindow* enter = focused && IsPush(*focused->node) && focused->enabled ? focused : byDefault;
  // Enter on a drop-down list opens it.
  if (kind == ControlKind::ComboBox) hints.push_back({U"Enter", words.list});
  else if (enter) hints.push_back({U"Enter", LabelOf(enter->node->text)});
  if (cancel) hints.push_back({U"Esc", LabelOf(cancel->node->text)});
  else if (!hasCancel && layout.Active()->node->closesOnEscape) hints.push_back({U"Esc", words.close});
  if (focused && focused->enabled && IsMarked(*focused->node)) hints.push_back({U"Space", words.tick});
  else if (focused && focused->enabled && IsPush(*focused->node)) hints.push_back({U"Space", words.press});
  // A page taller than the screen: early on the line, so that a narrow one keeps it.
  if (layout.Active()->mapping.Scroll().Scrolls() && kind != ControlKind::ListView)
    hints.insert(hints.begin() + 1, {U"PgUp PgDn", words.scroll});
}

}  // namespace

std::vector<KeyHint> KeyHints(const ScreenLayout& layout, const KeyHelpState& state) {
  const Words& words = state.japanese ? kJapanese : kEnglish;
  std::vector<KeyHint> hints;
  if (state.box) {
    const auto& buttons = state.box->Buttons();
    if (buttons.size() > 1) hints.push_back({U"\u2190\u2192", words.choose});
    int focused = state.box->FocusedButton();
    if (focused >= 0 && focused < static_cast<int>(buttons.size()))
      hints.push_back({U"Enter", ParseLabel(buttons[static_cast<std::size_t>(focused)].label).text});
    if (int escape = state.box->EscapeAnswer())
      for (const auto& button : buttons)
        if (button.id == escape) hints.push_back({U"Esc", ParseLabel(button.label).text});
    if (state.box->ShownLines() < state.box->LineCount()) hints.push_back({U"PgUp PgDn", words.scroll});
    return hints;
  }
  if (state.dropDown) {
    hints = {{U"\u2191\u2193", words.choose}, {U"Enter", words.take}, {U"Esc", words.close}};
    return hints;
  }
  if (layout.Active()) WindowHints(layout, words, hints);
  return hints;
}

void DrawKeyLine(CellGrid& grid, int y, const std::vector<KeyHint>& hints) {
  grid.Fill(CellRect{0, y, grid.Width(), 1});
  int x = 1;
  for (const KeyHint& hint : hints) {
    int width = TextWidth(hint.key) + 1 + TextWidth(hint.action);
    if (x + width > grid.Width()) break;
    x += grid.Text(x, y, hint.key, width, kReverse);
    x += 1;
    x += grid.Text(x, y, hint.action, width, kPlain);
    x += 3;
  }
}

}  // namespace vek::ui::terminal
