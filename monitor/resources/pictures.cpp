// The monitor's pictures, drawn by code: the row icon of a found print server, the
// transport tab icons (working or not) and the About dialog's picture. The image
// lists take 0xFF00FF as transparent.
#include <algorithm>
#include <iterator>

#include "resources/monitor_resources.h"
#include "resources/resource_ids.h"

namespace vek::monitor {
namespace {

using vek::framework::BitmapResource;

constexpr std::uint32_t kClear = 0xFF00FF;
constexpr std::uint32_t kOutline = 0x3A4250;
constexpr std::uint32_t kCase = 0xE6E9EE;
constexpr std::uint32_t kCaseTop = 0xC9CED6;
constexpr std::uint32_t kGreen = 0x3FAE49;
constexpr std::uint32_t kRed = 0xD03A2E;
constexpr std::uint32_t kGrey = 0x9AA0A8;
constexpr std::uint32_t kBlue = 0x2F6DB5;
constexpr std::uint32_t kWhite = 0xFFFFFF;

class Pixels {
 public:
  Pixels(std::uint32_t* pixels, int width, int height) : m_pixels(pixels), m_width(width), m_height(height) {}
  void Fill(int x, int y, int w, int h, std::uint32_t color) {
    for (int row = std::max(y, 0); row < std::min(y + h, m_height); ++row)
      for (int column = std::max(x, 0); column < std::min(x + w, m_width); ++column)
        m_pixels[row * m_width + column] = color;
  }
  void Frame(int x, int y, int w, int h, std::uint32_t color) {
    Fill(x, y, w, 1, color);
    Fill(x, y + h - 1, w, 1, color);
    Fill(x, y, 1, h, color);
    Fill(x + w - 1, y, 1, h, color);
  }
  void Clear() { Fill(0, 0, m_width, m_height, kClear); }

 private:
  std::uint32_t* m_pixels;
  int m_width;
  int m_height;
};

// A print server's box of size s at (x, y): a case, its lamp and the network cable.
void DrawServer(Pixels& p, int x, int y, int s, std::uint32_t lamp) {
  int top = y + s / 4, height = s / 2;
  p.Fill(x + 1, top, s - 2, height, kCase);
  p.Fill(x + 1, top, s - 2, std::max(1, height / 4), kCaseTop);
  p.Frame(x + 1, top, s - 2, height, kOutline);
  p.Fill(x + s - 2 - std::max(2, s / 6), top + height / 2, std::max(2, s / 8), std::max(2, s / 8), lamp);
  p.Fill(x + s / 2, top + height, std::max(1, s / 16), s - (top - y) - height, kBlue);
}

void DrawRowIcons(std::uint32_t* pixels, int width, int height) {
  Pixels p(pixels, width, height);
  p.Clear();
  DrawServer(p, 0, 0, 16, kGrey);   // image 0: a server
  DrawServer(p, 16, 0, 16, kGreen);  // image 1: a print server that answered
}

void DrawTabIcons(std::uint32_t* pixels, int width, int height) {
  Pixels p(pixels, width, height);
  p.Clear();
  // Image 0: the transport works: a green plug.
  p.Fill(4, 5, 8, 7, kGreen);
  p.Frame(4, 5, 8, 7, kOutline);
  p.Fill(6, 2, 1, 3, kOutline);
  p.Fill(9, 2, 1, 3, kOutline);
  p.Fill(7, 12, 2, 3, kOutline);
  // Image 1: it does not: a grey plug, crossed out.
  p.Fill(20, 5, 8, 7, kGrey);
  p.Frame(20, 5, 8, 7, kOutline);
  for (int i = 0; i < 12; ++i) {
    p.Fill(18 + i, 2 + i, 2, 1, kRed);
    p.Fill(29 - i, 2 + i, 2, 1, kRed);
  }
}

void DrawAboutPicture(std::uint32_t* pixels, int width, int height) {
  Pixels p(pixels, width, height);
  p.Fill(0, 0, width, height, kWhite);
  DrawServer(p, 0, 0, std::min(width, height), kGreen);
}

constexpr BitmapResource kPictures[] = {
    {IDB_SERVER_ROW, 32, 16, 24, "Print server", DrawRowIcons},
    {IDB_PROTOCOL_TABS, 32, 16, 24, "Transport", DrawTabIcons},
    {IDB_ABOUT, 32, 32, 24, "VEK", DrawAboutPicture},
};

}  // namespace

std::span<const BitmapResource> MonitorPictures() { return kPictures; }

}  // namespace vek::monitor
