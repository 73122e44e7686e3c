// What the control painters share. Private to the painters.
#pragma once

#include <string_view>

#include "ui/terminal/control_painter.h"

namespace vek::ui::terminal {

// Dimmed when disabled.
std::uint8_t BaseAttr(const PlacedWindow& placed);
bool ShowsFocus(const PlacedWindow& placed, const PaintContext& context);
// The row a one-line control writes on: the middle of its rectangle.
int MiddleRow(const CellRect& rect);

// A label with its '&' mnemonic underlined; returns the cells used.
int DrawLabel(CellGrid& grid, int x, int y, std::string_view utf8, int maxColumns, std::uint8_t attr, bool prefix = true);
int LabelWidth(std::string_view utf8, bool prefix = true);
// A picture: drawn in colours where the terminal has them (a banner too low for
// its lettering carries its title in text); else its title, wrapped and centred,
// in a frame when there is room.
void DrawPicture(CellGrid& grid, const CellRect& rect, std::string_view title, UINT bitmapId,
                 const PaintContext& context, std::uint8_t attr);

void PaintStatic(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context);
void PaintButton(CellGrid& grid, const PlacedWindow& placed, const TopLevelPlacement& top, const PaintContext& context);
void PaintEdit(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context);
void PaintIpAddress(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context);
void PaintComboBox(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context);
void PaintListView(CellGrid& grid, const PlacedWindow& placed, const TopLevelPlacement& top, const PaintContext& context);
void PaintTab(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context);
void PaintProgress(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context);
void PaintAnimation(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context);
void PaintUpDown(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context);
// What the window painted itself; true when it drew any text or picture.
bool PaintDrawing(CellGrid& grid, const PlacedWindow& placed, const TopLevelPlacement& top, const PaintContext& context);

}  // namespace vek::ui::terminal
