// What a control needs of the cells to show whole, for the fit of its window:
// which controls are decoration (pictures, solid shapes) that may shrink to
// nothing, which frame the controls inside them (and how thick their border is),
// and how many columns and rows a control needs.
#pragma once

#include <optional>

#include "ui/terminal/window_snapshot.h"

namespace vek::ui::terminal {

bool IsDecoration(const WindowNode& node);

// The cells a frame keeps between its edges and what is inside it.
struct FrameBorder {
  int left = 0, top = 0, right = 0, bottom = 0;
};
// Set for windows that frame others: group boxes, frame statics, tab rows and
// (without a border) pages.
std::optional<FrameBorder> FrameOf(const WindowNode& node);

// A left-aligned text as high as one line: it shows on one line when it may.
bool IsOneLineLabel(const WindowNode& node);

// How the needs are counted: whole labels on one line first; where the screen is
// too narrow for that, labels wrap onto the rows below and buttons drop the spaces
// inside their brackets.
enum class NeedLevel { Whole, Wrapped };

// The columns a control needs; `natural` is its width at full size.
int NeededColumns(const WindowNode& node, int natural, NeedLevel level);
// The rows a control needs at the width it got; `natural` is its height at full size.
int NeededRows(const WindowNode& node, int columns, int natural);

}  // namespace vek::ui::terminal
