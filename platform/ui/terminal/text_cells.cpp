#include "ui/terminal/text_cells.h"

#include <wchar.h>

namespace vek::ui::terminal {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct Range {
  char32_t first, last;
};

// East Asian wide and full-width blocks, for when the C library's tables do not
// know the character (a locale without UTF-8).
constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};
constexpr Range kZeroWidth[] = {{0x0300, 0x036F}, {0x200B, 0x200F}, {0xFE00, 0xFE0F}, {0x3099, 0x309A}};

bool In(const Range* begin, const Range* end, char32_t c) {
  for (const Range* r = begin; r != end; ++r)
    if (c >= r->first && c <= r->last) return true;
  return false;
}

bool IsSpace(char32_t c) { return c == U' ' || c == U'\t' || c == 0x3000; }

// Japanese and Chinese text has no spaces between words: a line may break between
// any two characters where one of them is wide, except before closing punctuation
// and small kana, and after opening brackets, which stay with their neighbour.
constexpr char32_t kNoLineStart[] = U"、。，．・：；？！ー）」"
                                    U"』】〕〉》｝］ゝゞヽヾ々"
                                    U"〜ぁぃぅぇぉっゃゅょゎァ"
                                    U"ィゥェォッャュョヮヵヶ)]}.,:;!?";
constexpr char32_t kNoLineEnd[] = U"（「『【〔〈《｛［([{";

bool OneOf(std::u32string_view set, char32_t c) { return set.find(c) != std::u32string_view::npos; }

bool BreaksBetween(char32_t before, char32_t after) {
  if (CellWidth(before) != 2 && CellWidth(after) != 2) return false;
  return !OneOf(kNoLineStart, after) && !OneOf(kNoLineEnd, before);
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    auto byte = static_cast<unsigned char>(text[i]);
    std::size_t extra = byte < 0x80 ? 0 : (byte & 0xE0) == 0xC0 ? 1 : (byte & 0xF0) == 0xE0 ? 2 : (byte & 0xF8) == 0xF0 ? 3 : 4;
    bool valid = extra < 4 && i + extra < text.size();
    char32_t c = valid ? (extra == 0 ? byte : byte & (0x3Fu >> extra)) : 0;
    for (std::size_t k = 1; valid && k <= extra; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    if (!valid || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    out.push_back(c);
    i += extra + 1;
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (c > 0x10FFFF) c = kReplacement;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

int CellWidth(char32_t c) {
  if (c == U'\t') return 1;  // shown as a space
  if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return 0;
  if (c < 0x7F) return 1;
  int width = ::wcwidth(static_cast<wchar_t>(c));
  if (width >= 0) return width;
  if (In(std::begin(kZeroWidth), std::end(kZeroWidth), c)) return 0;
  return In(std::begin(kWide), std::end(kWide), c) ? 2 : 1;
}

int TextWidth(std::u32string_view text) {
  int width = 0;
  for (char32_t c : text) width += CellWidth(c);
  return width;
}

std::u32string CutToWidth(std::u32string_view text, int columns) {
  int used = 0;
  std::size_t n = 0;
  for (; n < text.size(); ++n) {
    int w = CellWidth(text[n]);
    if (used + w > columns) break;
    used += w;
  }
  return std::u32string(text.substr(0, n));
}

Label ParseLabel(std::u32string_view text, bool prefix) {
  Label label;
  if (!prefix) {
    label.text = text;
    return label;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == U'&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != U'&' && label.mnemonic < 0) label.mnemonic = static_cast<int>(label.text.size());
    }
    label.text.push_back(text[i]);
  }
  return label;
}

char32_t FoldCase(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c - U'A' + U'a';
  if (c >= 0xFF21 && c <= 0xFF3A) return c - 0xFF21 + U'a';  // full-width Latin
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0xFF41 + U'a';
  return c;
}

char32_t MnemonicKey(const Label& label) {
  if (label.mnemonic < 0) return 0;
  return FoldCase(label.text[static_cast<std::size_t>(label.mnemonic)]);
}

std::vector<std::pair<std::size_t, std::size_t>> WrapLines(std::u32string_view text, int columns) {
  std::vector<std::pair<std::size_t, std::size_t>> lines;
  if (columns <= 0) return lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t paragraphEnd = text.find(U'\n', start);
    if (paragraphEnd == std::u32string_view::npos) paragraphEnd = text.size();
    std::size_t end = paragraphEnd;
    if (end > start && text[end - 1] == U'\r') --end;
    // Breaks the paragraph [start, end) into lines, each as full as its last
    // break opportunity allows.
    std::size_t lineStart = start;
    do {
      int used = 0;
      std::size_t i = lineStart;
      std::size_t breakEnd = std::u32string_view::npos, breakNext = 0;
      while (i < end) {
        int w = CellWidth(text[i]);
        if (used + w > columns) break;
        if (i > lineStart && IsSpace(text[i])) {
          breakEnd = i;
          breakNext = i + 1;
        } else if (i > lineStart && BreaksBetween(text[i - 1], text[i])) {
          breakEnd = i;
          breakNext = i;
        }
        used += w;
        ++i;
      }
      if (i >= end) {
        lines.emplace_back(lineStart, end);
        break;
      }
      std::size_t lineEnd = i, next = i;
      if (IsSpace(text[i])) {
        next = i + 1;
      } else if (i > lineStart && BreaksBetween(text[i - 1], text[i])) {
        // The character that does not fit may start the next line.
      } else if (breakEnd != std::u32string_view::npos) {
        lineEnd = breakEnd;
        next = breakNext;
      } else if (i == lineStart) {
        next = lineEnd = i + 1;  // a character wider than the line still moves on
      }
      // Spaces where a line breaks (padding, often many) neither end this line
      // nor start the next.
      while (lineEnd > lineStart && IsSpace(text[lineEnd - 1])) --lineEnd;
      while (next < end && IsSpace(text[next])) ++next;
      lines.emplace_back(lineStart, lineEnd);
      lineStart = next;
    } while (lineStart < end);
    if (paragraphEnd >= text.size()) break;
    start = paragraphEnd + 1;
  }
  return lines;
}

std::size_t CodePointIndex(std::u32string_view text, std::size_t utf16Index) {
  std::size_t units = 0, i = 0;
  for (; i < text.size() && units < utf16Index; ++i) units += text[i] > 0xFFFF ? 2 : 1;
  return i;
}

std::size_t Utf16Index(std::u32string_view text, std::size_t codePointIndex) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size() && i < codePointIndex; ++i) units += text[i] > 0xFFFF ? 2 : 1;
  return units;
}

}  // namespace vek::ui::terminal
