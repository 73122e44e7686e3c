// Text as terminal cells: UTF-8 decoding, how many cells a character takes (East
// Asian wide characters take two), cutting to a width, word wrapping, and the '&'
// that marks a control's mnemonic letter.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vek::ui::terminal {

// Invalid bytes become U+FFFD, so a bad text still shows.
std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view text);

// 0 for characters that take no cell (combining marks, controls), 2 for wide ones.
int CellWidth(char32_t c);
int TextWidth(std::u32string_view text);
// The longest head of the text that fits in `columns` cells.
std::u32string CutToWidth(std::u32string_view text, int columns);

// A label with its '&' markers taken out: "&&" is a literal '&', "&N" underlines N.
struct Label {
  std::u32string text;
  int mnemonic = -1;  // index into text, -1 when none
};
Label ParseLabel(std::u32string_view text, bool prefix = true);
// The mnemonic letter folded to lower case; 0 when none.
char32_t MnemonicKey(const Label& label);
char32_t FoldCase(char32_t c);

// Lines of at most `columns` cells as [begin, end) ranges into the text: breaks at
// '\n' (a preceding '\r' is dropped), between words where it can, else inside a word.
// The spaces where a line breaks belong to neither line.
std::vector<std::pair<std::size_t, std::size_t>> WrapLines(std::u32string_view text, int columns);

// Positions in a text's UTF-16 form (which edit controls count in) and in its code points.
std::size_t CodePointIndex(std::u32string_view text, std::size_t utf16Index);
std::size_t Utf16Index(std::u32string_view text, std::size_t codePointIndex);

}  // namespace vek::ui::terminal
