// What a person sees of a program's windows in the terminal front end, at the
// terminal sizes people have, checked as they read it: every control's whole text
// on the screen (joined across its wrapped lines; on a page that scrolls, once
// scrolling brings it into view), no two controls on the same cells, nothing
// written over a frame, the window inside the screen. The windows are those of a
// user-interface thread driven headless, laid out and painted as the terminal
// front end lays out and paints them. With VEK_SHOW_SCREENS set, each screen read
// is printed.
#pragma once

#include <string>
#include <vector>

#include "framework/message_box.h"
#include "framework/win_types.h"
#include "kernel/version.h"

namespace vek::test {

// The languages the programs show their texts in.
inline constexpr LANGID kScreenLanguages[] = {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                              MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)};
inline std::string LanguageName(LANGID language) {
  return PRIMARYLANGID(language) == LANG_JAPANESE ? "Japanese" : "English";
}

struct ScreenSize {
  int columns;
  int rows;
};
inline constexpr ScreenSize kCommonScreenSizes[] = {{80, 24}, {100, 30}, {120, 45}};

// What is wrong with the window on top of the windows of `window`'s thread, at
// each size; each problem names the window, the size and the control, with the
// screen it was seen on. Empty when everything reads whole.
std::vector<std::string> ScreenProblems(HWND window, const std::string& what);

// Where the control `id` of the window on top lands on a screen of this size,
// before any scrolling; empty when it is not shown.
struct CellBox {
  int x = 0, y = 0, w = 0, h = 0;
};
CellBox ControlCells(HWND window, int id, ScreenSize size);

// The same for a message box over the screen, scrolled through to its end.
std::vector<std::string> MessageBoxProblems(const framework::MessageBoxRecord& box, bool japanese);

}  // namespace vek::test
