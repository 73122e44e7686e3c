#include "wizard/resources/canvas.h"

#include <algorithm>
#include <cstdlib>

#include "wizard/resources/pixel_font.h"

namespace vek::wizard {

std::uint32_t MixColor(std::uint32_t a, std::uint32_t b, int t, int range) {
  if (range <= 0) return a;
  t = std::clamp(t, 0, range);
  auto channel = [&](int shift) {
    int ca = static_cast<int>((a >> shift) & 0xFF);
    int cb = static_cast<int>((b >> shift) & 0xFF);
    return static_cast<std::uint32_t>(ca + (cb - ca) * t / range) << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

Canvas::Canvas(std::uint32_t* pixels, int width, int height)
    : m_Pixels(pixels), m_Width(pixels ? std::max(width, 0) : 0), m_Height(pixels ? std::max(height, 0) : 0) {}

void Canvas::Set(int x, int y, std::uint32_t color) {
  if (x < 0 || y < 0 || x >= m_Width || y >= m_Height) return;
  m_Pixels[static_cast<std::size_t>(y) * m_Width + x] = color & 0xFFFFFF;
}

void Canvas::Blend(int x, int y, std::uint32_t color, int alpha) {
  if (x < 0 || y < 0 || x >= m_Width || y >= m_Height) return;
  std::uint32_t& pixel = m_Pixels[static_cast<std::size_t>(y) * m_Width + x];
  pixel = MixColor(pixel, color, alpha, 255);
}

void Canvas::FillRect(int x, int y, int w, int h, std::uint32_t color) {
  int x0 = std::max(x, 0), x1 = std::min(x + w, m_Width);
  int y0 = std::max(y, 0), y1 = std::min(y + h, m_Height);
  for (int py = y0; py < y1; ++py)
    for (int px = x0; px < x1; ++px) m_Pixels[static_cast<std::size_t>(py) * m_Width + px] = color & 0xFFFFFF;
}

void Canvas::BlendRect(int x, int y, int w, int h, std::uint32_t color, int alpha) {
  for (int py = y; py < y + h; ++py)
    for (int px = x; px < x + w; ++px) Blend(px, py, color, alpha);
}

void Canvas::FrameRect(int x, int y, int w, int h, std::uint32_t color) {
  if (w <= 0 || h <= 0) return;
  FillRect(x, y, w, 1, color);
  FillRect(x, y + h - 1, w, 1, color);
  FillRect(x, y, 1, h, color);
  FillRect(x + w - 1, y, 1, h, color);
}

void Canvas::VerticalGradient(int x, int y, int w, int h, std::uint32_t top, std::uint32_t bottom) {
  for (int row = 0; row < h; ++row) FillRect(x, y + row, w, 1, MixColor(top, bottom, row, std::max(h - 1, 1)));
}

void Canvas::HorizontalGradient(int x, int y, int w, int h, std::uint32_t left, std::uint32_t right) {
  for (int col = 0; col < w; ++col) FillRect(x + col, y, 1, h, MixColor(left, right, col, std::max(w - 1, 1)));
}

void Canvas::Line(int x0, int y0, int x1, int y1, std::uint32_t color, int thickness) {
  int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  int half = (thickness - 1) / 2;
  for (;;) {
    FillRect(x0 - half, y0 - half, thickness, thickness, color);
    if (x0 == x1 && y0 == y1) break;
    int e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      error += dx;
      y0 += sy;
    }
  }
}

void Canvas::FillCircle(int cx, int cy, int r, std::uint32_t color) { Ring(cx, cy, 0, r, color); }

void Canvas::BlendCircle(int cx, int cy, int r, std::uint32_t color, int alpha) {
  for (int y = -r; y <= r; ++y)
    for (int x = -r; x <= r; ++x)
      if (x * x + y * y <= r * r) Blend(cx + x, cy + y, color, alpha);
}

void Canvas::Ring(int cx, int cy, int inner, int outer, std::uint32_t color) {
  for (int y = -outer; y <= outer; ++y)
    for (int x = -outer; x <= outer; ++x) {
      int d = x * x + y * y;
      if (d <= outer * outer && d >= inner * inner) Set(cx + x, cy + y, color);
    }
}

void Canvas::UpperHalfRing(int cx, int cy, int inner, int outer, std::uint32_t color) {
  for (int y = -outer; y <= 0; ++y)
    for (int x = -outer; x <= outer; ++x) {
      int d = x * x + y * y;
      if (d <= outer * outer && d >= inner * inner) Set(cx + x, cy + y, color);
    }
}

void Canvas::UpperArc(int cx, int cy, int inner, int outer, std::uint32_t color) {
  for (int y = -outer; y < 0; ++y)
    for (int x = -outer; x <= outer; ++x) {
      int d = x * x + y * y;
      if (d <= outer * outer && d >= inner * inner && std::abs(x) <= -y) Set(cx + x, cy + y, color);
    }
}

void Canvas::FillTriangle(int x0, int y0, int x1, int y1, int x2, int y2, std::uint32_t color) {
  int left = std::min({x0, x1, x2}), right = std::max({x0, x1, x2});
  int top = std::min({y0, y1, y2}), bottom = std::max({y0, y1, y2});
  auto edge = [](int ax, int ay, int bx, int by, int px, int py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
  };
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) {
      int a = edge(x0, y0, x1, y1, x, y), b = edge(x1, y1, x2, y2, x, y), c = edge(x2, y2, x0, y0, x, y);
      if ((a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0)) Set(x, y, color);
    }
}

void Canvas::Text(int x, int y, std::string_view text, int scale, std::uint32_t color) {
  DrawPixelText(m_Pixels, m_Width, m_Height, x, y, text, scale, color & 0xFFFFFF);
}

void Canvas::ShadowText(int x, int y, std::string_view text, int scale, std::uint32_t color, std::uint32_t shadow) {
  Text(x + scale, y + scale, text, scale, shadow);
  Text(x, y, text, scale, color);
}

}  // namespace vek::wizard
