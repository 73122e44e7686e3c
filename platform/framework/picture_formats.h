// The structure of picture and cursor files, read without trusting them: every
// length is checked against the bytes there are, and a file that ends early or
// holds a block of no known kind is refused. Plain functions on bytes, so the fuzz
// build takes them alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vek::framework {

// A GIF picture (87a or 89a): its size, its first comment (what a character-cell
// front end shows in its place; control characters become blanks) and its frames.
struct GifInfo {
  int width = 0;
  int height = 0;
  int frames = 0;
  std::string comment;
};
inline constexpr std::size_t kMaxGifComment = 1024;
bool ReadGifInfo(std::span<const std::uint8_t> data, GifInfo* info);

// A cursor file: a static cursor (.cur) or an animated one (.ani, a RIFF "ACON" with
// its header and one cursor image per frame).
struct CursorFileInfo {
  bool animated = false;
  int frames = 0;
};
bool ReadCursorFileInfo(std::span<const std::uint8_t> data, CursorFileInfo* info);

}  // namespace vek::framework
