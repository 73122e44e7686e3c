// Message boxes on the terminal: the buttons of each type, the default button, the
// keys that answer, and what the box shows.
#include <gtest/gtest.h>

#include "terminal_test_support.h"
#include "ui/terminal/message_box_view.h"

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
