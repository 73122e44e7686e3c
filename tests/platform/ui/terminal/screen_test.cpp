// The window stack on the screen: frames, centring, scaling, scrolling, dimming,
// hit-testing, the caret, and the overlays (drop-down lists, message boxes).
#include <gtest/gtest.h>

#include "framework/control_defs.h"
#include "terminal_test_support.h"
#include "ui/terminal/key_help.h"
#include "ui/terminal/screen_painter.h"
#include "ui/terminal/text_cells.h"

namespace {

using namespace vek::test::terminal;

const HWND kDialog = FakeHandle(1), kOwner = FakeHandle(2);
const HWND kLabel = FakeHandle(10), kOk = FakeHandle(11), kEdit = FakeHandle(12), kCombo = FakeHandle(13),
           kGroup = FakeHandle(14), kList = FakeHandle(15);

// A 120 x 40 dialog unit dialog (30 x 5 cells) with a label and an OK button.
WindowNode SmallDialog() {
  return Dialog(kDialog, "Caption", 120, 40,
                {Node(ControlKind::Static, kLabel, Du(4, 4, 40, 10), "Hello"),
                 Node(ControlKind::Button, kOk, Du(4, 24, 40, 14), "OK", BS_DEFPUSHBUTTON | WS_TABSTOP)});
}

TEST(TerminalScreen, ATopLevelWindowIsCentredInAFrameWithItsCaption) {
  std::vector<WindowNode> stack{SmallDialog()};
  ViewMemory memory;
  ScreenLayout layout = ScreenLayout::Build(std::move(stack), 40, 10, memory);
  ASSERT_EQ(layout.TopLevels().size(), 1u);
  EXPECT_EQ(layout.TopLevels()[0].frame, (CellRect{4, 1, 32, 7}));
  Screen screen = PaintScreen(layout, Glyphs::Ascii(), 0);
  EXPECT_EQ(RowOf(screen.grid, 0), "");
  EXPECT_EQ(RowOf(screen.grid, 1), "    +- Caption --------------------+");
  EXPECT_EQ(RowOf(screen.grid, 2), "    | Hello                        |");
  EXPECT_EQ(RowOf(screen.grid, 5), "    |   [ OK ]                     |");
  EXPECT_EQ(RowOf(screen.grid, 7), "    +------------------------------+");
  EXPECT_EQ(RowOf(screen.grid, 7).size(), 36u);  // 32 cells from column 4
  EXPECT_TRUE(HasAttr(screen.grid, 7, 1, kBold));  // the active window's caption
  EXPECT_FALSE(screen.cursor.has_value());
}

TEST(TerminalScreen, AModalWindowTakesInputAndItsDisabledOwnerIsDimmed) {
  WindowNode owner = Dialog(kOwner, "Owner", 200, 80, {Node(ControlKind::Button, FakeHandle(20), Du(4, 4, 40, 14), "Back")});
  owner.enabled = false;
  std::vector<WindowNode> stack{owner, SmallDialog()};
  ViewMemory memory;
  ScreenLayout layout = ScreenLayout::Build(std::move(stack), 60, 16, memory);
  ASSERT_NE(layout.Active(), nullptr);
  EXPECT_EQ(layout.Active()->node->hwnd, kDialog);
  Screen screen = PaintScreen(layout, Glyphs::Ascii(), 0);
  const CellRect owned = layout.TopLevels()[0].frame, modal = layout.TopLevels()[1].frame;
  EXPECT_TRUE(HasAttr(screen.grid, owned.x, owned.y, kDim));
  EXPECT_FALSE(HasAttr(screen.grid, modal.x + 1, modal.y + 1, kDim));
  // The owner's button is not for clicking while the modal window is up.
  const PlacedWindow* back = layout.Find(FakeHandle(20));
  ASSERT_NE(back, nullptr);
  EXPECT_FALSE(back->enabled);
  EXPECT_EQ(layout.HitTest(back->rect.x, back->rect.y), nullptr);
  const PlacedWindow* ok = layout.Find(kOk);
  EXPECT_EQ(layout.HitTest(ok->rect.x + 1, ok->rect.y), ok);
}

TEST(TerminalScreen, AWizardSizedWindowShrinksToASmallTerminalKeepingARowPerControlRow) {
  std::vector<WindowNode> controls;
  for (int i = 0; i < 8; ++i)
    controls.push_back(Node(ControlKind::Button, FakeHandle(30 + i), Du(134, static_cast<short>(90 + 14 * i), 240, 10),
                            "Choice " + std::to_string(i), BS_AUTORADIOBUTTON));
  WindowNode sheet = Node(ControlKind::Dialog, kDialog, RECT{0, 0, 600, 526}, "Setup Wizard", WS_POPUP | WS_CAPTION);
  sheet.children = controls;
  ViewMemory memory;
  ScreenLayout layout = ScreenLayout::Build({sheet}, 80, 24, memory);
  const TopLevelPlacement& top = layout.TopLevels()[0];
  EXPECT_LE(top.frame.w, 80);
  EXPECT_LE(top.frame.h, 24);
  int previous = -1;
  for (int i = 0; i < 8; ++i) {
    const PlacedWindow* radio = layout.Find(FakeHandle(30 + i));
    ASSERT_NE(radio, nullptr);
    EXPECT_GE(radio->rect.h, 1);
    EXPECT_GT(radio->rect.y, previous) << i;
    previous = radio->rect.y;
  }
}

TEST(TerminalScreen, AWindowTallerThanTheScreenScrollsToTheFocusedControl) {
  std::vector<WindowNode> controls;
  for (int i = 0; i < 24; ++i)
    controls.push_back(Node(ControlKind::Edit, FakeHandle(40 + i), RECT{12, 12 + 13 * i, 200, 12 + 13 * i + 12}, "line"));
  controls[20].focused = true;
  WindowNode tall = Node(ControlKind::Dialog, kDialog, RECT{0, 0, 300, 330}, "Tall", WS_POPUP | WS_CAPTION);
  tall.children = controls;
  ViewMemory memory;
  ScreenLayout layout = ScreenLayout::Build({tall}, 60, 12, memory);
  const PlacedWindow* focused = layout.Find(FakeHandle(60));
  ASSERT_NE(focused, nullptr);
  EXPECT_GE(focused->rect.y, 0);
  EXPECT_LT(focused->rect.Bottom(), 13);
  EXPECT_GT(memory.viewport[kDialog], 0);
  // What scrolled off is clipped, not drawn over the frame.
  const PlacedWindow* first = layout.Find(FakeHandle(40));
  EXPECT_TRUE(first->clip.Empty());
}

TEST(TerminalScreen, HitTestingFindsTheTopmostControlThatTakesClicks) {
  WindowNode dialog = Dialog(kDialog, "Hits", 160, 80,
                             {Node(ControlKind::Button, kGroup, Du(4, 4, 150, 60), "Group", BS_GROUPBOX),
                              Node(ControlKind::Static, kLabel, Du(10, 16, 60, 10), "Label"),
                              Node(ControlKind::Button, kOk, Du(10, 40, 50, 14), "OK")});
  ViewMemory memory;
  ScreenLayout layout = ScreenLayout::Build({dialog}, 60, 20, memory);
  const PlacedWindow* ok = layout.Find(kOk);
  const PlacedWindow* label = layout.Find(kLabel);
  const PlacedWindow* group = layout.Find(kGroup);
  EXPECT_EQ(layout.HitTest(ok->rect.x + 2, ok->rect.y), ok);
  EXPECT_EQ(layout.HitTest(label->rect.x, label->rect.y), nullptr);  // a plain label takes no click
  EXPECT_EQ(layout.HitTest(group->rect.x, group->rect.y), nullptr);
  EXPECT_EQ(layout.HitTest(0, 0), nullptr);
}

TEST(TerminalScreen, TheFocusedEditsCaretIsTheCursor) {
  WindowNode edit = Node(ControlKind::Edit, kEdit, Du(8, 8, 80, 12), "abc", WS_TABSTOP);
  edit.selStart = edit.selEnd = 2;
  edit.focused = true;
  ViewMemory memory;
  ScreenLayout layout = ScreenLayout::Build({Dialog(kDialog, "Edit", 100, 30, {edit})}, 40, 10, memory);
  Screen screen = PaintScreen(layout, Glyphs::Ascii(), 0);
  const PlacedWindow* placed = layout.Find(kEdit);
  ASSERT_TRUE(screen.cursor.has_value());
  EXPECT_EQ(*screen.cursor, (CellPoint{placed->rect.x + 2, placed->rect.y}));
  // Under a drop-down list the caret does not show.
  DropDown dropDown(kEdit, 0, 0);
  EXPECT_FALSE(PaintScreen(layout, Glyphs::Ascii(), 0, Overlays{&dropDown, {}}).cursor.has_value());
}

TEST(TerminalScreen, ADroppedDownListShowsBelowItsComboWithTheHighlight) {
  WindowNode combo = Node(ControlKind::ComboBox, kCombo, Du(8, 8, 60, 60), "", CBS_DROPDOWNLIST | WS_TABSTOP);
  combo.items = {"Raw", "LPR", "IPP"};
  combo.selection = 0;
  ViewMemory memory;
  ScreenLayout layout = ScreenLayout::Build({Dialog(kDialog, "Combo", 100, 80, {combo})}, 40, 16, memory);
  const PlacedWindow* placed = layout.Find(kCombo);
  EXPECT_EQ(placed->rect.h, 1);  // the field, whatever the drop-down height
  DropDown dropDown(kCombo, 0, 3);
  dropDown.MoveTo(1, 3);
  dropDown.Place(placed->rect, 3, 5, 40, 16);
  EXPECT_EQ(dropDown.Rect().y, placed->rect.Bottom());
  Screen screen = PaintScreen(layout, Glyphs::Ascii(), 0, Overlays{&dropDown, {}});
  int x = dropDown.Rect().x + 1, y = dropDown.Rect().y + 1;
  EXPECT_EQ(screen.grid.Row(y).substr(static_cast<std::size_t>(x), 3), "Raw");
  EXPECT_EQ(screen.grid.Row(y + 1).substr(static_cast<std::size_t>(x), 3), "LPR");
  EXPECT_TRUE(HasAttr(screen.grid, x, y + 1, kReverse));
  EXPECT_FALSE(HasAttr(screen.grid, x, y, kReverse));
  EXPECT_EQ(dropDown.ItemAt(x, y + 2), 2);
  EXPECT_EQ(dropDown.ItemAt(x, y + 3), -1);  // the frame
}

TEST(TerminalScreen, ThePageOfASheetIsDrawnInsideItWithoutAFrame) {
  WindowNode page = Node(ControlKind::Dialog, FakeHandle(50), RECT{0, 0, 300, 130}, "Page caption");
  page.children = {Node(ControlKind::Static, kLabel, Du(124, 10, 60, 10), "On the page")};
  WindowNode sheet = Node(ControlKind::Dialog, kDialog, RECT{0, 0, 300, 170}, "Sheet", WS_POPUP | WS_CAPTION);
  sheet.children = {page, Node(ControlKind::Button, kOk, RECT{220, 140, 295, 163}, "Next >", BS_DEFPUSHBUTTON)};
  ViewMemory memory;
  ScreenLayout layout = ScreenLayout::Build({sheet}, 60, 16, memory);
  Screen screen = PaintScreen(layout, Glyphs::Ascii(), 0);
  std::string all = screen.grid.Dump();
  EXPECT_EQ(all.find("Page caption"), std::string::npos);
  const PlacedWindow* label = layout.Find(kLabel);
  const TopLevelPlacement& top = layout.TopLevels()[0];
  EXPECT_EQ(label->rect.x, top.client.x + 31);
  EXPECT_NE(screen.grid.Row(label->rect.y).find("On the page"), std::string::npos);
  EXPECT_NE(all.find("[ Next > ]"), std::string::npos);
}

TEST(TerminalScreen, AWindowWithoutASizeTakesTheScreen) {
  WindowNode frame = Node(ControlKind::Other, kDialog, RECT{0, 0, 0, 0}, "Main", WS_OVERLAPPEDWINDOW);
  ViewMemory memory;
  ScreenLayout layout = ScreenLayout::Build({frame}, 30, 8, memory);
  EXPECT_EQ(layout.TopLevels()[0].frame, (CellRect{0, 0, 30, 8}));
}

TEST(TerminalScreen, AMessageBoxShowsOverTheWindowsAndCoversThem) {
  WindowNode dialog = SmallDialog();
  dialog.children[1].focused = true;
  ViewMemory memory;
  ScreenLayout layout = ScreenLayout::Build({dialog}, 50, 14, memory);
  MessageBoxView box(vek::framework::MessageBoxRecord{nullptr, "Printer not found.", "Wizard", MB_OK | MB_ICONHAND, 0}, false);
  box.Place(50, 14);
  Screen screen = PaintScreen(layout, Glyphs::Ascii(), 0, Overlays{nullptr, {&box}});
  std::string all = screen.grid.Dump();
  EXPECT_NE(all.find("Wizard"), std::string::npos);
  EXPECT_NE(all.find("Error"), std::string::npos);
  EXPECT_NE(all.find("Printer not found."), std::string::npos);
  EXPECT_NE(all.find("[ OK ]"), std::string::npos);
  // The box is on top: its frame covers the middle of the screen.
  EXPECT_TRUE(HasAttr(screen.grid, box.Rect().x + 3, box.Rect().y, kBold));
}

}  // namespace

// The bottom line names the keys of what takes the input: the window's default
// button and its Cancel, a dropped-down list, or a message box.
TEST(TerminalScreen, TheLastLineNamesTheKeysOfWhatTakesTheInput) {
  auto text = [](const std::vector<KeyHint>& hints) {
    std::string all;
    for (const KeyHint& hint : hints) all += EncodeUtf8(hint.key) + "=" + EncodeUtf8(hint.action) + ";";
    return all;
  };
  WindowNode dialog = Dialog(kDialog, "Caption", 160, 60,
                             {Node(ControlKind::Button, kOk, Du(4, 24, 40, 14), "&Next >", BS_DEFPUSHBUTTON | WS_TABSTOP),
                              Node(ControlKind::Button, FakeHandle(30), Du(50, 24, 40, 14), "Cancel", WS_TABSTOP),
                              Node(ControlKind::Button, FakeHandle(31), Du(4, 4, 80, 10), "Default", BS_AUTOCHECKBOX)});
  dialog.children[1].id = IDCANCEL;
  {
    ViewMemory memory;
    ScreenLayout layout = ScreenLayout::Build({dialog}, 50, 14, memory);
    EXPECT_EQ(text(KeyHints(layout, {})), "Tab=move;Enter=Next >;Esc=Cancel;");
    Screen screen = PaintScreen(layout, Glyphs::Ascii(), 0, {}, ScreenStyle{.keyLine = true});
    ASSERT_EQ(screen.grid.Height(), 15);
    EXPECT_EQ(RowOf(screen.grid, 14), " Tab move   Enter Next >   Esc Cancel");
    EXPECT_TRUE(HasAttr(screen.grid, 1, 14, kReverse));
    EXPECT_FALSE(HasAttr(screen.grid, 5, 14, kReverse));
    // Japanese words, and hints that do not fit are left out from the end.
    EXPECT_EQ(text(KeyHints(layout, {.japanese = true})), "Tab=移動;Enter=Next >;Esc=Cancel;");
    CellGrid narrow(20, 1);
    DrawKeyLine(narrow, 0, KeyHints(layout, {}));
    EXPECT_EQ(RowOf(narrow, 0), " Tab move");
  }
  // Enter presses the focused button; Space ticks a focused check box.
  dialog.children[2].focused = true;
  {
    ViewMemory memory;
    ScreenLayout layout = ScreenLayout::Build({dialog}, 50, 14, memory);
    EXPECT_EQ(text(KeyHints(layout, {})), "Tab=move;Enter=Next >;Esc=Cancel;Space=tick;");
  }
  dialog.children[2].focused = false;
  dialog.children[1].focused = true;
  dialog.children[1].enabled = false;  // a disabled Cancel: Esc does nothing
  {
    ViewMemory memory;
    ScreenLayout layout = ScreenLayout::Build({dialog}, 50, 14, memory);
    EXPECT_EQ(text(KeyHints(layout, {})), "Tab=move;Enter=Next >;");
  }
  // A window without a Cancel button that Esc closes says so; one that Esc does
  // not close leaves Esc out.
  {
    ViewMemory memory;
    ScreenLayout layout = ScreenLayout::Build({SmallDialog()}, 50, 14, memory);
    EXPECT_EQ(text(KeyHints(layout, {})), "Tab=move;Enter=OK;");
  }
  {
    ViewMemory memory;
    WindowNode closes = SmallDialog();
    closes.closesOnEscape = true;
    ScreenLayout layout = ScreenLayout::Build({closes}, 50, 14, memory);
    EXPECT_EQ(text(KeyHints(layout, {})), "Tab=move;Enter=OK;Esc=close;");
    DropDown dropDown(kCombo, 0, 3);
    EXPECT_EQ(text(KeyHints(layout, {.dropDown = &dropDown})), "↑↓=choose;Enter=take it;Esc=close;");
    MessageBoxView box(vek::framework::MessageBoxRecord{nullptr, "Retry?", "Wizard", MB_RETRYCANCEL, 0}, false);
    EXPECT_EQ(text(KeyHints(layout, {.box = &box})), "←→=choose;Enter=Retry;Esc=Cancel;");
  }
}

// What a control shows in its cells: its rows joined, each without the spaces at
// its ends.
std::string Shown(const Screen& screen, const PlacedWindow& placed) {
  std::string all;
  for (int y = placed.rect.y; y < placed.rect.Bottom(); ++y) {
    std::u32string part;
    for (int x = placed.rect.x; x < placed.rect.Right(); ++x)
      if (!screen.grid.At(x, y).tail) part.push_back(screen.grid.At(x, y).ch);
    std::string line = vek::ui::terminal::EncodeUtf8(part);
    line.erase(line.find_last_not_of(' ') + 1);
    line.erase(0, line.find_first_not_of(' '));
    all += (all.empty() || line.empty() ? "" : " ") + line;
  }
  return all;
}

// Labels, buttons and texts too long for their cells at full size still show
// whole: the window makes room for them, a label on one row keeps a cell from the
// field beside it, and what is inside a frame stays inside its border.
TEST(TerminalScreen, TextsShowWholeACellFromTheirNeighboursAndInsideTheirFrames) {
  const char* kNew = "\xe6\x96\xb0\xe3\x81\x97\xe3\x81\x84\xe3\x83\x97\xe3\x83\xaa\xe3\x83\xb3\xe3\x82\xbf";  // 新しいプリンタ
  const char* kLong = "Data Transmission Rate :";  // 24 cells on a label of 15
  const std::string kWords = "one two three four five six seven eight nine ten eleven twelve thirteen fourteen";
  const HWND kField = FakeHandle(40), kOther = FakeHandle(41);
  auto label = [&](const char* text, DWORD style = SS_LEFT, RECT at = Du(4, 10, 60, 10)) {
    return Node(ControlKind::Static, kLabel, at, text, style);
  };
  const struct {
    const char* what;
    std::vector<WindowNode> children;
    std::vector<std::pair<HWND, std::string>> shown;  // each control and what it shows
    HWND beside = nullptr;  // a field on the label's row, a cell or more to its right
    HWND frame = nullptr;   // a frame around the label
  } cases[] = {
      {"a button narrower than its label",
       {Node(ControlKind::Button, kOk, Du(80, 4, 24, 14), kNew, WS_TABSTOP)},
       {{kOk, std::string("[ ") + kNew + " ]"}}},
      {"a button hemmed in by the edge and its neighbour",
       {Node(ControlKind::Button, kOk, Du(4, 30, 24, 14), kNew, WS_TABSTOP),
        Node(ControlKind::Button, kOther, Du(30, 30, 40, 14), "Next", WS_TABSTOP)},
       {{kOk, std::string("[ ") + kNew + " ]"}, {kOther, "[ Next ]"}}},
      {"a label with nothing beside it", {label(kLong)}, {{kLabel, kLong}}},
      {"a label with a field right after its text",
       {label(kLong), Node(ControlKind::Edit, kField, Du(100, 10, 40, 10), "")},
       {{kLabel, kLong}},
       kField},
      {"a label with a drop-down list closer",
       {label(kLong), Node(ControlKind::ComboBox, kField, Du(66, 10, 40, 10), "", CBS_DROPDOWNLIST)},
       {{kLabel, kLong}},
       kField},
      {"a label on two rows beside a taller field",
       {label("Transmission timeout : ", SS_LEFT, Du(18, 29, 41, 8)),
        Node(ControlKind::Edit, kField, Du(61, 26, 60, 13), "0")},
       {{kLabel, "Transmission timeout :"}},
       kField},
      {"a label in a group box", 
       {Node(ControlKind::Button, kGroup, Du(0, 0, 88, 40), "", BS_GROUPBOX), label(kLong)},
       {{kLabel, kLong}},
       nullptr,
       kGroup},
      {"a right-aligned label", {label(kLong, SS_RIGHT)}, {{kLabel, kLong}}},
      {"a label that does not wrap", {label(kLong, SS_LEFTNOWORDWRAP)}, {{kLabel, kLong}}},
      {"a text of four lines in a group box of two",
       {Node(ControlKind::Button, kGroup, Du(0, 0, 100, 32), "", BS_GROUPBOX),
        Node(ControlKind::Static, kLabel, Du(4, 8, 88, 16), kWords, SS_LEFT)},
       {{kLabel, kWords}},
       nullptr,
       kGroup},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WindowNode dialog = Dialog(kDialog, "Caption", 160, 100, c.children);
    ViewMemory memory;
    ScreenLayout layout = ScreenLayout::Build({dialog}, 60, 30, memory);
    Screen screen = PaintScreen(layout, Glyphs::Ascii(), 0);
    for (const auto& [hwnd, text] : c.shown) EXPECT_EQ(Shown(screen, *layout.Find(hwnd)), text) << screen.grid.Dump();
    const PlacedWindow* placed = layout.Find(kLabel);
    if (c.beside) {
      const PlacedWindow* field = layout.Find(c.beside);
      EXPECT_EQ(field->rect.y, placed->rect.y);
      EXPECT_GE(field->rect.x, placed->rect.x + vek::ui::terminal::TextWidth(vek::ui::terminal::DecodeUtf8(kLong)) - 2 + 1);
      EXPECT_GT(field->rect.x, placed->rect.Right()) << screen.grid.Dump();
    }
    if (c.frame) {
      const CellRect inside = layout.Find(c.frame)->rect.Inset(1);
      EXPECT_EQ(placed->rect.Intersect(inside), placed->rect) << screen.grid.Dump();
      const CellRect box = layout.Find(c.frame)->rect;
      EXPECT_EQ(RowOf(screen.grid, box.Bottom() - 1).substr(static_cast<std::size_t>(box.x), static_cast<std::size_t>(box.w)),
                "+" + std::string(static_cast<std::size_t>(box.w - 2), '-') + "+");
    }
  }
}
// Under the wait cursor the topmost window and the key line say "Please wait",
// in the program's language; a message box waits for the user, not for the work:
// over it neither shows, and the key line names the box's keys.
TEST(TerminalScreen, TheBusyMarkShowsWhileTheWorkGoesOnButNeverOverAMessageBox) {
  const std::string english = "Please wait";
  const std::string japanese = "\xe3\x81\x8a\xe5\xbe\x85\xe3\x81\xa1\xe3\x81\x8f\xe3\x81\xa0\xe3\x81\x95\xe3\x81\x84";  // お待ちください
  const struct {
    const char* what;
    bool japanese;
    bool box;
    std::string mark;      // on the frame of the topmost window, empty: none
    std::string keyLine;   // what the last row starts with
  } cases[] = {
      {"busy", false, false, " " + english + " ", " | " + english},
      {"busy, in Japanese", true, false, " " + japanese + " ", " | " + japanese},
      {"a message box up", false, true, "", " Enter OK   Esc OK"},
      {"a message box up, in Japanese", true, true, "", " Enter OK   Esc OK"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ViewMemory memory;
    ScreenLayout layout = ScreenLayout::Build({SmallDialog()}, 50, 14, memory);
    MessageBoxView box(vek::framework::MessageBoxRecord{nullptr, "Printer not found.", "Wizard", MB_OK, 0}, c.japanese);
    box.Place(50, 14);
    Overlays overlays;
    if (c.box) overlays.boxes.push_back(&box);
    Screen screen = PaintScreen(layout, Glyphs::Ascii(), 0, overlays,
                                ScreenStyle{.keyLine = true, .japanese = c.japanese, .busy = true});
    const std::string frameRow = screen.grid.Row(layout.TopLevels()[0].frame.y);
    if (c.mark.empty()) {
      EXPECT_EQ(screen.grid.Dump().find(english), std::string::npos) << screen.grid.Dump();
      EXPECT_EQ(screen.grid.Dump().find(japanese), std::string::npos) << screen.grid.Dump();
    } else {
      EXPECT_NE(frameRow.find(c.mark), std::string::npos) << screen.grid.Dump();
    }
    EXPECT_EQ(RowOf(screen.grid, 14).rfind(c.keyLine, 0), 0u) << RowOf(screen.grid, 14);
  }
}
