// Message boxes on the terminal: the buttons of each type, the default button, the
// keys that answer, and what the box shows.
#include <gtest/gtest.h>

#include "terminal_test_support.h"
#include "ui/terminal/message_box_view.h"
#include "ui/terminal/text_cells.h"

namespace {

using namespace vek::test::terminal;
using vek::framework::MessageBoxRecord;

MessageBoxView Box(UINT type, std::string text = "Text", bool japanese = false) {
  return MessageBoxView(MessageBoxRecord{nullptr, std::move(text), "Caption", type, 0}, japanese);
}

std::vector<int> Ids(const MessageBoxView& view) {
  std::vector<int> ids;
  for (const auto& button : view.Buttons()) ids.push_back(button.id);
  return ids;
}

TEST(TerminalMessageBox, EachTypeHasItsButtonsAndFocusesTheDefault) {
  EXPECT_EQ(Ids(Box(MB_OK)), (std::vector{IDOK}));
  EXPECT_EQ(Ids(Box(MB_OKCANCEL)), (std::vector{IDOK, IDCANCEL}));
  EXPECT_EQ(Ids(Box(MB_YESNO)), (std::vector{IDYES, IDNO}));
  EXPECT_EQ(Ids(Box(MB_YESNOCANCEL)), (std::vector{IDYES, IDNO, IDCANCEL}));
  EXPECT_EQ(Ids(Box(MB_RETRYCANCEL)), (std::vector{IDRETRY, IDCANCEL}));
  EXPECT_EQ(Ids(Box(MB_ABORTRETRYIGNORE)), (std::vector{IDABORT, IDRETRY, IDIGNORE}));
  EXPECT_EQ(Box(MB_YESNO).FocusedButton(), 0);
  EXPECT_EQ(Box(MB_YESNO | MB_DEFBUTTON2).FocusedButton(), 1);
}

TEST(TerminalMessageBox, KeysMoveBetweenButtonsAndAnswer) {
  MessageBoxView box = Box(MB_YESNOCANCEL);
  EXPECT_EQ(box.HandleKey(TermKey::Key(KeyCode::Right)), 0);
  EXPECT_EQ(box.FocusedButton(), 1);
  EXPECT_EQ(box.HandleKey(TermKey::Key(KeyCode::Tab)), 0);
  EXPECT_EQ(box.HandleKey(TermKey::Key(KeyCode::Tab)), 0);  // round to the first
  EXPECT_EQ(box.FocusedButton(), 0);
  EXPECT_EQ(box.HandleKey(TermKey::Key(KeyCode::Left)), 0);
  EXPECT_EQ(box.HandleKey(TermKey::Key(KeyCode::Enter)), IDCANCEL);
  EXPECT_EQ(box.HandleKey(TermKey::Char(U' ')), IDCANCEL);
  EXPECT_EQ(box.HandleKey(TermKey::Char(U'n')), IDNO);
  EXPECT_EQ(box.HandleKey(TermKey::Char(U'Y', true)), IDYES);
  EXPECT_EQ(box.HandleKey(TermKey::Char(U'q')), 0);
}

TEST(TerminalMessageBox, EscapeAnswersCancelOrNoWhereTheBoxHasThem) {
  EXPECT_EQ(Box(MB_OKCANCEL).HandleKey(TermKey::Key(KeyCode::Escape)), IDCANCEL);
  EXPECT_EQ(Box(MB_YESNO).HandleKey(TermKey::Key(KeyCode::Escape)), IDNO);
  EXPECT_EQ(Box(MB_OK).HandleKey(TermKey::Key(KeyCode::Escape)), IDOK);
  EXPECT_EQ(Box(MB_ABORTRETRYIGNORE).HandleKey(TermKey::Key(KeyCode::Escape)), 0);
  EXPECT_EQ(Box(MB_ABORTRETRYIGNORE | MB_DEFBUTTON2).QuitAnswer(), IDRETRY);
  EXPECT_EQ(Box(MB_YESNO).QuitAnswer(), IDNO);
}

TEST(TerminalMessageBox, ShowsCaptionIconTextAndButtonsCentred) {
  MessageBoxView box = Box(MB_YESNO | MB_ICONQUESTION, "Do you want to configure the print server now?");
  box.Place(80, 20);
  CellRect rect = box.Rect();
  EXPECT_EQ(rect.x, (80 - rect.w) / 2);
  EXPECT_EQ(rect.y, (20 - rect.h) / 2);
  CellGrid grid(80, 20);
  box.Paint(grid, Glyphs::Ascii());
  std::string all = grid.Dump();
  EXPECT_NE(grid.Row(rect.y).find("Caption"), std::string::npos);
  EXPECT_NE(grid.Row(rect.y + 1).find("Question"), std::string::npos);
  EXPECT_NE(all.find("Do you want to configure the print server now?"), std::string::npos);
  std::string buttons = grid.Row(rect.Bottom() - 2);
  EXPECT_NE(buttons.find("[ Yes ]  [ No ]"), std::string::npos);
  int yes = static_cast<int>(buttons.find("[ Yes ]"));
  EXPECT_TRUE(HasAttr(grid, yes, rect.Bottom() - 2, kReverse));  // the default
  EXPECT_TRUE(HasAttr(grid, yes + 2, rect.Bottom() - 2, kUnderline));  // Y
  // A click on No answers No.
  EXPECT_EQ(box.HandleKey(TermKey::Click(yes + 10, rect.Bottom() - 2)), IDNO);
  EXPECT_EQ(box.HandleKey(TermKey::Click(yes + 10, rect.Bottom() - 1)), 0);
}

TEST(TerminalMessageBox, LongTextWrapsInsideTheBox) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "word ";
  MessageBoxView box = Box(MB_OK, text);
  box.Place(40, 20);
  EXPECT_LE(box.Rect().w, 40);
  EXPECT_GT(box.Rect().h, 5);
  CellGrid grid(40, 20);
  box.Paint(grid, Glyphs::Ascii());
  for (int y = box.Rect().y + 1; y < box.Rect().Bottom() - 2; ++y) EXPECT_EQ(grid.At(box.Rect().Right() - 1, y).ch, U'|');
}

// The text's lines as a box without an icon shows them, scrolled through with PgDn
// to its end.
std::vector<std::string> AllLines(MessageBoxView& box, int columns, int rows) {
  std::vector<std::string> lines;
  for (int page = 0; page < 50; ++page) {
    box.Place(columns, rows);
    CellGrid grid(columns, rows);
    box.Paint(grid, Glyphs::Unicode());
    const CellRect r = box.Rect();
    for (int i = 0; i < box.ShownLines(); ++i) {
      std::u32string line;
      for (int x = r.x + 2; x < r.Right() - 2; ++x)
        if (!grid.At(x, r.y + 1 + i).tail) line.push_back(grid.At(x, r.y + 1 + i).ch);
      while (!line.empty() && line.back() == U' ') line.pop_back();
      if (static_cast<int>(lines.size()) == box.FirstLine() + i) lines.push_back(vek::ui::terminal::EncodeUtf8(line));
    }
    if (box.FirstLine() + box.ShownLines() >= box.LineCount()) break;
    box.HandleKey(TermKey::Key(KeyCode::PageDown));
  }
  return lines;
}

// Every text shows whole, in lines of even length (a short Japanese message split
// at its width left "い。" alone on its second line), and one longer than the
// screen holds scrolls.
TEST(TerminalMessageBox, TextShowsWholeInEvenLinesAndScrollsWhenLong) {
  const std::string drivers =
      "必要なプリンタドライバがインストールされていません。今すぐインストールしてください。";
  std::string many;
  for (int i = 1; i <= 40; ++i) many += "Line " + std::to_string(i) + " of a long report.\n";
  many.pop_back();
  for (auto [columns, rows] : {std::pair{80, 23}, {100, 29}, {120, 44}}) {
    SCOPED_TRACE(std::to_string(columns) + " x " + std::to_string(rows));
    MessageBoxView box = Box(MB_OK, drivers, true);
    std::vector<std::string> lines = AllLines(box, columns, rows);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0] + lines[1], drivers);
    int first = vek::ui::terminal::TextWidth(vek::ui::terminal::DecodeUtf8(lines[0]));
    int second = vek::ui::terminal::TextWidth(vek::ui::terminal::DecodeUtf8(lines[1]));
    EXPECT_LE(first - second, 4) << lines[0] << " / " << lines[1];

    MessageBoxView report = Box(MB_OK, many);
    std::vector<std::string> all = AllLines(report, columns, rows);
    ASSERT_EQ(all.size(), 40u);
    EXPECT_EQ(all.back(), "Line 40 of a long report.");
    EXPECT_LE(report.Rect().h, rows);
  }
}

TEST(TerminalMessageBox, JapaneseBoxesHaveJapaneseButtons) {
  MessageBoxView box = Box(MB_YESNO | MB_ICONEXCLAMATION, "\xe7\xb6\x9a\xe8\xa1\x8c\xe3\x81\x97\xe3\x81\xbe\xe3\x81\x99\xe3\x81\x8b?", true);
  box.Place(60, 20);
  CellGrid grid(60, 20);
  box.Paint(grid, Glyphs::Ascii());
  std::string all = grid.Dump();
  EXPECT_NE(all.find("\xe3\x81\xaf\xe3\x81\x84(Y)"), std::string::npos);              // はい(Y)
  EXPECT_NE(all.find("\xe3\x81\x84\xe3\x81\x84\xe3\x81\x88(N)"), std::string::npos);  // いいえ(N)
  EXPECT_NE(all.find("\xe8\xad\xa6\xe5\x91\x8a"), std::string::npos);                  // 警告
  EXPECT_EQ(box.HandleKey(TermKey::Char(U'n')), IDNO);
}

}  // namespace
