// Writes GIF pictures (89a, one frame, a palette of up to 256 colours, the pixels
// LZW-compressed) with a comment: what a character-cell front end shows of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vek::cd {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  std::vector<std::uint8_t> pixels;    // palette indices, rows top to bottom
};

std::vector<std::uint8_t> EncodeGif(const Picture& picture, const std::string& comment);

}  // namespace vek::cd
