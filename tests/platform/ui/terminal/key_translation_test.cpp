// Keys and clicks into input: what each key means for the control with the focus,
// what a click means for the control under it, the drop-down list's keys, and the
// messages the windows then receive.
#include <gtest/gtest.h>

#include "framework/control_defs.h"
#include "framework/user_input.h"
#include "terminal_test_support.h"
#include "ui/terminal/control_geometry.h"
#include "ui/terminal/input_actions.h"
#include "ui/terminal/key_help.h"
#include "ui/terminal/key_translator.h"
#include "ui/terminal/screen_painter.h"

namespace {

using namespace vek::test::terminal;
using Kind = InputAction::Kind;

const HWND kDialog = FakeHandle(1), kName = FakeHandle(2), kOk = FakeHandle(3), kCheck = FakeHandle(4),
           kCombo = FakeHandle(5), kList = FakeHandle(6), kTab = FakeHandle(7), kLabel = FakeHandle(8),
           kPort = FakeHandle(9), kSpin = FakeHandle(10), kBrowse = FakeHandle(11), kOff = FakeHandle(12),
           kAddress = FakeHandle(13), kCanvas = FakeHandle(14);

InputAction Action(Kind kind, HWND target, std::int64_t value = 0, bool shift = false) {
  return InputAction{kind, target, value, shift, {}};
}

class TerminalKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowNode combo = Node(ControlKind::ComboBox, kCombo, Du(60, 4, 80, 60), "", CBS_DROPDOWNLIST | WS_TABSTOP);
    combo.items = {"Raw", "LPR", "IPP"};
    combo.selection = 0;
    WindowNode list = Node(ControlKind::ListView, kList, Du(4, 24, 150, 56), "", LVS_REPORT | WS_TABSTOP);
    list.columns = {{"Name", 100}};
    list.rows = {ListRow{{"Alpha"}, false, false}, ListRow{{"Beta"}, false, false}, ListRow{{"Gamma"}, false, false}};
    WindowNode tab = Node(ControlKind::Tab, kTab, Du(160, 4, 100, 12), "", WS_TABSTOP);
    tab.items = {"One", "Two"};
    tab.selection = 0;
    WindowNode spin = Node(ControlKind::UpDown, kSpin, Du(250, 80, 8, 14));
    spin.buddy = kPort;
    WindowNode off = Node(ControlKind::Button, kOff, Du(160, 100, 50, 14), "&Off", WS_TABSTOP);
    off.enabled = false;
    dialog = Dialog(kDialog, "Keys", 300, 160,
                    {Node(ControlKind::Edit, kName, Du(4, 4, 50, 12), "abc", WS_TABSTOP), combo, list, tab,
                     Node(ControlKind::Static, kLabel, Du(160, 80, 40, 10), "&Port:"),
                     Node(ControlKind::Edit, kPort, Du(200, 80, 50, 12), "515", WS_TABSTOP), spin,
                     Node(ControlKind::Button, kCheck, Du(4, 80, 80, 10), "&Logging", BS_AUTOCHECKBOX | WS_TABSTOP),
                     Node(ControlKind::Button, kBrowse, Du(100, 100, 50, 14), "&Browse", WS_TABSTOP), off,
                     Node(ControlKind::IpAddress, kAddress, Du(4, 100, 80, 12), "10.0.0.1", WS_TABSTOP),
                     Node(ControlKind::Other, kCanvas, Du(4, 120, 80, 30), "Canvas"),
                     Node(ControlKind::Button, kOk, Du(240, 140, 50, 14), "OK", BS_DEFPUSHBUTTON | WS_TABSTOP)});
    Rebuild();
  }
  void Rebuild() { layout = ScreenLayout::Build({dialog}, 120, 40, memory); }
  std::vector<InputAction> Press(const TermKey& key, HWND focus, const DropDown* dropDown = nullptr) {
    return TranslateKey(key, layout, focus, dropDown);
  }
  std::vector<InputAction> ClickOn(HWND window, int dx = 0, int dy = 0) {
    const PlacedWindow* placed = layout.Find(window);
    return Press(TermKey::Click(placed->rect.x + dx, placed->rect.y + dy), kName);
  }

  WindowNode dialog;
  ViewMemory memory;
  ScreenLayout layout;
};

TEST_F(TerminalKeys, CharactersGoToTheFocusedFieldAndSpaceToTheFocusedButton) {
  EXPECT_EQ(Press(TermKey::Char(U'x'), kName), (std::vector{Action(Kind::Character, kName, U'x')}));
  EXPECT_EQ(Press(TermKey::Char(U'日'), kName), (std::vector{Action(Kind::Character, kName, U'日')}));
  EXPECT_EQ(Press(TermKey::Char(U' '), kName), (std::vector{Action(Kind::Character, kName, U' ')}));
  EXPECT_EQ(Press(TermKey::Char(U' '), kCheck), (std::vector{Action(Kind::Key, kCheck, VK_SPACE)}));
  EXPECT_EQ(Press(TermKey::Char(U'7'), kAddress), (std::vector{Action(Kind::Character, kAddress, U'7')}));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Backspace), kName), (std::vector{Action(Kind::Character, kName, VK_BACK)}));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Backspace), kOk), (std::vector{Action(Kind::Key, kOk, VK_BACK)}));
}

TEST_F(TerminalKeys, DialogKeysGoToTheFocusAsKeyPresses) {
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Tab), kName), (std::vector{Action(Kind::Key, kName, VK_TAB)}));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::BackTab), kName), (std::vector{Action(Kind::Key, kName, VK_TAB, true)}));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Enter), kCheck), (std::vector{Action(Kind::Key, kCheck, VK_RETURN)}));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Escape), kName), (std::vector{Action(Kind::Key, kName, VK_ESCAPE)}));
  for (auto [code, vk] : {std::pair{KeyCode::Left, VK_LEFT}, {KeyCode::Right, VK_RIGHT}, {KeyCode::Home, VK_HOME},
                          {KeyCode::End, VK_END}, {KeyCode::Delete, VK_DELETE}, {KeyCode::Down, VK_DOWN}})
    EXPECT_EQ(Press(TermKey::Key(code), kName), (std::vector{Action(Kind::Key, kName, static_cast<std::int64_t>(vk))}));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Down), kList), (std::vector{Action(Kind::Key, kList, VK_DOWN)}));
  EXPECT_EQ(Press(TermKey::Char(U' '), kList), (std::vector{Action(Kind::Key, kList, VK_SPACE)}));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Right), kTab), (std::vector{Action(Kind::Key, kTab, VK_RIGHT)}));
  // Without a focus inside the active window, keys go to the window itself.
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Escape), nullptr), (std::vector{Action(Kind::Key, kDialog, VK_ESCAPE)}));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Enter), FakeHandle(99)), (std::vector{Action(Kind::Key, kDialog, VK_RETURN)}));
}

// A list too narrow for its columns scrolls them sideways a column at a time, by
// Left and Right or a click on the arrows of its frame, as far as the last ones
// show whole; beyond that the keys go to the list as before. The key line says so.
TEST_F(TerminalKeys, ListColumnsTooWideForTheListScrollSidewaysAColumnAtATime) {
  WindowNode& list = dialog.children[2];
  ASSERT_EQ(kList, list.hwnd);
  list.columns = {{"Device Name", 150}, {"IP Address", 150}, {"MAC Address", 150}, {"Version", 150}};
  list.rows = {ListRow{{"Lab wireless printer", "127.161.205.213", "02:4E:57:10:00:02", "2.10a"}, true, true}};
  list.focused = true;
  Rebuild();
  ASSERT_EQ(2, layout.Find(kList)->columnScrollMax) << "the list is " << layout.Find(kList)->rect.w << " cells";
  auto hints = [&] {
    std::u32string line;
    for (const KeyHint& hint : KeyHints(layout, {})) line += hint.key + U"=" + hint.action + U";";
    return line;
  };
  EXPECT_NE(std::u32string::npos, hints().find(U"\u2190\u2192=columns;"));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Left), kList), (std::vector{Action(Kind::Key, kList, VK_LEFT)}));
  for (int first = 0; first < 2; ++first) {
    SCOPED_TRACE(first);
    ASSERT_EQ(Press(TermKey::Key(KeyCode::Right), kList), (std::vector{Action(Kind::ScrollColumns, kList, 1)}));
    memory.firstColumn[kList] += 1;  // as the front end does
    Rebuild();
    EXPECT_EQ(first + 1, layout.Find(kList)->columnScroll);
  }
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Right), kList), (std::vector{Action(Kind::Key, kList, VK_RIGHT)}));
  const CellRect& rect = layout.Find(kList)->rect;
  EXPECT_EQ(Press(TermKey::Click(rect.x + 1, rect.Bottom() - 1), kList),
            (std::vector{Action(Kind::ScrollColumns, kList, -1)}));
  EXPECT_EQ(Press(TermKey::Click(rect.Right() - 2, rect.Bottom() - 1), kList),
            (std::vector{Action(Kind::Focus, kList)})) << "no columns hidden on the right";

  // Room for all: nothing to scroll, however far it was scrolled before.
  list.columns.resize(1);
  Rebuild();
  EXPECT_EQ(0, layout.Find(kList)->columnScroll);
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Right), kList), (std::vector{Action(Kind::Key, kList, VK_RIGHT)}));
  EXPECT_EQ(std::u32string::npos, hints().find(U"columns"));
}

TEST_F(TerminalKeys, UpAndDownOnAFieldWithAnUpDownGoToTheUpDown) {
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Up), kPort), (std::vector{Action(Kind::Key, kSpin, VK_UP)}));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Down), kPort), (std::vector{Action(Kind::Key, kSpin, VK_DOWN)}));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Up), kName), (std::vector{Action(Kind::Key, kName, VK_UP)}));
}

TEST_F(TerminalKeys, ComboBoxesDropDownAndPickByTheFirstLetter) {
  std::vector<InputAction> open{Action(Kind::OpenDropDown, kCombo)};
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Enter), kCombo), open);
  EXPECT_EQ(Press(TermKey::Key(KeyCode::F4), kCombo), open);
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Down, true), kCombo), open);
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Down), kCombo), (std::vector{Action(Kind::Key, kCombo, VK_DOWN)}));
  EXPECT_EQ(Press(TermKey::Char(U'i'), kCombo), (std::vector{Action(Kind::Select, kCombo, 2)}));
  EXPECT_EQ(Press(TermKey::Char(U'G'), kList), (std::vector{Action(Kind::Select, kList, 2)}));
}

TEST_F(TerminalKeys, UnderlinedLettersClickTheirButtonOrFocusWhatFollowsTheirLabel) {
  EXPECT_EQ(Press(TermKey::Char(U'b', true), kName), (std::vector{Action(Kind::Click, kBrowse)}));
  EXPECT_EQ(Press(TermKey::Char(U'L', true), kName), (std::vector{Action(Kind::Click, kCheck)}));
  EXPECT_EQ(Press(TermKey::Char(U'p', true), kName), (std::vector{Action(Kind::Focus, kPort)}));
  EXPECT_TRUE(Press(TermKey::Char(U'o', true), kName).empty());  // its button is disabled
  // Without Alt only where letters are not typed.
  EXPECT_EQ(Press(TermKey::Char(U'b'), kOk), (std::vector{Action(Kind::Click, kBrowse)}));
  EXPECT_EQ(Press(TermKey::Char(U'b'), kName), (std::vector{Action(Kind::Character, kName, U'b')}));
}

TEST_F(TerminalKeys, ClicksActOnTheControlUnderTheMouse) {
  EXPECT_EQ(ClickOn(kOk, 2), (std::vector{Action(Kind::Click, kOk)}));
  EXPECT_EQ(ClickOn(kCheck, 1), (std::vector{Action(Kind::Click, kCheck)}));
  EXPECT_EQ(ClickOn(kName, 2), (std::vector{Action(Kind::Caret, kName, 2)}));
  EXPECT_EQ(ClickOn(kName, 9), (std::vector{Action(Kind::Caret, kName, 3)}));  // past the end
  EXPECT_EQ(ClickOn(kCombo, 3), (std::vector{Action(Kind::Focus, kCombo), Action(Kind::OpenDropDown, kCombo)}));
  // The list: frame, heading, then the rows.
  EXPECT_EQ(ClickOn(kList, 3, 3), (std::vector{Action(Kind::Select, kList, 1)}));
  EXPECT_EQ(ClickOn(kList, 3, 1), (std::vector{Action(Kind::Focus, kList)}));
  EXPECT_EQ(ClickOn(kList, 3, 5), (std::vector{Action(Kind::Focus, kList)}));  // below the last row
  EXPECT_EQ(ClickOn(kTab, 7), (std::vector{Action(Kind::Select, kTab, 1)}));
  EXPECT_EQ(ClickOn(kSpin, 0, 0), (std::vector{Action(Kind::Spin, kSpin, 1)}));
  EXPECT_EQ(ClickOn(kSpin, 0, 1), (std::vector{Action(Kind::Spin, kSpin, -1)}));
  EXPECT_TRUE(ClickOn(kLabel).empty());
  EXPECT_TRUE(ClickOn(kOff, 2).empty());
  // A window of its own class gets the click at its own pixels.
  std::vector<InputAction> canvas = ClickOn(kCanvas, 2, 1);
  ASSERT_EQ(canvas.size(), 1u);
  EXPECT_EQ(canvas[0].kind, Kind::MouseClick);
  EXPECT_EQ(canvas[0].point.x, 15);  // the middle of its third cell of six pixels
  EXPECT_EQ(canvas[0].point.y, 18);  // and of its second row of twelve
  // The wheel scrolls a list.
  const PlacedWindow* list = layout.Find(kList);
  EXPECT_EQ(Press(TermKey::Wheel(list->rect.x + 2, list->rect.y + 2, false), kName),
            (std::vector<InputAction>(3, Action(Kind::Key, kList, VK_DOWN))));
}

TEST_F(TerminalKeys, TheDroppedDownListTakesTheKeysAndClicks) {
  const PlacedWindow* combo = layout.Find(kCombo);
  DropDown dropDown(kCombo, 0, 3);
  dropDown.Place(combo->rect, 3, 5, 120, 40);
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Down), kCombo, &dropDown), (std::vector{Action(Kind::MoveDropDown, kCombo, 1)}));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Up), kCombo, &dropDown), (std::vector{Action(Kind::MoveDropDown, kCombo, 0)}));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::End), kCombo, &dropDown), (std::vector{Action(Kind::MoveDropDown, kCombo, 2)}));
  EXPECT_EQ(Press(TermKey::Char(U'l'), kCombo, &dropDown), (std::vector{Action(Kind::MoveDropDown, kCombo, 1)}));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Enter), kCombo, &dropDown),
            (std::vector{Action(Kind::Select, kCombo, 0), Action(Kind::CloseDropDown, kCombo)}));
  EXPECT_EQ(Press(TermKey::Key(KeyCode::Escape), kCombo, &dropDown), (std::vector{Action(Kind::CloseDropDown, kCombo)}));
  CellRect list = dropDown.Rect();
  EXPECT_EQ(Press(TermKey::Click(list.x + 1, list.y + 3), kCombo, &dropDown),
            (std::vector{Action(Kind::Select, kCombo, 2), Action(Kind::CloseDropDown, kCombo)}));
  EXPECT_EQ(Press(TermKey::Click(0, 0), kCombo, &dropDown), (std::vector{Action(Kind::CloseDropDown, kCombo)}));
}

TEST_F(TerminalKeys, OnlyCharactersLetTheNextKeyFollowBeforeTheWindowsAnswer) {
  EXPECT_TRUE(KeepsFocus({Action(Kind::Character, kName, U'a')}));
  EXPECT_TRUE(KeepsFocus({Action(Kind::MoveDropDown, kCombo, 1)}));
  EXPECT_FALSE(KeepsFocus({Action(Kind::Key, kName, VK_TAB)}));
  EXPECT_FALSE(KeepsFocus({Action(Kind::Select, kCombo, 1)}));
  EXPECT_FALSE(KeepsFocus({Action(Kind::Click, kOk)}));
}

// The actions performed on real windows arrive as the input messages the controls
// and the modal loop expect.
class TerminalInputMessages : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog = CreateWindowExA(0, WC_DIALOG, "Input", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                             nullptr, nullptr);
    edit = Make(WC_EDIT, "", WS_TABSTOP, 1, RECT{6, 6, 126, 26});
    check = Make(WC_BUTTON, "Check", WS_TABSTOP | BS_AUTOCHECKBOX, 2, RECT{6, 39, 126, 55});
    list = Make(WC_LISTVIEW, "", WS_TABSTOP | LVS_REPORT, 3, RECT{6, 65, 206, 156});
    LVCOLUMNA column{LVCF_TEXT | LVCF_WIDTH, 0, 90, const_cast<char*>("Name"), 0, 0};
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (int i = 0; i < 3; ++i) {
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = i;
      item.pszText = const_cast<char*>("row");
      SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    SetFocus(edit);
    Drain();
  }
  void TearDown() override { DestroyWindow(dialog); }

  HWND Make(const char* className, const char* text, DWORD style, int id, RECT r) {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, dialog, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr,
                           nullptr);
  }
  // Translates a key as the front end does, and performs it.
  void Perform(const TermKey& key) {
    ScreenLayout layout = ScreenLayout::Build(SnapshotThreadWindows(GetCurrentThreadId(), GetFocus()), 80, 30, memory);
    for (const InputAction& action : TranslateKey(key, layout, GetFocus(), nullptr)) PerformWindowAction(action);
  }
  const PlacedWindow* Placed(HWND window, ScreenLayout& layout) {
    layout = ScreenLayout::Build(SnapshotThreadWindows(GetCurrentThreadId(), GetFocus()), 80, 30, memory);
    return layout.Find(window);
  }
  struct Posted {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Posted&) const = default;
  };
  // The posted messages, without paints; dispatched when asked.
  std::vector<Posted> Drain(bool dispatch = false) {
    std::vector<Posted> posted;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message != WM_PAINT) posted.push_back(Posted{msg.hwnd, msg.message, msg.wParam, msg.lParam});
      if (dispatch) DispatchMessageA(&msg);
    }
    return posted;
  }

  HWND dialog = nullptr, edit = nullptr, check = nullptr, list = nullptr;
  ViewMemory memory;
};

TEST_F(TerminalInputMessages, KeysArriveAsCharactersAndKeyDownsForTheFocus) {
  using namespace vek::framework;
  Perform(TermKey::Char(U'a'));
  EXPECT_EQ(Drain(), (std::vector<Posted>{{edit, VEK_UM_FOCUS, 0, 0}, {edit, WM_CHAR, 'a', 1}}));
  Perform(TermKey::Key(KeyCode::Backspace));
  EXPECT_EQ(Drain(), (std::vector<Posted>{{edit, WM_CHAR, VK_BACK, 1}}));
  Perform(TermKey::Key(KeyCode::Tab));
  EXPECT_EQ(Drain(), (std::vector<Posted>{{edit, WM_KEYDOWN, VK_TAB, 0}}));
  Perform(TermKey::Key(KeyCode::BackTab));
  EXPECT_EQ(Drain(), (std::vector<Posted>{{edit, WM_KEYDOWN, VK_TAB, 1}}));
  Perform(TermKey::Key(KeyCode::Enter));
  EXPECT_EQ(Drain(), (std::vector<Posted>{{edit, WM_KEYDOWN, VK_RETURN, 0}}));
  SetFocus(check);
  Perform(TermKey::Char(U' '));
  EXPECT_EQ(Drain(), (std::vector<Posted>{{check, WM_KEYDOWN, VK_SPACE, 0}}));
}

TEST_F(TerminalInputMessages, TypedTextAndClicksChangeTheControlsOnceDispatched) {
  for (char32_t c : std::u32string(U"abc")) Perform(TermKey::Char(c));
  Perform(TermKey::Key(KeyCode::Backspace));
  Drain(true);
  char text[16] = {};
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "ab");

  ScreenLayout layout;
  const PlacedWindow* box = Placed(check, layout);
  Perform(TermKey::Click(box->rect.x + 1, box->rect.y));
  Drain(true);
  EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(GetFocus(), check);

  const PlacedWindow* rows = Placed(list, layout);
  ListViewArea area = ListViewGeometry(*rows->node, rows->rect);
  Perform(TermKey::Click(area.body.x + 1, area.body.y + 2));
  Drain(true);
  EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);
}

// An address field shows where the user types: Tab into it selects the first
// field's text, as in the other edits, with the caret after it; the caret follows
// the digits typed, and the next field comes selected in its turn.
TEST_F(TerminalInputMessages, AnAddressFieldShowsTheFieldBeingTypedAndTheCaretInIt) {
  HWND address = Make(WC_IPADDRESS, "", WS_TABSTOP, 4, RECT{140, 6, 260, 26});
  SendMessageA(address, IPM_SETADDRESS, 0, static_cast<LPARAM>(MAKEIPADDRESS(192, 168, 0, 1)));
  SetFocus(list);
  Drain(true);
  auto press = [&](const TermKey& key) {
    Perform(key);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      if (!IsDialogMessageA(dialog, &msg)) DispatchMessageA(&msg);
  };
  struct Shown {
    std::string text, selected;
    int caret = -1;  // cells from the field's left
  };
  auto shown = [&] {
    ScreenLayout layout = ScreenLayout::Build(SnapshotThreadWindows(GetCurrentThreadId(), GetFocus()), 80, 30, memory);
    Screen screen = PaintScreen(layout, Glyphs::Ascii(), 0);
    const PlacedWindow* field = layout.Find(address);
    Shown result;
    int y = field->rect.y + (field->rect.h - 1) / 2;
    for (int x = field->rect.x; x < field->rect.Right(); ++x) {
      const Cell& cell = screen.grid.At(x, y);
      result.text += static_cast<char>(cell.ch);
      if (cell.attr & kReverse) result.selected += static_cast<char>(cell.ch);
    }
    result.text.erase(result.text.find_last_not_of(' ') + 1);
    if (screen.cursor && screen.cursor->y == y) result.caret = screen.cursor->x - field->rect.x;
    return result;
  };
  const struct {
    const char* what;
    TermKey key;
    const char* text;
    const char* selected;
    int caret;
  } steps[] = {
      {"Tab into the field", TermKey::Key(KeyCode::Tab), "192.168.0.1", "192", 3},
      {"a digit replaces the first field", TermKey::Char(U'1'), "1.168.0.1", "", 1},
      {"and the next goes after it", TermKey::Char(U'0'), "10.168.0.1", "", 2},
      {"a dot: the second field", TermKey::Char(U'.'), "10.168.0.1", "168", 6},
      {"the right arrow: the third", TermKey::Key(KeyCode::Right), "10.168.0.1", "0", 8},
      {"typed over", TermKey::Char(U'5'), "10.168.5.1", "", 8},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    press(step.key);
    Shown now = shown();
    EXPECT_EQ(now.text, step.text);
    EXPECT_EQ(now.selected, step.selected);
    EXPECT_EQ(now.caret, step.caret);
  }
}

}  // namespace
