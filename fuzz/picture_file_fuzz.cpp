// The picture and cursor file readers, fed with files of any content: they must
// read only what is there, and what they accept must hold together.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "framework/picture_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> bytes(data, size);
  vek::framework::GifInfo gif;
  if (vek::framework::ReadGifInfo(bytes, &gif)) {
    if (gif.width <= 0 || gif.height <= 0 || gif.frames <= 0 || gif.comment.size() > vek::framework::kMaxGifComment)
      std::abort();
    for (char c : gif.comment)
      if (static_cast<unsigned char>(c) < 0x20) std::abort();
  }
  vek::framework::CursorFileInfo cursor;
  if (vek::framework::ReadCursorFileInfo(bytes, &cursor) && cursor.frames <= 0) std::abort();
  return 0;
}
