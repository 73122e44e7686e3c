// Drawing primitives for the wizard's pictures, over a buffer of 0x00RRGGBB pixels.
// Every write is clipped to the buffer, so a picture drawn into a smaller buffer
// than it was designed for loses its edges and never writes outside.
#pragma once

#include <cstdint>
#include <string_view>

namespace vek::wizard {

// t of range along the way from a to b, per channel.
std::uint32_t MixColor(std::uint32_t a, std::uint32_t b, int t, int range);

class Canvas {
 public:
  Canvas(std::uint32_t* pixels, int width, int height);

  int width() const { return m_Width; }
  int height() const { return m_Height; }

  void Set(int x, int y, std::uint32_t color);
  // Lays color over the pixel with alpha 0 (nothing) to 255 (opaque).
  void Blend(int x, int y, std::uint32_t color, int alpha);

  void FillRect(int x, int y, int w, int h, std::uint32_t color);
  void BlendRect(int x, int y, int w, int h, std::uint32_t color, int alpha);
  void FrameRect(int x, int y, int w, int h, std::uint32_t color);
  void VerticalGradient(int x, int y, int w, int h, std::uint32_t top, std::uint32_t bottom);
  void HorizontalGradient(int x, int y, int w, int h, std::uint32_t left, std::uint32_t right);
  // A line of square pen width `thickness`.
  void Line(int x0, int y0, int x1, int y1, std::uint32_t color, int thickness = 1);
  void FillCircle(int cx, int cy, int r, std::uint32_t color);
  void BlendCircle(int cx, int cy, int r, std::uint32_t color, int alpha);
  // The pixels whose distance from the centre lies in [inner, outer].
  void Ring(int cx, int cy, int inner, int outer, std::uint32_t color);
  // The upper half of a ring (a padlock's shackle).
  void UpperHalfRing(int cx, int cy, int inner, int outer, std::uint32_t color);
  // The part of a ring within 45 degrees of straight up: radio waves.
  void UpperArc(int cx, int cy, int inner, int outer, std::uint32_t color);
  void FillTriangle(int x0, int y0, int x1, int y1, int x2, int y2, std::uint32_t color);
  void Text(int x, int y, std::string_view text, int scale, std::uint32_t color);
  // Text with a one-scale-pixel shadow down and right.
  void ShadowText(int x, int y, std::string_view text, int scale, std::uint32_t color, std::uint32_t shadow);

 private:
  std::uint32_t* m_Pixels;
  int m_Width;
  int m_Height;
};

}  // namespace vek::wizard
