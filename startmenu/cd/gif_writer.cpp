#include "startmenu/cd/gif_writer.h"

#include <unordered_map>

namespace vek::cd {
namespace {

// Codes of varying width, least significant bit first, in sub-blocks of 255 bytes.
class CodeWriter {
 public:
  void Put(unsigned code, int width) {
    m_bits |= static_cast<std::uint64_t>(code) << m_count;
    m_count += width;
    while (m_count >= 8) {
      m_bytes.push_back(static_cast<std::uint8_t>(m_bits & 0xFF));
      m_bits >>= 8;
      m_count -= 8;
    }
  }
  std::vector<std::uint8_t> Finish() {
    if (m_count > 0) m_bytes.push_back(static_cast<std::uint8_t>(m_bits & 0xFF));
    return m_bytes;
  }

 private:
  std::uint64_t m_bits = 0;
  int m_count = 0;
  std::vector<std::uint8_t> m_bytes;
};

std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& pixels, int minimumCodeSize) {
  const unsigned clear = 1u << minimumCodeSize, end = clear + 1;
  CodeWriter out;
  std::unordered_map<std::uint32_t, unsigned> table;  // (prefix code << 8 | byte) -> code
  unsigned next = end + 1;
  int width = minimumCodeSize + 1;
  out.Put(clear, width);
  if (pixels.empty()) {
    out.Put(end, width);
    return out.Finish();
  }
  unsigned prefix = pixels[0];
  for (std::size_t i = 1; i < pixels.size(); ++i) {
    std::uint32_t key = (prefix << 8) | pixels[i];
    auto found = table.find(key);
    if (found != table.end()) {
      prefix = found->second;
      continue;
    }
    out.Put(prefix, width);
    if (next < 4096) {
      table.emplace(key, next++);
      // The reader widens its codes one entry later than this side adds them.
      if (next > (1u << width) && width < 12) ++width;
    } else {
      out.Put(clear, width);
      table.clear();
      next = end + 1;
      width = minimumCodeSize + 1;
    }
    prefix = pixels[i];
  }
  out.Put(prefix, width);
  out.Put(end, width);
  return out.Finish();
}

void Word(std::vector<std::uint8_t>& out, int value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void SubBlocks(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& data) {
  for (std::size_t at = 0; at < data.size(); at += 255) {
    std::size_t size = std::min<std::size_t>(255, data.size() - at);
    out.push_back(static_cast<std::uint8_t>(size));
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
               data.begin() + static_cast<std::ptrdiff_t>(at + size));
  }
  out.push_back(0);
}

}  // namespace

std::vector<std::uint8_t> EncodeGif(const Picture& picture, const std::string& comment) {
  int bits = 1;
  while ((1u << bits) < picture.palette.size() && bits < 8) ++bits;
  std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  Word(out, picture.width);
  Word(out, picture.height);
  out.push_back(static_cast<std::uint8_t>(0x80 | ((bits - 1) << 4) | (bits - 1)));  // a global table of 2^bits
  out.push_back(0);
  out.push_back(0);
  for (unsigned i = 0; i < (1u << bits); ++i) {
    std::uint32_t colour = i < picture.palette.size() ? picture.palette[i] : 0;
    out.push_back(static_cast<std::uint8_t>(colour >> 16));
    out.push_back(static_cast<std::uint8_t>(colour >> 8));
    out.push_back(static_cast<std::uint8_t>(colour));
  }
  if (!comment.empty()) {
    out.push_back(0x21);
    out.push_back(0xFE);
    SubBlocks(out, std::vector<std::uint8_t>(comment.begin(), comment.end()));
  }
  out.push_back(0x2C);
  Word(out, 0);
  Word(out, 0);
  Word(out, picture.width);
  Word(out, picture.height);
  out.push_back(0);
  int minimumCodeSize = bits < 2 ? 2 : bits;
  out.push_back(static_cast<std::uint8_t>(minimumCodeSize));
  SubBlocks(out, Compress(picture.pixels, minimumCodeSize));
  out.push_back(0x3B);
  return out;
}

}  // namespace vek::cd
