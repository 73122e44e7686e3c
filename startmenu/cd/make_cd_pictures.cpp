// Writes the pictures of the setup CD into a folder: the menu's button pictures
// and help pictures (images\eng\*.gif) and the busy cursor (images\hourglas.ani).
//
//   make_cd_pictures FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "startmenu/cd/gif_writer.h"

namespace {

using vek::cd::Picture;

// A face shaded from one colour to another, top to bottom, inside a one-pixel frame.
Picture Face(int width, int height, std::uint32_t top, std::uint32_t bottom, std::uint32_t frame) {
  constexpr int kShades = 14;
  Picture picture{width, height, {}, {}};
  picture.palette.push_back(frame);
  for (int i = 0; i < kShades; ++i) {
    auto mix = [&](int shift) {
      int a = static_cast<int>((top >> shift) & 0xFF), b = static_cast<int>((bottom >> shift) & 0xFF);
      return static_cast<std::uint32_t>(a + (b - a) * i / (kShades - 1)) << shift;
    };
    picture.palette.push_back(mix(16) | mix(8) | mix(0));
  }
  picture.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
      picture.pixels[static_cast<std::size_t>(y * width + x)] =
          static_cast<std::uint8_t>(edge ? 0 : 1 + y * (kShades - 1) / (height > 1 ? height - 1 : 1));
    }
  return picture;
}

struct Entry {
  const char* file;
  const char* title;
  int width, height;
  std::uint32_t top, bottom, frame;
};

// The button pictures are the size of a button box (1965 x 465 twips at 96 dpi); a
// pressed button is shaded the other way.
constexpr Entry kPictures[] = {
    {"documentation.gif", "Documentation", 131, 31, 0xF4F6F8, 0xC9D2DC, 0x3A4250},
    {"documentationdown.gif", "Documentation", 131, 31, 0xB4BECA, 0xE8ECF0, 0x1B2430},
    {"documentationhelp.gif", "Read the print server's manual", 255, 128, 0xFFF8D8, 0xF4E7B0, 0x8A7A3A},
    {"setupwizarddown.gif", "Setup Wizard", 131, 31, 0xB4BECA, 0xE8ECF0, 0x1B2430},
    {"setupwizardhelp.gif", "Install and set up your print server", 255, 128, 0xFFF8D8, 0xF4E7B0, 0x8A7A3A},
    {"exit.gif", "Exit", 131, 31, 0xF4F6F8, 0xC9D2DC, 0x3A4250},
    {"exitdown.gif", "Exit", 131, 31, 0xB4BECA, 0xE8ECF0, 0x1B2430},
};

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(std::vector<std::uint8_t>& out, unsigned value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// One 32 x 32 monochrome cursor: an hourglass whose sand has run down `step` of 4.
std::vector<std::uint8_t> HourglassCursor(int step) {
  constexpr int kSize = 32;
  std::vector<std::uint8_t> image;
  for (unsigned value : {40u, 32u, 64u}) Put32(image, value);  // header size, width, height of both masks
  Put16(image, 1);
  Put16(image, 1);
  for (unsigned value : {0u, 256u, 0u, 0u, 2u, 2u}) Put32(image, value);
  for (unsigned colour : {0x000000u, 0xFFFFFFu}) Put32(image, colour);
  std::vector<std::uint8_t> xorMask, andMask;
  for (int row = kSize - 1; row >= 0; --row) {  // bottom row first
    std::uint32_t shape = 0, white = 0;
    int half = row < 16 ? 15 - row : row - 16;  // distance from the waist
    int reach = 2 + half * 11 / 15;
    for (int x = 16 - reach; x < 16 + reach; ++x) shape |= 1u << (31 - x);
    bool top = row < 16;
    bool sand = top ? row >= 4 + step * 3 : row >= 28 - step * 3;
    if (row > 1 && row < 30 && !sand)
      for (int x = 17 - reach; x < 15 + reach; ++x) white |= 1u << (31 - x);
    for (int byte = 3; byte >= 0; --byte) {
      xorMask.push_back(static_cast<std::uint8_t>(white >> (byte * 8)));
      andMask.push_back(static_cast<std::uint8_t>(~shape >> (byte * 8)));
    }
  }
  image.insert(image.end(), xorMask.begin(), xorMask.end());
  image.insert(image.end(), andMask.begin(), andMask.end());
  std::vector<std::uint8_t> file;
  Put16(file, 0);
  Put16(file, 2);
  Put16(file, 1);
  file.insert(file.end(), {kSize, kSize, 2, 0});
  Put16(file, 16);
  Put16(file, 16);
  Put32(file, static_cast<unsigned>(image.size()));
  Put32(file, 22);
  file.insert(file.end(), image.begin(), image.end());
  return file;
}

void Chunk(std::vector<std::uint8_t>& out, const char* id, const std::vector<std::uint8_t>& body) {
  out.insert(out.end(), id, id + 4);
  Put32(out, static_cast<unsigned>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() % 2) out.push_back(0);
}

std::vector<std::uint8_t> Hourglass() {
  constexpr unsigned kFrames = 4;
  std::vector<std::uint8_t> header;
  for (unsigned value : {36u, kFrames, kFrames, 32u, 32u, 1u, 1u, 15u, 1u}) Put32(header, value);
  std::vector<std::uint8_t> frames = {'f', 'r', 'a', 'm'};
  for (unsigned step = 0; step < kFrames; ++step) Chunk(frames, "icon", HourglassCursor(static_cast<int>(step)));
  std::vector<std::uint8_t> form = {'A', 'C', 'O', 'N'};
  Chunk(form, "anih", header);
  Chunk(form, "LIST", frames);
  std::vector<std::uint8_t> file = {'R', 'I', 'F', 'F'};
  Put32(file, static_cast<unsigned>(form.size()));
  file.insert(file.end(), form.begin(), form.end());
  return file;
}

bool Write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_cd_pictures FOLDER\n");
    return 2;
  }
  std::filesystem::path images = std::filesystem::path(argv[1]) / "images";
  std::error_code error;
  std::filesystem::create_directories(images / "eng", error);
  bool ok = !error;
  for (const Entry& entry : kPictures) {
    Picture picture = Face(entry.width, entry.height, entry.top, entry.bottom, entry.frame);
    ok = ok && Write(images / "eng" / entry.file, vek::cd::EncodeGif(picture, entry.title));
  }
  ok = ok && Write(images / "hourglas.ani", Hourglass());
  if (!ok) std::fprintf(stderr, "make_cd_pictures: cannot write into %s\n", images.string().c_str());
  return ok ? 0 : 1;
}
