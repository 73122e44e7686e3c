// Each control kind painted alone into cells.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/control_defs.h"
#include "framework/dialog_template.h"
#include "terminal_test_support.h"
#include "ui/terminal/control_geometry.h"
#include "ui/terminal/terminal_colours.h"

namespace {

using namespace vek::test::terminal;

const HWND kControl = FakeHandle(1);

WindowNode Control(ControlKind kind, std::string text = "", DWORD style = 0) {
  return Node(kind, kControl, RECT{0, 0, 60, 13}, std::move(text), style);
}

TEST(TerminalPaint, StaticTextWrapsWithinItsCellsAndIsCutAtItsBottom) {
  WindowNode text = Control(ControlKind::Static, "Before you proceed, make sure the print server is on.", SS_LEFT);
  CellGrid grid = PaintAt(text, CellRect{1, 0, 20, 2}, 24, 4);
  EXPECT_EQ(RowOf(grid, 0), " Before you proceed,");
  EXPECT_EQ(RowOf(grid, 1), " make sure the print");
  EXPECT_EQ(RowOf(grid, 2), "");  // not wrapped over what is below
}

// Help texts padded with spaces to push words to a new line at another width: the
// padding is one space wherever it falls, and takes no line of its own.
TEST(TerminalPaint, PaddedStaticTextWrapsWithoutGaps) {
  WindowNode help = Control(ControlKind::Static,
                            "1.For 64-bit WEP, enter the key    which contains 5 characters    (depending on      "
                            "the key format)",
                            SS_LEFT);
  CellGrid grid = PaintAt(help, CellRect{0, 0, 20, 5}, 20, 5);
  EXPECT_EQ(RowOf(grid, 0), "1.For 64-bit WEP,");
  EXPECT_EQ(RowOf(grid, 1), "enter the key which");
  EXPECT_EQ(RowOf(grid, 2), "contains 5");
  EXPECT_EQ(RowOf(grid, 3), "characters");
  EXPECT_EQ(RowOf(grid, 4), "(depending on the");
  // Where the text is not wrapped it stands as written; a mnemonic after the
  // padding still marks its letter.
  EXPECT_EQ(RowOf(PaintAt(Control(ControlKind::Static, "a   b", SS_LEFTNOWORDWRAP), CellRect{0, 0, 8, 1}, 8, 1), 0),
            "a   b");
  CellGrid marked = PaintAt(Control(ControlKind::Static, "Key    &Format", SS_LEFT), CellRect{0, 0, 12, 1}, 12, 1);
  EXPECT_EQ(RowOf(marked, 0), "Key Format");
  EXPECT_TRUE(HasAttr(marked, 4, 0, kUnderline));
}

TEST(TerminalPaint, StaticAlignmentMnemonicAndNoWrap) {
  EXPECT_EQ(RowOf(PaintAt(Control(ControlKind::Static, "Mid", SS_CENTER), CellRect{0, 0, 9, 1}, 9, 1), 0), "   Mid");
  EXPECT_EQ(RowOf(PaintAt(Control(ControlKind::Static, "End", SS_RIGHT), CellRect{0, 0, 9, 1}, 9, 1), 0), "      End");
  CellGrid label = PaintAt(Control(ControlKind::Static, "&Password:"), CellRect{0, 0, 12, 1}, 12, 1);
  EXPECT_EQ(RowOf(label, 0), "Password:");
  EXPECT_TRUE(HasAttr(label, 0, 0, kUnderline));
  EXPECT_FALSE(HasAttr(label, 1, 0, kUnderline));
  CellGrid simple = PaintAt(Control(ControlKind::Static, "one two three", SS_LEFTNOWORDWRAP), CellRect{0, 0, 7, 2}, 8, 2);
  EXPECT_EQ(RowOf(simple, 0), "one two");
  EXPECT_EQ(RowOf(simple, 1), "");
}

TEST(TerminalPaint, JapaneseTextTakesTwoCellsACharacterAndIsCutWhole) {
  // 日本語のラベル in 9 cells: four characters (8 cells) and no half.
  WindowNode text = Control(ControlKind::Static, "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe3\x83\xa9\xe3\x83\x99\xe3\x83\xab");
  CellGrid grid = PaintAt(text, CellRect{0, 0, 9, 1}, 12, 1);
  EXPECT_EQ(RowOf(grid, 0), "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae");
  EXPECT_EQ(grid.At(9, 0).ch, U' ');
  EXPECT_FALSE(grid.At(8, 0).tail);
}

TEST(TerminalPaint, PicturesShowTheirTitleFramedWhenThereIsRoom) {
  WindowNode banner = Control(ControlKind::Static, "", SS_BITMAP);
  banner.pictureTitle = "Welcome";
  CellGrid framed = PaintAt(banner, CellRect{0, 0, 13, 3}, 13, 3, {.ascii = true});
  EXPECT_EQ(RowOf(framed, 0), "+-----------+");
  EXPECT_EQ(RowOf(framed, 1), "|  Welcome  |");
  EXPECT_TRUE(HasAttr(framed, 3, 1, kBold));
  CellGrid line = PaintAt(banner, CellRect{0, 0, 13, 1}, 13, 1);
  EXPECT_EQ(RowOf(line, 0), "   Welcome");
  // A frame static draws its frame; a hidden picture leaves nothing.
  CellGrid frame = PaintAt(Control(ControlKind::Static, "", SS_ETCHEDFRAME), CellRect{0, 0, 4, 3}, 4, 3, {.ascii = true});
  EXPECT_EQ(RowOf(frame, 1), "|  |");
  EXPECT_EQ(RowOf(PaintAt(Control(ControlKind::Static, "", SS_BITMAP), CellRect{0, 0, 8, 1}, 8, 1), 0), "");
}

// A picture whose top half is red and bottom half blue, 40 x 40 pixels.
constexpr UINT kTwoColours = 7301;
constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;

void DrawTwoColours(std::uint32_t* pixels, int width, int height) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels[y * width + x] = y < height / 2 ? kRed : kBlue;
}

void RegisterTwoColours() {
  static const vek::framework::BitmapResource bitmaps[] = {{kTwoColours, 40, 40, 24, "Two colours", DrawTwoColours}};
  static bool done = (vek::framework::RegisterBitmaps(bitmaps, std::size(bitmaps)), true);
  (void)done;
}

TEST(TerminalPaint, WithColoursPicturesAreDrawnTwoPixelsACell) {
  RegisterTwoColours();
  WindowNode picture = Control(ControlKind::Static, "", SS_BITMAP);
  picture.pictureId = kTwoColours;
  picture.pictureTitle = "Two colours";
  // Four rows are eight pixels: the top four red, the bottom four blue, as upper
  // half blocks in the top colour on the bottom colour where they differ.
  CellGrid grid = PaintAt(picture, CellRect{0, 0, 13, 4}, 13, 4, {.colours = true});
  for (int x = 0; x < 13; ++x) {
    EXPECT_EQ(grid.At(x, 0).bg, kRed);
    EXPECT_EQ(grid.At(x, 1).bg, kRed);
  }
  EXPECT_EQ(RowOf(grid, 0), "");
  // Its title stands near its foot, on the picture, in white on this one.
  EXPECT_EQ(RowOf(grid, 2), " Two colours");
  EXPECT_EQ(CellColours(grid.At(1, 2), 256).fg, 0xFFFFFFu);
  EXPECT_EQ(grid.At(1, 2).bg, kBlue);
  // An odd number of rows puts the boundary inside the middle cell.
  picture.pictureTitle.clear();
  CellGrid odd = PaintAt(picture, CellRect{0, 0, 4, 5}, 4, 5, {.colours = true});
  EXPECT_EQ(odd.At(0, 2).ch, U'\u2580');
  EXPECT_EQ(odd.At(0, 2).fg, kRed);
  EXPECT_EQ(odd.At(0, 2).bg, kBlue);
  // Without line drawing each cell is one pixel.
  CellGrid ascii = PaintAt(picture, CellRect{0, 0, 4, 4}, 4, 4, {.ascii = true, .colours = true});
  EXPECT_EQ(ascii.At(0, 1).bg, kRed);
  EXPECT_EQ(ascii.At(0, 2).bg, kBlue);
  EXPECT_EQ(ascii.At(0, 0).ch, U' ');
  // Squeezed narrower than four cells it is left out.
  CellGrid squeezed = PaintAt(picture, CellRect{0, 0, 3, 4}, 3, 4, {.colours = true});
  EXPECT_EQ(squeezed.At(0, 1).bg, vek::ui::terminal::kTerminalColour);
  // A banner carries its title in its middle.
  picture.pictureTitle = "Two colours";
  CellGrid banner = PaintAt(picture, CellRect{0, 0, 15, 3}, 15, 3, {.colours = true});
  EXPECT_NE(RowOf(banner, 1).find("Two colours"), std::string::npos);
  EXPECT_EQ(banner.At(2, 1).ch, U'T');
  EXPECT_EQ(CellColours(banner.At(2, 1), 256).fg, 0xFFFFFFu);
  EXPECT_EQ(banner.At(2, 1).bg, 0x7F007Fu);  // the cell's red and blue halves blended
  EXPECT_TRUE(HasAttr(banner, 2, 1, kBold));
}

// Pictures of one colour each, 80 x 24 pixels: light as a button, mid grey, and
// a colour that neither black nor white stands out from on an 8-colour terminal.
template <std::uint32_t kColour>
void DrawPlain(std::uint32_t* pixels, int width, int height) {
  for (int i = 0; i < width * height; ++i) pixels[i] = kColour;
}
constexpr UINT kLightButton = 7302, kMidGrey = 7303, kMagenta = 7304;

// A title written over a picture (a button's label, a banner's heading) reads at
// least 4.5 : 1 against the picture as the terminal shows both, on terminals of
// 8, 16 and 256 colours; so does any text made readable on any background.
TEST(TerminalPaint, TitlesOverPicturesStandOutFromThemOnEveryTerminal) {
  static const vek::framework::BitmapResource bitmaps[] = {
      {kLightButton, 80, 24, 24, "Setup Wizard", DrawPlain<0xEEEEEE>},
      {kMidGrey, 80, 24, 24, "Setup Wizard", DrawPlain<0x777777>},
      {kMagenta, 80, 24, 24, "Setup Wizard", DrawPlain<0xCD00CD>}};
  vek::framework::RegisterBitmaps(bitmaps, std::size(bitmaps));
  auto readable = [](const Cell& cell, int colours) {
    TextColours shown = CellColours(cell, colours);
    return ContrastRatio(ShownColour(shown.fg, colours), ShownColour(shown.bg, colours));
  };
  for (UINT id : {kLightButton, kMidGrey, kMagenta}) {
    WindowNode picture = Control(ControlKind::Static, "", SS_BITMAP);
    picture.pictureId = id;
    picture.pictureTitle = "Setup Wizard";
    CellGrid grid = PaintAt(picture, CellRect{0, 0, 20, 3}, 20, 3, {.colours = true});
    ASSERT_NE(RowOf(grid, 1).find("Setup Wizard"), std::string::npos);
    for (int colours : {8, 16, 256})
      for (int x = 4; x < 16; ++x)
        EXPECT_GE(readable(grid.At(x, 1), colours), kReadableContrast)
            << "picture " << id << ", " << colours << " colours, cell " << x;
  }
  std::vector<std::uint32_t> backgrounds;
  for (int r = 0; r < 256; r += 15)
    for (int g = 0; g < 256; g += 15)
      for (int b = 0; b < 256; b += 15) backgrounds.push_back(static_cast<std::uint32_t>(r << 16 | g << 8 | b));
  for (int index = 0; index < 256; ++index) backgrounds.push_back(PaletteColour(index));
  for (int colours : {8, 16, 256})
    for (std::uint32_t rgb : backgrounds) {
      Cell cell{U'x', kBold, false, kContrastColour, rgb};
      ASSERT_GE(readable(cell, colours), kReadableContrast) << std::hex << rgb << std::dec << ", " << colours << " colours";
    }
}

TEST(TerminalPaint, WithoutColoursAPicturesTitleWrapsAndIsNeverCut) {
  WindowNode side = Control(ControlKind::Static, "", SS_BITMAP);
  side.pictureTitle = "VEK Setup: Welcome";
  CellGrid narrow = PaintAt(side, CellRect{0, 0, 12, 8}, 12, 8, {.ascii = true});
  EXPECT_EQ(RowOf(narrow, 0), "+----------+");
  EXPECT_EQ(RowOf(narrow, 3), "|VEK Setup:|");
  EXPECT_EQ(RowOf(narrow, 4), "| Welcome  |");
  // Too low for the frame and the two lines: the frame goes, the title stays whole.
  CellGrid low = PaintAt(side, CellRect{0, 0, 12, 3}, 12, 3, {.ascii = true});
  EXPECT_NE(low.Dump().find("VEK Setup:"), std::string::npos);
  EXPECT_NE(low.Dump().find("Welcome"), std::string::npos);
  EXPECT_EQ(low.Dump().find('+'), std::string::npos);
}

TEST(TerminalPaint, PushButtonsInBracketsDefaultBoldFocusReversed) {
  WindowNode button = Control(ControlKind::Button, "Next >", BS_DEFPUSHBUTTON);
  CellGrid grid = PaintAt(button, CellRect{0, 0, 14, 2}, 14, 2);
  EXPECT_EQ(RowOf(grid, 0), "  [ Next > ]");
  EXPECT_TRUE(HasAttr(grid, 2, 0, kBold));
  EXPECT_FALSE(HasAttr(grid, 2, 0, kReverse));
  button.focused = true;
  EXPECT_TRUE(HasAttr(PaintAt(button, CellRect{0, 0, 14, 2}, 14, 2), 3, 0, kReverse));
  EXPECT_FALSE(HasAttr(PaintAt(button, CellRect{0, 0, 14, 2}, 14, 2, {.showFocus = false}), 3, 0, kReverse));
  // Narrow: the brackets close in, then the label alone is cut.
  EXPECT_EQ(RowOf(PaintAt(Control(ControlKind::Button, "Cancel"), CellRect{0, 0, 8, 1}, 8, 1), 0), "[Cancel]");
  EXPECT_EQ(RowOf(PaintAt(Control(ControlKind::Button, "Cancel"), CellRect{0, 0, 4, 1}, 4, 1), 0), "Canc");
  // Disabled: dimmed, and no longer bold.
  CellGrid disabled = PaintAt(button, CellRect{0, 0, 14, 1}, 14, 1, {.enabled = false});
  EXPECT_TRUE(HasAttr(disabled, 3, 0, kDim));
  EXPECT_FALSE(HasAttr(disabled, 3, 0, kBold));
}

TEST(TerminalPaint, CheckBoxesAndRadioButtonsShowTheirMark) {
  WindowNode check = Control(ControlKind::Button, "&Enable", BS_AUTOCHECKBOX);
  EXPECT_EQ(RowOf(PaintAt(check, CellRect{0, 0, 12, 1}, 12, 1), 0), "[ ] Enable");
  check.check = BST_CHECKED;
  CellGrid checked = PaintAt(check, CellRect{0, 0, 12, 1}, 12, 1);
  EXPECT_EQ(RowOf(checked, 0), "[x] Enable");
  EXPECT_TRUE(HasAttr(checked, 4, 0, kUnderline));
  check.check = BST_INDETERMINATE;
  EXPECT_EQ(RowOf(PaintAt(check, CellRect{0, 0, 12, 1}, 12, 1), 0), "[-] Enable");
  check.style |= BS_LEFTTEXT;
  check.check = BST_CHECKED;
  EXPECT_EQ(RowOf(PaintAt(check, CellRect{0, 0, 12, 1}, 12, 1), 0), "Enable [x]");

  WindowNode radio = Control(ControlKind::Button, "DHCP", BS_AUTORADIOBUTTON);
  EXPECT_EQ(RowOf(PaintAt(radio, CellRect{0, 0, 12, 1}, 12, 1), 0), "( ) DHCP");
  radio.check = BST_CHECKED;
  radio.focused = true;
  CellGrid focused = PaintAt(radio, CellRect{0, 0, 12, 1}, 12, 1);
  EXPECT_EQ(RowOf(focused, 0), "(o) DHCP");
  EXPECT_TRUE(HasAttr(focused, 4, 0, kReverse));
  EXPECT_FALSE(HasAttr(focused, 1, 0, kReverse));
}

TEST(TerminalPaint, GroupBoxIsAFrameWithItsCaption) {
  CellGrid grid = PaintAt(Control(ControlKind::Button, "Note", BS_GROUPBOX), CellRect{0, 0, 12, 3}, 12, 3, {.ascii = true});
  EXPECT_EQ(RowOf(grid, 0), "+- Note ---+");
  EXPECT_EQ(RowOf(grid, 2), "+----------+");
}

TEST(TerminalPaint, EditsShowTheirTextMaskPasswordsAndScrollToTheCaret) {
  WindowNode edit = Control(ControlKind::Edit, "printer-01");
  CellGrid grid = PaintAt(edit, CellRect{0, 0, 12, 2}, 12, 2);
  EXPECT_EQ(RowOf(grid, 0), "printer-01");
  EXPECT_TRUE(HasAttr(grid, 11, 0, kUnderline));  // the field runs the whole width

  edit.passwordChar = U'*';
  EXPECT_EQ(RowOf(PaintAt(edit, CellRect{0, 0, 12, 1}, 12, 1), 0), "**********");

  edit.passwordChar = 0;
  CellGrid scrolled = PaintAt(edit, CellRect{0, 0, 5, 1}, 5, 1, {.scroll = 6});
  EXPECT_EQ(RowOf(scrolled, 0), "r-01");

  edit.style |= ES_READONLY;
  EXPECT_FALSE(HasAttr(PaintAt(edit, CellRect{0, 0, 12, 1}, 12, 1), 0, 0, kUnderline));
}

// A field shows as a field whatever its state; centred and right-aligned text
// stands where the style says, and the caret and clicks agree with it.
TEST(TerminalPaint, EditFieldsShowTheirStateAndAlignment) {
  const struct {
    const char* what;
    const char* text;
    DWORD style;
    bool enabled;
    const char* row;  // in 12 cells
    int underlinedTo; // the last underlined cell, -1 for none
    bool dim;
  } cases[] = {
      {"enabled, empty", "", 0, true, "", 11, false},
      {"disabled, empty: still a field", "", 0, false, "", 11, true},
      {"disabled with text", "abc", 0, false, "abc", 11, true},
      {"read-only: plain text", "abc", ES_READONLY, true, "abc", -1, false},
      {"centred", "abc", ES_CENTER, true, "    abc", 11, false},
      {"right-aligned, a cell left for the caret", "abc", ES_RIGHT, true, "        abc", 11, false},
      {"centred, too long to align", "abcdefghijkl", ES_CENTER, true, "abcdefghijkl", 11, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CellGrid grid = PaintAt(Control(ControlKind::Edit, c.text, c.style), CellRect{0, 0, 12, 1}, 12, 1,
                            {.enabled = c.enabled});
    EXPECT_EQ(RowOf(grid, 0), c.row);
    for (int x = 0; x < 12; ++x) EXPECT_EQ(HasAttr(grid, x, 0, kUnderline), x <= c.underlinedTo) << x;
    EXPECT_EQ(HasAttr(grid, 0, 0, kDim), c.dim);
  }
  // The IP address control is a field too when disabled.
  EXPECT_TRUE(HasAttr(PaintAt(Control(ControlKind::IpAddress, ""), CellRect{0, 0, 16, 1}, 16, 1, {.enabled = false}),
                      0, 0, kUnderline | kDim));

  // Caret and clicks in an aligned field: "abc" centred in 12 cells starts at 4.
  WindowNode centred = Control(ControlKind::Edit, "abc", ES_CENTER);
  const CellRect area{0, 0, 12, 1};
  centred.selStart = centred.selEnd = 3;
  EXPECT_EQ(EditCaretCell(centred, area, 0).x, 7);
  EXPECT_EQ(EditPositionAt(centred, area, 0, CellPoint{5, 0}), 1);   // on the "b"
  EXPECT_EQ(EditPositionAt(centred, area, 0, CellPoint{0, 0}), 0);   // before the text
  EXPECT_EQ(EditPositionAt(centred, area, 0, CellPoint{11, 0}), 3);  // after it
  WindowNode right = Control(ControlKind::Edit, "abc", ES_RIGHT);
  EXPECT_EQ(EditCaretCell(right, area, 0).x, 8);  // before the "a"
  right.selStart = right.selEnd = 3;
  EXPECT_EQ(EditCaretCell(right, area, 0).x, 11);
}

TEST(TerminalPaint, TheSelectionOfTheFocusedEditIsReversed) {
  WindowNode edit = Control(ControlKind::Edit, "abcdef");
  edit.selStart = 1;
  edit.selEnd = 3;
  CellGrid unfocused = PaintAt(edit, CellRect{0, 0, 8, 1}, 8, 1);
  EXPECT_FALSE(HasAttr(unfocused, 1, 0, kReverse));
  edit.focused = true;
  CellGrid focused = PaintAt(edit, CellRect{0, 0, 8, 1}, 8, 1);
  EXPECT_FALSE(HasAttr(focused, 0, 0, kReverse));
  EXPECT_TRUE(HasAttr(focused, 1, 0, kReverse));
  EXPECT_TRUE(HasAttr(focused, 2, 0, kReverse));
  EXPECT_FALSE(HasAttr(focused, 3, 0, kReverse));
}

TEST(TerminalPaint, MultilineEditsWrapAndScrollByLines) {
  WindowNode edit = Control(ControlKind::Edit, "Name: Alpha\r\nAddress: 192.168.0.10\r\nPort: LPT1", ES_MULTILINE | ES_READONLY);
  CellGrid grid = PaintAt(edit, CellRect{0, 0, 12, 3}, 12, 3);
  EXPECT_EQ(RowOf(grid, 0), "Name: Alpha");
  EXPECT_EQ(RowOf(grid, 1), "Address:");
  EXPECT_EQ(RowOf(grid, 2), "192.168.0.10");
  EXPECT_EQ(RowOf(PaintAt(edit, CellRect{0, 0, 12, 3}, 12, 3, {.scroll = 2}), 1), "Port: LPT1");
}

TEST(TerminalPaint, ComboBoxShowsItsSelectionAndAnArrow) {
  WindowNode combo = Control(ControlKind::ComboBox, "", CBS_DROPDOWNLIST);
  combo.items = {"Raw", "LPR"};
  combo.selection = 1;
  CellGrid grid = PaintAt(combo, CellRect{0, 0, 10, 1}, 10, 1, {.ascii = true});
  EXPECT_EQ(RowOf(grid, 0), "LPR      v");
  combo.selection = -1;
  EXPECT_EQ(RowOf(PaintAt(combo, CellRect{0, 0, 10, 1}, 10, 1, {.ascii = true}), 0), "         v");
}

TEST(TerminalPaint, ListViewShowsHeadingsRowsSelectionAndScrollMarks) {
  WindowNode list = Control(ControlKind::ListView, "", LVS_REPORT);
  list.columns = {{"Name", 60}, {"Address", 90}};  // 10 and 15 cells
  for (int i = 0; i < 5; ++i)
    list.rows.push_back(ListRow{{"Server" + std::to_string(i), "10.0.0." + std::to_string(i)}, i == 3, i == 3});
  CellGrid grid = PaintAt(list, CellRect{0, 0, 28, 5}, 28, 5, {.ascii = true, .scroll = 2});
  EXPECT_EQ(RowOf(grid, 0), "+--------------------------+");
  EXPECT_EQ(RowOf(grid, 1), "|Name      Address         |");
  EXPECT_EQ(RowOf(grid, 2), "|Server2   10.0.0.2        ^");
  EXPECT_EQ(RowOf(grid, 3), "|Server3   10.0.0.3        v");
  EXPECT_TRUE(HasAttr(grid, 1, 1, kBold | kUnderline));
  EXPECT_TRUE(HasAttr(grid, 20, 3, kReverse));  // the whole selected row
  EXPECT_FALSE(HasAttr(grid, 20, 2, kReverse));

  // Wider columns than the list shows: each gives up what it does not need, so
  // the last shows too.
  list.columns = {{"Name", 120}, {"Port", 90}, {"Status", 90}};  // 20, 15 and 15 cells in 26
  list.rows = {ListRow{{"Server", "P1", "Ok"}, false, false}};
  CellGrid narrow = PaintAt(list, CellRect{0, 0, 28, 4}, 28, 4, {.ascii = true});
  EXPECT_EQ(RowOf(narrow, 1), "|Name   Port Status        |");
  EXPECT_EQ(RowOf(narrow, 2), "|Server P1   Ok            |");
}

// Columns whose pixel widths hold their texts only just (a MAC address in its own
// width), in a list too narrow for all of them: the columns before the last show
// what they hold, the last shows what is left (at least its heading) and needs no
// space after it; cells to spare go to a column cut short. Scrolled sideways, the
// list starts at its first column shown and marks the hidden ones on its frame.
TEST(TerminalPaint, ListColumnsKeepWholeWhatFitsAndTheLastTakesTheRest) {
  const std::vector<ListColumn> kServer = {{"Device Name", 78}, {"IP Address", 66}, {"MAC Address", 102},
                                           {"Port", 30},         {"Status", 42},     {"Version", 60}};
  const std::vector<std::string> kServerRow = {"Lab wireless", "127.61.5.3", "02:4E:57:10:00:02", "P1", "Ok", "2.10a-wpa2"};
  const struct {
    const char* what;
    std::vector<ListColumn> columns;
    std::vector<std::string> row;
    int width;  // inside the frame
    const char* heading;
    const char* shown;
    int first = 0;                 // the first column shown
    const char* bottom = nullptr;  // the frame's bottom edge, when it marks hidden columns
  } cases[] = {
      {"a server list one cell too narrow for its columns",
       kServer,
       kServerRow,
       61,
       "Device Name  IP Address MAC Address       Port Status Version",
       "Lab wireless 127.61.5.3 02:4E:57:10:00:02 P1   Ok     2.10a-w"},
      {"the same with room: nothing cut",
       kServer,
       kServerRow,
       64,
       "Device Name  IP Address MAC Address       Port Status Version",
       "Lab wireless 127.61.5.3 02:4E:57:10:00:02 P1   Ok     2.10a-wpa2"},
      {"too narrow for both: the first column whole, the last cut at the edge",
       {{"", 72}, {"", 120}},
       {"Print Server Name :", "02:4E:57:10:00:01"},
       32,
       "",
       "Print Server Name : 02:4E:57:10:"},
      {"a column in the middle is never cut: the one at the edge is",
       kServer,
       {"Lab wireless", "127.61.5.3", "02:4E:57:10:00:02", "P1", "Ok", "2.10a-wpa2"},
       45,
       "Device Name  IP Address MAC Address       Po",
       "Lab wireless 127.61.5.3 02:4E:57:10:00:02 P1"},
      {"scrolled to the first column from which the rest show whole",
       kServer,
       kServerRow,
       40,
       "MAC Address       Port Status Version",
       "02:4E:57:10:00:02 P1   Ok     2.10a-wpa2",
       2,
       "+<---------------------------------------+"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WindowNode list = Control(ControlKind::ListView, "", LVS_REPORT);
    list.columns = c.columns;
    list.rows = {ListRow{c.row, false, false}};
    CellGrid grid = PaintAt(list, CellRect{0, 0, c.width + 2, 4}, c.width + 2, 4, {.ascii = true, .columnScroll = c.first});
    EXPECT_EQ(RowOf(grid, 1), "|" + std::string(c.heading) + std::string(c.width - std::strlen(c.heading), ' ') + "|");
    EXPECT_EQ(RowOf(grid, 2), "|" + std::string(c.shown) + std::string(c.width - std::strlen(c.shown), ' ') + "|");
    if (c.bottom) {
      EXPECT_EQ(RowOf(grid, 3), c.bottom);
    }
  }
}

TEST(TerminalPaint, ProgressBarsFillByPosition) {
  WindowNode bar = Control(ControlKind::Progress);
  bar.low = 0;
  bar.high = 100;
  bar.position = 50;
  EXPECT_EQ(RowOf(PaintAt(bar, CellRect{0, 0, 12, 1}, 12, 1, {.ascii = true}), 0), "[#####.....]");
  bar.position = 100;
  EXPECT_EQ(RowOf(PaintAt(bar, CellRect{0, 0, 12, 1}, 12, 1, {.ascii = true}), 0), "[##########]");
  bar.position = 0;
  EXPECT_EQ(RowOf(PaintAt(bar, CellRect{0, 0, 12, 1}, 12, 1, {.ascii = true}), 0), "[..........]");
  bar.low = bar.high = 5;  // an empty range fills nothing
  EXPECT_EQ(RowOf(PaintAt(bar, CellRect{0, 0, 12, 1}, 12, 1, {.ascii = true}), 0), "[..........]");
}

TEST(TerminalPaint, AnimationSpinsOnlyWhilePlaying) {
  WindowNode animation = Control(ControlKind::Animation);
  EXPECT_EQ(RowOf(PaintAt(animation, CellRect{0, 0, 3, 1}, 3, 1), 0), "");
  animation.playing = true;
  EXPECT_EQ(RowOf(PaintAt(animation, CellRect{0, 0, 3, 1}, 3, 1, {.frame = 0}), 0), " |");
  EXPECT_EQ(RowOf(PaintAt(animation, CellRect{0, 0, 3, 1}, 3, 1, {.frame = 1}), 0), " /");
}

TEST(TerminalPaint, TabRowMarksTheSelectedTab) {
  WindowNode tab = Control(ControlKind::Tab);
  tab.items = {"General", "&Wireless"};
  tab.selection = 1;
  CellGrid grid = PaintAt(tab, CellRect{0, 0, 24, 2}, 24, 2, {.ascii = true});
  EXPECT_EQ(RowOf(grid, 0), " General | Wireless |");
  EXPECT_EQ(RowOf(grid, 1), "------------------------");
  EXPECT_TRUE(HasAttr(grid, 12, 0, kReverse));
  EXPECT_FALSE(HasAttr(grid, 2, 0, kReverse));
  EXPECT_TRUE(HasAttr(grid, 11, 0, kUnderline));  // W
}

TEST(TerminalPaint, UpDownShowsBothArrows) {
  WindowNode spin = Control(ControlKind::UpDown);
  EXPECT_EQ(RowOf(PaintAt(spin, CellRect{0, 0, 2, 1}, 2, 1, {.ascii = true}), 0), "^v");
  CellGrid tall = PaintAt(spin, CellRect{0, 0, 1, 2}, 1, 2);
  EXPECT_EQ(RowOf(tall, 0), "\xe2\x96\xb2");
  EXPECT_EQ(RowOf(tall, 1), "\xe2\x96\xbc");
}

TEST(TerminalPaint, IpAddressShowsItsDottedText) {
  CellGrid grid = PaintAt(Control(ControlKind::IpAddress, "192.168.0.1"), CellRect{0, 0, 16, 1}, 16, 1);
  EXPECT_EQ(RowOf(grid, 0), "192.168.0.1");
  EXPECT_TRUE(HasAttr(grid, 15, 0, kUnderline));
}

TEST(TerminalPaint, AWindowsOwnDrawingShowsPicturesTextsAndFrames) {
  WindowNode page = Control(ControlKind::Dialog);
  page.rect = RECT{0, 0, 120, 65};
  page.drawing = {
      DrawnShape{DrawnShape::Kind::Picture, RECT{0, 0, 60, 39}, {}, "Side"},  // 10 x 3 cells
      DrawnShape{DrawnShape::Kind::Text, RECT{66, 0, 66, 0}, {}, "Hello"},   // at a point
      DrawnShape{DrawnShape::Kind::Frame, RECT{66, 13, 120, 52}, {}, ""},
  };
  CellGrid grid = PaintAt(page, CellRect{0, 0, 20, 5}, 20, 5, {.ascii = true});
  EXPECT_EQ(RowOf(grid, 0), "+--------+ Hello");
  EXPECT_EQ(RowOf(grid, 1), "|  Side  | +-------+");
  EXPECT_EQ(RowOf(grid, 2), "+--------+ |       |");
  EXPECT_EQ(RowOf(grid, 3), "           +-------+");
}

TEST(TerminalPaint, OwnerDrawnButtonsShowWhatTheirOwnerDrew) {
  WindowNode button = Control(ControlKind::Button, "Install", BS_OWNERDRAW);
  EXPECT_EQ(RowOf(PaintAt(button, CellRect{0, 0, 13, 1}, 13, 1), 0), " [ Install ]");
  button.drawing = {DrawnShape{DrawnShape::Kind::Picture, RECT{0, 0, 78, 13}, {}, "Install drivers"}};
  EXPECT_EQ(RowOf(PaintAt(button, CellRect{0, 0, 13, 1}, 13, 1), 0), "Install drive");
}

}  // namespace
