// What the setup CD is made of: its pictures decode to the pixels they were drawn
// with (through tables that fill and start again), and the uninstall log reads back
// what the setup wrote, taking nothing but paths on the machine's drives.
#include <gtest/gtest.h>

#include <random>

#include "framework/picture_formats.h"
#include "startmenu/cd/gif_writer.h"
#include "startmenu/cd/uninstall_log.h"

namespace {

using vek::cd::Picture;

// A GIF reader for the tests: the pixels of the first image.
std::vector<std::uint8_t> DecodePixels(const std::vector<std::uint8_t>& gif) {
  std::size_t at = 13;
  if (gif[10] & 0x80) at += 3u * (2u << (gif[10] & 7));
  while (gif[at] == 0x21) {  // extensions
    at += 2;
    while (gif[at]) at += gif[at] + 1u;
    ++at;
  }
  at += 10;  // the image descriptor, without a table of its own
  int minimum = gif[at++];
  std::vector<std::uint8_t> data;
  while (gif[at]) {
    data.insert(data.end(), gif.begin() + static_cast<std::ptrdiff_t>(at + 1),
                gif.begin() + static_cast<std::ptrdiff_t>(at + 1 + gif[at]));
    at += gif[at] + 1u;
  }
  const unsigned clear = 1u << minimum, end = clear + 1;
  std::vector<std::vector<std::uint8_t>> table;
  auto reset = [&] {
    table.assign(clear + 2, {});
    for (unsigned i = 0; i < clear; ++i) table[i] = {static_cast<std::uint8_t>(i)};
  };
  reset();
  int width = minimum + 1;
  std::size_t bit = 0;
  std::vector<std::uint8_t> out, previous;
  for (;;) {
    unsigned code = 0;
    for (int i = 0; i < width; ++i, ++bit) code |= ((data.at(bit / 8) >> (bit % 8)) & 1u) << i;
    if (code == clear) {
      reset();
      width = minimum + 1;
      previous.clear();
      continue;
    }
    if (code == end) break;
    std::vector<std::uint8_t> entry;
    if (code < table.size()) entry = table[code];
    else entry = previous, entry.push_back(previous.at(0));  // the code being defined now
    out.insert(out.end(), entry.begin(), entry.end());
    if (!previous.empty() && table.size() < 4096) {
      previous.push_back(entry[0]);
      table.push_back(previous);
      if (table.size() == (1u << width) && width < 12) ++width;
    }
    previous = entry;
  }
  return out;
}

TEST(CdPictures, EncodedPicturesDecodeToTheirPixelsAndCarryTheirTitle) {
  std::mt19937 random(20);
  struct Case {
    const char* what;
    int width, height, colours;
    bool noise;
  };
  const Case cases[] = {
      {"one pixel", 1, 1, 2, false},     {"a button", 131, 31, 15, false},
      {"a help picture", 255, 128, 15, false}, {"noise: the table fills and starts again", 200, 150, 256, true},
      {"two colours of noise", 64, 64, 2, true},
  };
  for (const Case& c : cases) {
    Picture picture{c.width, c.height, std::vector<std::uint32_t>(static_cast<std::size_t>(c.colours)), {}};
    for (int i = 0; i < c.width * c.height; ++i)
      picture.pixels.push_back(static_cast<std::uint8_t>(c.noise ? random() % c.colours : (i / 7) % c.colours));
    std::vector<std::uint8_t> gif = vek::cd::EncodeGif(picture, std::string("Title of ") + c.what);
    vek::framework::GifInfo info;
    ASSERT_TRUE(vek::framework::ReadGifInfo(gif, &info)) << c.what;
    EXPECT_EQ(info.width, c.width) << c.what;
    EXPECT_EQ(info.height, c.height) << c.what;
    EXPECT_EQ(info.comment, std::string("Title of ") + c.what);
    EXPECT_EQ(DecodePixels(gif), picture.pixels) << c.what;
  }
}

TEST(CdUninstallLog, TheLogReadsBackAndTakesOnlyPathsOnADrive) {
  vek::cd::UninstallLog written;
  written.product = "TARVEX VEK Wizard";
  written.files = {R"(C:\Program Files\Tarvex\TARVEX VEK Wizard\TARVEX VEK Wizard.exe)", R"(C:\Program Files\Tarvex\TARVEX VEK Wizard\Version)"};
  written.folders = {R"(C:\Program Files\Tarvex\TARVEX VEK Wizard)", R"(C:\Program Files\Tarvex)"};
  vek::cd::UninstallLog read;
  ASSERT_TRUE(vek::cd::ReadUninstallLog(vek::cd::WriteUninstallLog(written), &read));
  EXPECT_EQ(read.product, written.product);
  EXPECT_EQ(read.files, written.files);
  EXPECT_EQ(read.folders, written.folders);

  std::string hostile = "Product=Other\nFile=/home/user/.profile\nFile=\\\\server\\share\\x\nFile=\nFolder=/\n"
                        "Nonsense\nFile=D:\\ok.txt\nRegistry=HKLM\\x\n";
  ASSERT_TRUE(vek::cd::ReadUninstallLog(hostile, &read));
  EXPECT_EQ(read.files, std::vector<std::string>{"D:\\ok.txt"});
  EXPECT_TRUE(read.folders.empty());
  EXPECT_FALSE(vek::cd::ReadUninstallLog("File=C:\\x\n", &read));  // no product: no log
  EXPECT_FALSE(vek::cd::ReadUninstallLog(std::string("\0\xff\xfe", 3), &read));
}

}  // namespace
