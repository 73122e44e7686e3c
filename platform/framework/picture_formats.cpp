#include "framework/picture_formats.h"

namespace vek::framework {
namespace {

// A cursor over the bytes that fails, and stays failed, on reading past the end.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> data) : m_data(data) {}
  bool ok() const { return m_ok; }
  bool AtEnd() const { return m_at >= m_data.size(); }
  std::size_t Left() const { return m_ok ? m_data.size() - m_at : 0; }

  std::uint8_t Byte() {
    if (!Need(1)) return 0;
    return m_data[m_at++];
  }
  std::uint16_t Word() {
    if (!Need(2)) return 0;
    std::uint16_t value = static_cast<std::uint16_t>(m_data[m_at] | (m_data[m_at + 1] << 8));
    m_at += 2;
    return value;
  }
  std::uint32_t Dword() {
    std::uint32_t low = Word();
    std::uint32_t high = Word();
    return low | (high << 16);
  }
  std::span<const std::uint8_t> Bytes(std::size_t count) {
    if (!Need(count)) return {};
    std::span<const std::uint8_t> bytes = m_data.subspan(m_at, count);
    m_at += count;
    return bytes;
  }
  void Skip(std::size_t count) { Bytes(count); }

 private:
  bool Need(std::size_t count) {
    if (!m_ok || m_data.size() - m_at < count) m_ok = false;
    return m_ok;
  }
  std::span<const std::uint8_t> m_data;
  std::size_t m_at = 0;
  bool m_ok = true;
};

// Data sub-blocks up to the empty one; their bytes go to `out` when given.
bool SubBlocks(Reader& in, std::string* out) {
  for (;;) {
    std::uint8_t size = in.Byte();
    if (!in.ok()) return false;
    if (size == 0) return true;
    std::span<const std::uint8_t> bytes = in.Bytes(size);
    if (!in.ok()) return false;
    if (out) {
      for (std::uint8_t b : bytes)
        if (out->size() < kMaxGifComment) out->push_back(b < 0x20 || b == 0x7F ? ' ' : static_cast<char>(b));
    }
  }
}

std::size_t ColourTableBytes(std::uint8_t packed) { return (packed & 0x80) ? 3u * (2u << (packed & 0x07)) : 0; }

bool IsIconImage(std::span<const std::uint8_t> image) {
  Reader in(image);
  std::uint16_t reserved = in.Word(), type = in.Word(), count = in.Word();
  if (!in.ok() || reserved != 0 || (type != 1 && type != 2) || count == 0) return false;
  for (std::uint16_t i = 0; i < count; ++i) {
    in.Skip(8);
    std::uint32_t size = in.Dword(), offset = in.Dword();
    if (!in.ok() || size == 0 || offset < 6u + 16u * count || offset > image.size() || size > image.size() - offset)
      return false;
  }
  return true;
}

bool Tag(std::span<const std::uint8_t> bytes, const char* tag) {
  return bytes.size() == 4 && bytes[0] == tag[0] && bytes[1] == tag[1] && bytes[2] == tag[2] && bytes[3] == tag[3];
}

// The icon chunks of a "fram" list; -1 when one is not a cursor image.
int CountFrames(std::span<const std::uint8_t> list) {
  Reader in(list);
  int frames = 0;
  while (!in.AtEnd()) {
    std::span<const std::uint8_t> id = in.Bytes(4);
    std::uint32_t size = in.Dword();
    if (!in.ok() || size > in.Left()) return -1;
    std::span<const std::uint8_t> body = in.Bytes(size);
    if (size % 2 && !in.AtEnd()) in.Skip(1);
    if (!in.ok()) return -1;
    if (Tag(id, "icon")) {
      if (!IsIconImage(body)) return -1;
      ++frames;
    }
  }
  return frames;
}

bool ReadAnimated(std::span<const std::uint8_t> data, CursorFileInfo* info) {
  Reader in(data);
  in.Skip(4);  // "RIFF"
  std::uint32_t riffSize = in.Dword();
  if (!in.ok() || riffSize < 4 || riffSize > in.Left()) return false;
  Reader form(in.Bytes(riffSize));
  if (!Tag(form.Bytes(4), "ACON")) return false;
  bool header = false;
  std::uint32_t steps = 0;
  int frames = 0;
  while (!form.AtEnd()) {
    std::span<const std::uint8_t> id = form.Bytes(4);
    std::uint32_t size = form.Dword();
    if (!form.ok() || size > form.Left()) return false;
    std::span<const std::uint8_t> body = form.Bytes(size);
    if (size % 2 && !form.AtEnd()) form.Skip(1);
    if (!form.ok()) return false;
    if (Tag(id, "anih")) {
      Reader h(body);
      std::uint32_t headerSize = h.Dword(), count = h.Dword();
      steps = h.Dword();
      if (!h.ok() || size != 36 || headerSize != 36 || count == 0 || steps == 0) return false;
      header = true;
    } else if (Tag(id, "LIST") && size >= 4) {
      Reader list(body);
      if (!Tag(list.Bytes(4), "fram")) continue;
      int found = CountFrames(body.subspan(4));
      if (found < 0) return false;
      frames += found;
    }
  }
  if (!header || frames == 0) return false;
  info->animated = true;
  info->frames = frames;
  return true;
}

}  // namespace

bool ReadGifInfo(std::span<const std::uint8_t> data, GifInfo* info) {
  Reader in(data);
  std::span<const std::uint8_t> signature = in.Bytes(6);
  if (!in.ok() || signature[0] != 'G' || signature[1] != 'I' || signature[2] != 'F' || signature[3] != '8' ||
      (signature[4] != '7' && signature[4] != '9') || signature[5] != 'a')
    return false;
  GifInfo result;
  result.width = in.Word();
  result.height = in.Word();
  std::uint8_t packed = in.Byte();
  in.Skip(2);  // background colour, aspect ratio
  in.Skip(ColourTableBytes(packed));
  if (!in.ok() || result.width == 0 || result.height == 0) return false;
  bool haveComment = false;
  for (;;) {
    std::uint8_t block = in.Byte();
    if (!in.ok()) return false;
    if (block == 0x3B) break;  // the trailer
    if (block == 0x21) {
      std::uint8_t label = in.Byte();
      bool comment = label == 0xFE && !haveComment;
      if (!SubBlocks(in, comment ? &result.comment : nullptr)) return false;
      haveComment |= comment;
    } else if (block == 0x2C) {
      in.Skip(8);  // position and size within the picture
      std::uint8_t imagePacked = in.Byte();
      in.Skip(ColourTableBytes(imagePacked));
      std::uint8_t codeSize = in.Byte();
      if (!in.ok() || codeSize < 2 || codeSize > 8) return false;
      if (!SubBlocks(in, nullptr)) return false;
      ++result.frames;
    } else {
      return false;
    }
  }
  if (result.frames == 0) return false;
  *info = std::move(result);
  return true;
}

bool ReadCursorFileInfo(std::span<const std::uint8_t> data, CursorFileInfo* info) {
  if (data.size() >= 4 && Tag(data.subspan(0, 4), "RIFF")) return ReadAnimated(data, info);
  Reader in(data);
  in.Skip(2);
  std::uint16_t type = in.Word();
  if (!in.ok() || type != 2 || !IsIconImage(data)) return false;
  info->animated = false;
  info->frames = 1;
  return true;
}

}  // namespace vek::framework
