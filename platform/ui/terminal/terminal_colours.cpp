#include "ui/terminal/terminal_colours.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vek::ui::terminal {
namespace {

// The 16 colours of a basic terminal, as most terminals show them.
constexpr std::uint32_t kBasicColours[16] = {0x000000, 0xCD0000, 0x00CD00, 0xCDCD00, 0x0000EE, 0xCD00CD,
                                             0x00CDCD, 0xE5E5E5, 0x7F7F7F, 0xFF0000, 0x00FF00, 0xFFFF00,
                                             0x5C5CFF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
// The levels of the 6 x 6 x 6 colour cube of a 256-colour terminal.
constexpr int kCubeLevels[6] = {0, 95, 135, 175, 215, 255};
constexpr std::uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF;

int Channel(std::uint32_t rgb, int shift) { return static_cast<int>((rgb >> shift) & 0xFF); }

std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>((r << 16) | (g << 8) | b);
}

int Distance(std::uint32_t a, std::uint32_t b) {
  int r = Channel(a, 16) - Channel(b, 16), g = Channel(a, 8) - Channel(b, 8), bl = Channel(a, 0) - Channel(b, 0);
  return 2 * r * r + 4 * g * g + 3 * bl * bl;
}

int NearestBasic(std::uint32_t rgb, int count) {
  int best = 0;
  for (int i = 1; i < count; ++i)
    if (Distance(rgb, kBasicColours[i]) < Distance(rgb, kBasicColours[best])) best = i;
  return best;
}

int NearestOf256(std::uint32_t rgb) {
  auto level = [](int v) {
    int best = 0;
    for (int i = 1; i < 6; ++i)
      if (std::abs(kCubeLevels[i] - v) < std::abs(kCubeLevels[best] - v)) best = i;
    return best;
  };
  int r = level(Channel(rgb, 16)), g = level(Channel(rgb, 8)), b = level(Channel(rgb, 0));
  std::uint32_t cube = Rgb(kCubeLevels[r], kCubeLevels[g], kCubeLevels[b]);
  int grey = std::clamp(((Channel(rgb, 16) + Channel(rgb, 8) + Channel(rgb, 0)) / 3 - 8 + 5) / 10, 0, 23);
  int greyLevel = 8 + 10 * grey;
  if (Distance(rgb, Rgb(greyLevel, greyLevel, greyLevel)) < Distance(rgb, cube)) return 232 + grey;
  return 16 + 36 * r + 6 * g + b;
}

double Linear(int channel) {
  double c = channel / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(std::uint32_t rgb) {
  return 0.2126 * Linear(Channel(rgb, 16)) + 0.7152 * Linear(Channel(rgb, 8)) + 0.0722 * Linear(Channel(rgb, 0));
}

}  // namespace

int PaletteIndex(std::uint32_t rgb, int colours) {
  if (colours >= 256) return NearestOf256(rgb);
  return NearestBasic(rgb, colours >= 16 ? 16 : 8);
}

std::uint32_t PaletteColour(int index) {
  if (index < 16) return kBasicColours[std::clamp(index, 0, 15)];
  if (index >= 232) {
    int level = 8 + 10 * std::min(index - 232, 23);
    return Rgb(level, level, level);
  }
  int cube = index - 16;
  return Rgb(kCubeLevels[cube / 36], kCubeLevels[cube / 6 % 6], kCubeLevels[cube % 6]);
}

std::uint32_t ShownColour(std::uint32_t rgb, int colours) { return PaletteColour(PaletteIndex(rgb, colours)); }

double ContrastRatio(std::uint32_t a, std::uint32_t b) {
  double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TextColours ReadableColours(std::uint32_t background, int colours) {
  std::uint32_t shown = ShownColour(background, colours);
  double blackText = ContrastRatio(ShownColour(kBlack, colours), shown);
  double whiteText = ContrastRatio(ShownColour(kWhite, colours), shown);
  if (std::max(blackText, whiteText) < kReadableContrast) return TextColours{kWhite, kBlack};
  return TextColours{blackText > whiteText ? kBlack : kWhite, background};
}

TextColours CellColours(const Cell& cell, int colours) {
  if (cell.fg != kContrastColour) return TextColours{cell.fg, cell.bg};
  if (cell.bg == kTerminalColour) return TextColours{kTerminalColour, kTerminalColour};
  return ReadableColours(cell.bg, colours);
}

}  // namespace vek::ui::terminal
