#include "ui/terminal/key_translator.h"

#include <algorithm>

#include "framework/control_defs.h"
#include "framework/styles.h"
#include "ui/terminal/control_geometry.h"
#include "ui/terminal/list_view_columns.h"
#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

using Kind = InputAction::Kind;

constexpr DWORD kNoPrefix = 0x0080;  // SS_NOPREFIX
constexpr int kWheelRows = 3;

InputAction Act(Kind kind, HWND target, std::int64_t value = 0, bool shift = false) {
  return InputAction{kind, target, value, shift, {}};
}

DWORD ButtonType(const WindowNode& node) { return node.style & BS_TYPEMASK; }

bool IsClickableButton(const WindowNode& node) {
  return node.kind == ControlKind::Button && ButtonType(node) != BS_GROUPBOX;
}

bool TakesText(const WindowNode& node) {
  return node.kind == ControlKind::Edit || node.kind == ControlKind::IpAddress;
}

// The next item after the current one whose text starts with the character.
int FindByPrefix(const std::vector<std::string>& texts, int current, char32_t c) {
  int count = static_cast<int>(texts.size());
  char32_t wanted = FoldCase(c);
  for (int step = 1; step <= count; ++step) {
    int i = ((current < 0 ? -1 : current) + step) % count;
    std::u32string text = DecodeUtf8(texts[static_cast<std::size_t>(i)]);
    if (!text.empty() && FoldCase(text[0]) == wanted) return i;
  }
  return -1;
}

// A control whose label underlines the letter: buttons are clicked; a static or a
// group box gives the focus to the next control that takes it.
std::vector<InputAction> Mnemonic(const ScreenLayout& layout, char32_t c) {
  char32_t wanted = FoldCase(c);
  std::vector<const PlacedWindow*> controls = layout.ActiveControls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const WindowNode& node = *controls[i]->node;
    if (!controls[i]->enabled) continue;
    bool label = (node.kind == ControlKind::Static && !(node.style & kNoPrefix) &&
                  (node.style & SS_TYPEMASK) <= SS_RIGHT) ||
                 (node.kind == ControlKind::Button && ButtonType(node) == BS_GROUPBOX);
    if (!label && !IsClickableButton(node)) continue;
    if (MnemonicKey(ParseLabel(DecodeUtf8(node.text))) != wanted) continue;
    if (!label) return {Act(Kind::Click, node.hwnd)};
    for (std::size_t k = i + 1; k < controls.size(); ++k) {
      const WindowNode& next = *controls[k]->node;
      if (controls[k]->enabled && (next.style & WS_TABSTOP)) return {Act(Kind::Focus, next.hwnd)};
    }
    return {};
  }
  return {};
}

std::vector<InputAction> DropDownKey(const TermKey& key, const ScreenLayout& layout, const DropDown& dropDown) {
  const PlacedWindow* combo = layout.Find(dropDown.Combo());
  int count = combo ? static_cast<int>(combo->node->items.size()) : 0;
  int highlight = dropDown.Highlight();
  HWND target = dropDown.Combo();
  int page = std::max(dropDown.Rect().h - 2, 1);
  auto move = [&](int to) {
    return std::vector<InputAction>{Act(Kind::MoveDropDown, target, std::clamp(to, 0, std::max(count - 1, 0)))};
  };
  auto choose = [&](int index) {
    if (index < 0 || index >= count) return std::vector<InputAction>{Act(Kind::CloseDropDown, target)};
    return std::vector<InputAction>{Act(Kind::Select, target, index), Act(Kind::CloseDropDown, target)};
  };
  switch (key.code) {
    case KeyCode::Up: return key.alt ? choose(highlight) : move(highlight - 1);
    case KeyCode::Down: return key.alt ? choose(highlight) : move(highlight + 1);
    case KeyCode::PageUp: return move(highlight - page);
    case KeyCode::PageDown: return move(highlight + page);
    case KeyCode::Home: return move(0);
    case KeyCode::End: return move(count - 1);
    case KeyCode::Enter: return choose(highlight);
    case KeyCode::F4: return choose(highlight);
    case KeyCode::Escape:
    case KeyCode::Tab:
    case KeyCode::BackTab: return {Act(Kind::CloseDropDown, target)};
    case KeyCode::Character: {
      if (key.ch == U' ') return choose(highlight);
      std::vector<std::string> items = combo ? combo->node->items : std::vector<std::string>{};
      int found = FindByPrefix(items, highlight, key.ch);
      return found >= 0 ? move(found) : std::vector<InputAction>{};
    }
    case KeyCode::Mouse: {
      if (key.mouse == MouseAction::WheelUp) return move(highlight - 1);
      if (key.mouse == MouseAction::WheelDown) return move(highlight + 1);
      if (!dropDown.Rect().Contains(key.at.x, key.at.y)) return {Act(Kind::CloseDropDown, target)};
      int item = dropDown.ItemAt(key.at.x, key.at.y);
      return item >= 0 ? choose(item) : std::vector<InputAction>{};
    }
    case KeyCode::Redraw:
    case KeyCode::Resize: return {Act(Kind::Redraw, nullptr)};
    default: return {};
  }
}

// Whether a list has columns hidden that way (-1 left, +1 right) to scroll to.
bool ScrollsColumns(const PlacedWindow* list, int step) {
  if (list == nullptr) return false;
  int to = list->columnScroll + step;
  return to >= 0 && to <= list->columnScrollMax;
}

// The rows a page or window taller than the screen scrolls by: a band less a row,
// so that a line of what was shown stays; nothing when it does not scroll that way.
std::vector<InputAction> ScrollPage(const ScreenLayout& layout, int rows) {
  const TopLevelPlacement* active = layout.Active();
  if (active == nullptr || !active->mapping.Scroll().Scrolls()) return {};
  const RowScroll& scroll = active->mapping.Scroll();
  if ((rows < 0 && scroll.offset == 0) || (rows > 0 && scroll.offset >= scroll.Hidden())) return {};
  return {Act(Kind::ScrollPage, active->bandOwner, rows)};
}

int PageRows(const ScreenLayout& layout) {
  const TopLevelPlacement* active = layout.Active();
  return active ? std::max(active->mapping.Scroll().shown - 1, 1) : 1;
}

std::vector<InputAction> MouseKey(const TermKey& key, const ScreenLayout& layout) {
  const PlacedWindow* hit = layout.HitTest(key.at.x, key.at.y);
  if (key.mouse != MouseAction::Press && (hit == nullptr || hit->node->kind != ControlKind::ListView)) {
    const TopLevelPlacement* active = layout.Active();
    if (active && active->band.Contains(key.at.x, key.at.y))
      return ScrollPage(layout, key.mouse == MouseAction::WheelUp ? -kWheelRows : kWheelRows);
  }
  if (hit == nullptr || !hit->enabled) return {};
  const WindowNode& node = *hit->node;
  HWND target = node.hwnd;
  if (key.mouse != MouseAction::Press) {
    if (node.kind != ControlKind::ListView) return {};
    WPARAM vk = key.mouse == MouseAction::WheelUp ? VK_UP : VK_DOWN;
    return std::vector<InputAction>(kWheelRows, Act(Kind::Key, target, static_cast<std::int64_t>(vk)));
  }
  switch (node.kind) {
    case ControlKind::Button:
    case ControlKind::Static:
      return {Act(Kind::Click, target)};
    case ControlKind::Edit: {
      CellRect area = EditTextArea(node, hit->rect);
      CellPoint at{key.at.x - area.x, std::clamp(key.at.y - area.y, 0, std::max(area.h - 1, 0))};
      return {Act(Kind::Caret, target, EditPositionAt(node, area, hit->scroll, at))};
    }
    case ControlKind::IpAddress:
      return {Act(Kind::Focus, target)};
    case ControlKind::ComboBox:
      return {Act(Kind::Focus, target), Act(Kind::OpenDropDown, target)};
    case ControlKind::ListView: {
      ListViewColumnArrows arrows = ListViewColumnArrowCells(hit->rect);
      for (int step : {-1, 1}) {
        if (!ListViewGeometry(node, hit->rect).framed) break;
        CellPoint arrow = step < 0 ? arrows.left : arrows.right;
        if (key.at.x == arrow.x && key.at.y == arrow.y && ScrollsColumns(hit, step))
          return {Act(Kind::ScrollColumns, target, step)};
      }
      int row = ListViewRowAt(node, hit->rect, hit->scroll, key.at.y);
      if (row >= 0) return {Act(Kind::Select, target, row)};
      return {Act(Kind::Focus, target)};
    }
    case ControlKind::Tab: {
      std::vector<Span> spans = TabSpans(node.items, hit->rect);
      if (key.at.y != hit->rect.y) return {};
      for (std::size_t i = 0; i < spans.size(); ++i)
        if (key.at.x >= spans[i].x && key.at.x < spans[i].x + spans[i].width)
          return {Act(Kind::Select, target, static_cast<std::int64_t>(i))};
      return {};
    }
    case ControlKind::UpDown: {
      UpDownParts parts = UpDownGeometry(hit->rect);
      if (parts.up.Contains(key.at.x, key.at.y)) return {Act(Kind::Spin, target, 1)};
      if (parts.down.Contains(key.at.x, key.at.y)) return {Act(Kind::Spin, target, -1)};
      return {};
    }
    default: {
      // A window of its own class gets the click at its own pixels: the middle of the
      // cell, in proportion to the window's cells and pixels.
      const RECT& px = node.rect;
      int x = static_cast<int>((key.at.x - hit->rect.x + 0.5) * (px.right - px.left) / std::max(hit->rect.w, 1));
      int y = static_cast<int>((key.at.y - hit->rect.y + 0.5) * (px.bottom - px.top) / std::max(hit->rect.h, 1));
      InputAction click = Act(Kind::MouseClick, target);
      click.point = POINT{x, y};
      return {click};
    }
  }
}

// The up-down that works on the focused field, if any.
HWND UpDownOf(const ScreenLayout& layout, HWND buddy) {
  for (const PlacedWindow* placed : layout.ActiveControls())
    if (placed->node->kind == ControlKind::UpDown && placed->node->buddy == buddy && placed->enabled)
      return placed->node->hwnd;
  return nullptr;
}

}  // namespace

std::vector<InputAction> TranslateKey(const TermKey& key, const ScreenLayout& layout, HWND focus, const DropDown* dropDown) {
  if (dropDown) return DropDownKey(key, layout, *dropDown);
  if (key.code == KeyCode::Redraw || key.code == KeyCode::Resize) return {Act(Kind::Redraw, nullptr)};
  const TopLevelPlacement* active = layout.Active();
  if (active == nullptr) return {};
  if (key.code == KeyCode::Mouse) return MouseKey(key, layout);

  // The focused control of the active window, else the window itself.
  const WindowNode* node = active->node;
  for (const PlacedWindow* placed : layout.ActiveControls())
    if (focus && placed->node->hwnd == focus) node = placed->node;
  HWND target = node->hwnd;
  auto press = [&](WPARAM vk, bool shift = false) {
    return std::vector<InputAction>{Act(Kind::Key, target, static_cast<std::int64_t>(vk), shift)};
  };
  bool combo = node->kind == ControlKind::ComboBox;

  switch (key.code) {
    case KeyCode::Tab: return press(VK_TAB);
    case KeyCode::BackTab: return press(VK_TAB, true);
    case KeyCode::Escape: return press(VK_ESCAPE);
    case KeyCode::Enter: return combo ? std::vector<InputAction>{Act(Kind::OpenDropDown, target)} : press(VK_RETURN);
    case KeyCode::F4: return combo ? std::vector<InputAction>{Act(Kind::OpenDropDown, target)} : std::vector<InputAction>{};
    case KeyCode::Up:
    case KeyCode::Down: {
      if (combo && key.alt) return {Act(Kind::OpenDropDown, target)};
      WPARAM vk = key.code == KeyCode::Up ? VK_UP : VK_DOWN;
      if (HWND spin = UpDownOf(layout, target)) return {Act(Kind::Key, spin, static_cast<std::int64_t>(vk))};
      return press(vk);
    }
    case KeyCode::PageUp:
    case KeyCode::PageDown: {
      // A list pages through its rows; elsewhere the page itself scrolls.
      if (node->kind != ControlKind::ListView)
        return ScrollPage(layout, key.code == KeyCode::PageUp ? -PageRows(layout) : PageRows(layout));
      const PlacedWindow* placed = layout.Find(target);
      int page = placed ? std::max(ListViewGeometry(*node, placed->rect).body.h - 1, 1) : 1;
      WPARAM vk = key.code == KeyCode::PageUp ? VK_UP : VK_DOWN;
      return std::vector<InputAction>(static_cast<std::size_t>(page), Act(Kind::Key, target, static_cast<std::int64_t>(vk)));
    }
    case KeyCode::Left:
    case KeyCode::Right: {
      int step = key.code == KeyCode::Left ? -1 : 1;
      if (node->kind == ControlKind::ListView && ScrollsColumns(layout.Find(target), step))
        return {Act(Kind::ScrollColumns, target, step)};
      return press(key.code == KeyCode::Left ? VK_LEFT : VK_RIGHT);
    }
    case KeyCode::Home: return press(VK_HOME);
    case KeyCode::End: return press(VK_END);
    case KeyCode::Delete: return press(VK_DELETE);
    case KeyCode::Backspace:
      if (TakesText(*node)) return {Act(Kind::Character, target, static_cast<std::int64_t>(VK_BACK))};
      return press(VK_BACK);
    case KeyCode::Character: {
      if (key.alt) return Mnemonic(layout, key.ch);
      if (TakesText(*node)) return {Act(Kind::Character, target, static_cast<std::int64_t>(key.ch))};
      if (key.ch == U' ') return press(VK_SPACE);
      if (combo || node->kind == ControlKind::ListView) {
        std::vector<std::string> texts = node->items;
        int current = node->selection;
        if (!combo) {
          texts.clear();
          current = -1;
          for (std::size_t i = 0; i < node->rows.size(); ++i) {
            texts.push_back(node->rows[i].texts.empty() ? std::string() : node->rows[i].texts[0]);
            if (node->rows[i].focused) current = static_cast<int>(i);
          }
        }
        int found = FindByPrefix(texts, current, key.ch);
        if (found >= 0) return {Act(Kind::Select, target, found)};
      }
      std::vector<InputAction> mnemonic = Mnemonic(layout, key.ch);
      if (!mnemonic.empty()) return mnemonic;
      return {Act(Kind::Character, target, static_cast<std::int64_t>(key.ch))};
    }
    default:
      return {};
  }
}

bool KeepsFocus(const std::vector<InputAction>& actions) {
  return std::all_of(actions.begin(), actions.end(), [](const InputAction& action) {
    return action.kind == Kind::Character || action.kind == Kind::MoveDropDown || action.kind == Kind::Redraw;
  });
}

}  // namespace vek::ui::terminal
