// Pictures and cursors read from files: sound files load with their size and
// title, and every truncation or false length of a hostile file is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/cursor.h"
#include "framework/dialog_template.h"
#include "framework/picture_file.h"
#include "framework/picture_formats.h"
#include "kernel/kernel.h"
#include "support/temp_root.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using vek::framework::CursorFileInfo;
using vek::framework::GifInfo;

void Append(Bytes& out, std::initializer_list<int> bytes) {
  for (int b : bytes) out.push_back(static_cast<std::uint8_t>(b));
}
void AppendText(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }
void AppendWord(Bytes& out, unsigned value) { Append(out, {static_cast<int>(value & 0xFF), static_cast<int>(value >> 8)}); }
void AppendDword(Bytes& out, unsigned value) {
  AppendWord(out, value & 0xFFFF);
  AppendWord(out, value >> 16);
}

// A GIF of the given size with a global colour table, an optional comment (split
// into sub-blocks of at most 255 bytes) and `frames` one-pixel images.
Bytes Gif(int width, int height, const std::string& comment, int frames = 1) {
  Bytes out;
  AppendText(out, "GIF89a");
  AppendWord(out, width);
  AppendWord(out, height);
  Append(out, {0x80, 0, 0});                     // a table of 2 colours
  Append(out, {0, 0, 0, 255, 255, 255});
  Append(out, {0x21, 0xF9, 4, 0, 0, 0, 0, 0});  // graphic control
  if (!comment.empty()) {
    Append(out, {0x21, 0xFE});
    for (std::size_t at = 0; at < comment.size(); at += 255) {
      std::string piece = comment.substr(at, 255);
      out.push_back(static_cast<std::uint8_t>(piece.size()));
      AppendText(out, piece);
    }
    out.push_back(0);
  }
  for (int i = 0; i < frames; ++i) {
    Append(out, {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0});
    Append(out, {2, 2, 0x44, 0x01, 0});  // code size 2, one sub-block
  }
  out.push_back(0x3B);
  return out;
}

Bytes IconImage(int type) {
  Bytes out;
  Append(out, {0, 0});
  AppendWord(out, type);
  AppendWord(out, 1);
  Append(out, {32, 32, 2, 0});
  AppendWord(out, 5);   // hot spot
  AppendWord(out, 5);
  AppendDword(out, 8);  // image bytes
  AppendDword(out, 22);
  Append(out, {40, 0, 0, 0, 32, 0, 0, 0});
  return out;
}

Bytes Chunk(const char* id, const Bytes& body) {
  Bytes out;
  AppendText(out, id);
  AppendDword(out, static_cast<unsigned>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() % 2) out.push_back(0);
  return out;
}

Bytes Animated(int frames) {
  Bytes header;
  for (unsigned value : {36u, static_cast<unsigned>(frames), static_cast<unsigned>(frames), 0u, 0u, 0u, 0u, 10u, 1u})
    AppendDword(header, value);
  Bytes list;
  AppendText(list, "fram");
  for (int i = 0; i < frames; ++i) {
    Bytes icon = Chunk("icon", IconImage(2));
    list.insert(list.end(), icon.begin(), icon.end());
  }
  Bytes form;
  AppendText(form, "ACON");
  Bytes anih = Chunk("anih", header), fram = Chunk("LIST", list);
  form.insert(form.end(), anih.begin(), anih.end());
  form.insert(form.end(), fram.begin(), fram.end());
  Bytes out;
  AppendText(out, "RIFF");
  AppendDword(out, static_cast<unsigned>(form.size()));
  out.insert(out.end(), form.begin(), form.end());
  return out;
}

TEST(PictureFormats, SoundGifsGiveSizeTitleAndFrames) {
  GifInfo info;
  ASSERT_TRUE(vek::framework::ReadGifInfo(Gif(131, 31, "Documentation"), &info));
  EXPECT_EQ(info.width, 131);
  EXPECT_EQ(info.height, 31);
  EXPECT_EQ(info.frames, 1);
  EXPECT_EQ(info.comment, "Documentation");

  std::string longText(700, 'x');
  longText[10] = '\n';
  ASSERT_TRUE(vek::framework::ReadGifInfo(Gif(10, 10, longText, 3), &info));
  EXPECT_EQ(info.comment.size(), 700u);
  EXPECT_EQ(info.comment[10], ' ');  // control characters become blanks
  EXPECT_EQ(info.frames, 3);
  ASSERT_TRUE(vek::framework::ReadGifInfo(Gif(1, 1, ""), &info));
  EXPECT_EQ(info.comment, "");
}

TEST(PictureFormats, HostileGifsAreRefused) {
  Bytes good = Gif(20, 20, "Exit");
  GifInfo info;
  for (std::size_t size = 0; size < good.size(); ++size)
    EXPECT_FALSE(vek::framework::ReadGifInfo(std::span(good.data(), size), &info)) << "cut at " << size;
  auto broken = [&](std::size_t at, int value) {
    Bytes bad = good;
    bad[at] = static_cast<std::uint8_t>(value);
    return !vek::framework::ReadGifInfo(bad, &info);
  };
  EXPECT_TRUE(broken(4, '8'));   // "GIF88a"
  EXPECT_TRUE(broken(6, 0));     // width 0 (with the high byte 0)
  EXPECT_TRUE(broken(10, 0x87)); // a colour table of 256 entries that is not there
  std::size_t image = good.size() - 16;  // the image block, before the trailer
  EXPECT_TRUE(broken(image, 0x2B));       // a block of no known kind
  EXPECT_TRUE(broken(image + 10, 12));    // code size out of range
  EXPECT_TRUE(broken(image + 11, 200));   // a sub-block longer than the file
  EXPECT_TRUE(broken(good.size() - 1, 0x00));  // no trailer
  Bytes noImage = Gif(5, 5, "none", 0);
  EXPECT_FALSE(vek::framework::ReadGifInfo(noImage, &info));
}

TEST(PictureFormats, CursorFilesStaticAndAnimated) {
  CursorFileInfo info;
  ASSERT_TRUE(vek::framework::ReadCursorFileInfo(IconImage(2), &info));
  EXPECT_FALSE(info.animated);
  ASSERT_TRUE(vek::framework::ReadCursorFileInfo(Animated(4), &info));
  EXPECT_TRUE(info.animated);
  EXPECT_EQ(info.frames, 4);

  EXPECT_FALSE(vek::framework::ReadCursorFileInfo(IconImage(1), &info));  // an icon, not a cursor
  EXPECT_FALSE(vek::framework::ReadCursorFileInfo(Animated(0), &info));   // no frames
  Bytes good = Animated(2);
  for (std::size_t size = 0; size < good.size(); ++size)
    EXPECT_FALSE(vek::framework::ReadCursorFileInfo(std::span(good.data(), size), &info)) << "cut at " << size;
  Bytes oversize = good;
  oversize[4] = 0xFF;  // the RIFF claims more than there is
  EXPECT_FALSE(vek::framework::ReadCursorFileInfo(oversize, &info));
  Bytes farImage = IconImage(2);
  farImage[18] = 0xF0;  // the image lies past the end
  EXPECT_FALSE(vek::framework::ReadCursorFileInfo(farImage, &info));
}

void Write(const std::string& path, const Bytes& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(PictureFiles, LoadedPicturesPaintTheirTitleAndCursorsLoadFromTheCd) {
  vek::test::TempRoot root;
  const std::string cd = root.path() + "/drives/d";
  Write(cd + "/images/eng/exit.gif", Gif(131, 31, "Exit"));
  Write(cd + "/images/eng/broken.gif", Bytes{'G', 'I', 'F'});
  Write(cd + "/images/hourglas.ani", Animated(3));
  Write(cd + "/images/plain.cur", IconImage(2));

  HBITMAP exit = LoadPicture(R"(D:\Images\Eng\EXIT.gif)");
  ASSERT_NE(exit, nullptr);
  UINT id = vek::framework::BitmapResourceId(exit);
  const vek::framework::BitmapResource* resource = vek::framework::FindBitmap(id);
  ASSERT_NE(resource, nullptr);
  EXPECT_STREQ(resource->title, "Exit");
  EXPECT_EQ(resource->width, 131);
  HBITMAP again = LoadPicture(R"(D:\images\eng\exit.gif)");
  EXPECT_EQ(vek::framework::BitmapResourceId(again), id);  // the same picture, one resource
  DeleteObject(exit);
  DeleteObject(again);

  EXPECT_EQ(LoadPicture(R"(D:\images\eng\missing.gif)"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(LoadPicture(R"(D:\images\eng\broken.gif)"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);

  HCURSOR busy = LoadCursorFromFileA(R"(D:\images\hourglas.ani)");
  ASSERT_NE(busy, nullptr);
  EXPECT_EQ(vek::framework::CursorId(busy), 2u);  // animated
  EXPECT_TRUE(vek::framework::IsBusyCursor(busy));
  HCURSOR plain = LoadCursorFromFileA(R"(D:\images\plain.cur)");
  EXPECT_EQ(vek::framework::CursorId(plain), 1u);
  EXPECT_FALSE(vek::framework::IsBusyCursor(plain));
  EXPECT_EQ(LoadCursorFromFileA(R"(D:\images\missing.ani)"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(LoadCursorFromFileA(R"(D:\images\eng\exit.gif)"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
}

}  // namespace
