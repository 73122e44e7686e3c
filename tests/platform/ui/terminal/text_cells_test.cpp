// Text as cells: decoding, widths (Japanese takes two cells), cutting, labels and
// wrapping.
#include <gtest/gtest.h>

#include "ui/terminal/text_cells.h"

namespace {

using namespace vek::ui::terminal;

const char* const kJapanese = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e";  // 日本語

// The lines a text wraps into.
std::vector<std::u32string> lines(std::u32string_view text, int width) {
  std::vector<std::u32string> out;
  for (auto [b, e] : WrapLines(text, width)) out.emplace_back(text.substr(b, e - b));
  return out;
}

TEST(TerminalText, Utf8DecodesAndEncodesBackAndMarksBadBytes) {
  std::string mixed = std::string("A") + kJapanese + "\xf0\x9f\x96\xa8";  // and a printer symbol (4 bytes)
  std::u32string decoded = DecodeUtf8(mixed);
  ASSERT_EQ(decoded.size(), 5u);
  EXPECT_EQ(decoded[1], U'日');
  EXPECT_EQ(decoded[4], U'\U0001F5A8');
  EXPECT_EQ(EncodeUtf8(decoded), mixed);

  EXPECT_EQ(DecodeUtf8("a\xff" "b"), U"a\uFFFDb");       // not a lead byte
  EXPECT_EQ(DecodeUtf8("a\xe6\x97"), U"a\uFFFD\uFFFD");  // cut short
  EXPECT_EQ(DecodeUtf8("\xed\xa0\x80"), U"\uFFFD\uFFFD\uFFFD");  // an encoded surrogate
}

TEST(TerminalText, WidthsCountWideCharactersTwiceAndMarksNothing) {
  EXPECT_EQ(CellWidth(U'a'), 1);
  EXPECT_EQ(CellWidth(U'日'), 2);
  EXPECT_EQ(CellWidth(U'ア'), 2);
  EXPECT_EQ(CellWidth(U'Ａ'), 2);  // full-width Latin
  EXPECT_EQ(CellWidth(U'\u0301'), 0);  // a combining accent
  EXPECT_EQ(CellWidth(U'\x07'), 0);
  EXPECT_EQ(TextWidth(DecodeUtf8(std::string("ab") + kJapanese)), 8);
}

TEST(TerminalText, CuttingNeverSplitsAWideCharacter) {
  std::u32string text = DecodeUtf8(std::string("a") + kJapanese);
  EXPECT_EQ(CutToWidth(text, 2), U"a");
  EXPECT_EQ(CutToWidth(text, 3), U"a日");
  EXPECT_EQ(CutToWidth(text, 0), U"");
  EXPECT_EQ(CutToWidth(text, 40), text);
}

TEST(TerminalText, LabelsTakeOutTheMnemonicMarker) {
  Label next = ParseLabel(U"&Next >");
  EXPECT_EQ(next.text, U"Next >");
  EXPECT_EQ(next.mnemonic, 0);
  EXPECT_EQ(MnemonicKey(next), U'n');

  Label both = ParseLabel(U"Save && E&xit");
  EXPECT_EQ(both.text, U"Save & Exit");
  EXPECT_EQ(both.mnemonic, 8);
  EXPECT_EQ(MnemonicKey(both), U'x');

  Label japanese = ParseLabel(DecodeUtf8("\xe6\xac\xa1\xe3\x81\xb8(&N)"));  // 次へ(&N)
  EXPECT_EQ(japanese.text, DecodeUtf8("\xe6\xac\xa1\xe3\x81\xb8(N)"));
  EXPECT_EQ(MnemonicKey(japanese), U'n');

  EXPECT_EQ(ParseLabel(U"A&B", false).text, U"A&B");
  EXPECT_EQ(MnemonicKey(ParseLabel(U"Plain")), 0u);
}

TEST(TerminalText, WrappingBreaksAtWordsNewlinesAndInsideLongWords) {
  EXPECT_EQ(lines(U"Select a print server from the list.", 16),
            (std::vector<std::u32string>{U"Select a print", U"server from the", U"list."}));
  EXPECT_EQ(lines(U"one\r\ntwo\n\nthree", 10), (std::vector<std::u32string>{U"one", U"two", U"", U"three"}));
  EXPECT_EQ(lines(U"abcdefghij", 4), (std::vector<std::u32string>{U"abcd", U"efgh", U"ij"}));
  // Japanese has no spaces: it breaks by width.
  std::u32string japanese = DecodeUtf8(std::string(kJapanese) + kJapanese);
  EXPECT_EQ(lines(japanese, 5), (std::vector<std::u32string>{U"日本", U"語日", U"本語"}));
  EXPECT_TRUE(WrapLines(U"text", 0).empty());
}

// Help texts padded with runs of spaces (to push a word to the next line at some
// other width): the padding where a line breaks takes no line and leads none.
TEST(TerminalText, SpacesWhereALineBreaksBelongToNeitherLine) {
  const struct {
    std::u32string_view text;
    int width;
    std::vector<std::u32string> expected;
  } cases[] = {
      {U"enter the key    which contains", 13, {U"enter the key", U"which", U"contains"}},
      {U"enter the key    which contains", 14, {U"enter the key", U"which contains"}},
      {U"digits    (depending on      the key)", 12, {U"digits", U"(depending", U"on      the", U"key)"}},
      {U"a                          b", 8, {U"a", U"b"}},            // padding longer than a line
      {U"trailing padding      ", 8, {U"trailing", U"padding"}},   // none after the last word
      {U"  indented start", 10, {U"  indented", U"start"}},       // a paragraph's own indent stays
      {U"two  spaces\n  kept", 20, {U"two  spaces", U"  kept"}},  // within a line, as written
  };
  for (const auto& c : cases) EXPECT_EQ(lines(c.text, c.width), c.expected) << EncodeUtf8(c.text) << " in " << c.width;
}

TEST(TerminalText, JapaneseFillsEachLineAndKeepsPunctuationWithItsNeighbour) {
  // A Latin word among Japanese does not push the rest to a line of its own.
  EXPECT_EQ(lines(U"このウィザードでは、Tarvex ワイヤレスプリントサーバ", 30),
            (std::vector<std::u32string>{U"このウィザードでは、Tarvex ワ", U"イヤレスプリントサーバ"}));
  // A full stop, a comma or a small kana never starts a line: the character
  // before it goes down with it.
  EXPECT_EQ(lines(U"あいう。えお", 6), (std::vector<std::u32string>{U"あい", U"う。え", U"お"}));
  EXPECT_EQ(lines(U"あいうっと", 6), (std::vector<std::u32string>{U"あい", U"うっと"}));
  // An opening bracket never ends one.
  EXPECT_EQ(lines(U"あいう「えお」", 8), (std::vector<std::u32string>{U"あいう", U"「えお」"}));
  // Between Latin letters only a space breaks, also next to Japanese.
  EXPECT_EQ(lines(U"初期値 (mivo) から", 12), (std::vector<std::u32string>{U"初期値", U"(mivo) から"}));
}

TEST(TerminalText, Utf16PositionsMapToCodePointsBothWays) {
  std::u32string text = U"a\U0001F5A8b";  // the symbol takes two UTF-16 units
  EXPECT_EQ(CodePointIndex(text, 0), 0u);
  EXPECT_EQ(CodePointIndex(text, 1), 1u);
  EXPECT_EQ(CodePointIndex(text, 3), 2u);
  EXPECT_EQ(CodePointIndex(text, 4), 3u);
  EXPECT_EQ(Utf16Index(text, 2), 3u);
  EXPECT_EQ(Utf16Index(text, 3), 4u);
}

}  // namespace
