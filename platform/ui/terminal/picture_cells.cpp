#include "ui/terminal/picture_cells.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>

#include "framework/dialog_template.h"

namespace vek::ui::terminal {
namespace {

// Screens ask for the same few pictures at the same few sizes again and again.
constexpr std::size_t kKeptSamples = 64;

struct Cache {
  std::mutex lock;
  std::map<UINT, std::shared_ptr<const std::vector<std::uint32_t>>> bitmaps;
  std::map<std::tuple<UINT, int, int>, std::shared_ptr<const PictureCells>> samples;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

std::shared_ptr<const std::vector<std::uint32_t>> Pixels(Cache& cache, const framework::BitmapResource& bitmap) {
  auto found = cache.bitmaps.find(bitmap.id);
  if (found != cache.bitmaps.end()) return found->second;
  auto pixels = std::make_shared<std::vector<std::uint32_t>>(static_cast<std::size_t>(bitmap.width * bitmap.height));
  bitmap.draw(pixels->data(), bitmap.width, bitmap.height);
  cache.bitmaps[bitmap.id] = pixels;
  return pixels;
}

// The mean colour of the source pixels [x0, x1) x [y0, y1).
std::uint32_t Mean(const std::vector<std::uint32_t>& source, int width, int x0, int x1, int y0, int y1) {
  std::uint64_t r = 0, g = 0, b = 0, n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      std::uint32_t p = source[static_cast<std::size_t>(y * width + x)];
      r += (p >> 16) & 0xFF;
      g += (p >> 8) & 0xFF;
      b += p & 0xFF;
      ++n;
    }
  if (n == 0) return 0;
  return static_cast<std::uint32_t>(((r / n) << 16) | ((g / n) << 8) | (b / n));
}

std::uint32_t Blend(std::uint32_t a, std::uint32_t b) {
  auto half = [&](int shift) { return ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF)) / 2) << shift; };
  return half(16) | half(8) | half(0);
}

}  // namespace

std::shared_ptr<const PictureCells> SamplePicture(UINT bitmapId, int columns, int pixelRows) {
  if (bitmapId == 0 || columns <= 0 || pixelRows <= 0) return nullptr;
  const framework::BitmapResource* bitmap = framework::FindBitmap(bitmapId);
  if (bitmap == nullptr || bitmap->draw == nullptr || bitmap->width <= 0 || bitmap->height <= 0) return nullptr;
  Cache& cache = TheCache();
  std::lock_guard guard(cache.lock);
  auto key = std::make_tuple(bitmapId, columns, pixelRows);
  if (auto found = cache.samples.find(key); found != cache.samples.end()) return found->second;

  std::shared_ptr<const std::vector<std::uint32_t>> source = Pixels(cache, *bitmap);
  auto cells = std::make_shared<PictureCells>();
  cells->columns = columns;
  cells->pixelRows = pixelRows;
  cells->pixels.resize(static_cast<std::size_t>(columns * pixelRows));
  for (int y = 0; y < pixelRows; ++y) {
    int y0 = y * bitmap->height / pixelRows, y1 = std::max((y + 1) * bitmap->height / pixelRows, y0 + 1);
    for (int x = 0; x < columns; ++x) {
      int x0 = x * bitmap->width / columns, x1 = std::max((x + 1) * bitmap->width / columns, x0 + 1);
      cells->pixels[static_cast<std::size_t>(y * columns + x)] =
          Mean(*source, bitmap->width, x0, std::min(x1, bitmap->width), y0, std::min(y1, bitmap->height));
    }
  }
  if (cache.samples.size() >= kKeptSamples) cache.samples.clear();
  cache.samples[key] = cells;
  return cells;
}

bool DrawPictureCells(CellGrid& grid, const CellRect& rect, UINT bitmapId, char32_t upperHalf, std::uint8_t attr) {
  if (rect.Empty()) return false;
  const int perCell = upperHalf ? 2 : 1;
  std::shared_ptr<const PictureCells> cells = SamplePicture(bitmapId, rect.w, rect.h * perCell);
  if (!cells) return false;
  for (int y = 0; y < rect.h; ++y)
    for (int x = 0; x < rect.w; ++x) {
      if (perCell == 1) {
        grid.PutColoured(rect.x + x, rect.y + y, U' ', kTerminalColour, cells->At(x, y), attr);
        continue;
      }
      std::uint32_t top = cells->At(x, 2 * y), bottom = cells->At(x, 2 * y + 1);
      if (top == bottom) grid.PutColoured(rect.x + x, rect.y + y, U' ', kTerminalColour, bottom, attr);
      else grid.PutColoured(rect.x + x, rect.y + y, upperHalf, top, bottom, attr);
    }
  return true;
}

// Both halves of the cell blended.
std::uint32_t PictureBackground(const CellGrid& grid, int x, int y) {
  const Cell& cell = grid.At(x, y);
  if (cell.fg == kTerminalColour) return cell.bg;
  return Blend(cell.fg, cell.bg);
}

}  // namespace vek::ui::terminal
