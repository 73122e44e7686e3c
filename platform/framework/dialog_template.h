// Dialog templates and bitmaps as compiled-in resources, in English and Japanese.
// A program registers its tables once at start-up; lookups take the user's language
// and fall back to English.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/win_types.h"

namespace vek::framework {

// One control of a template. Positions and sizes are in dialog units.
struct DialogItemTemplate {
  const char* className;  // "Button", "Edit", "Static", "ComboBox", "SysListView32", ...
  const char* text;       // UTF-8; for a bitmap static or button, empty
  int id;                 // -1 for unnumbered statics
  short x, y, cx, cy;
  DWORD style;            // WS_CHILD and WS_VISIBLE included as the control needs them
  DWORD exStyle = 0;
  UINT imageId = 0;       // the bitmap of an SS_BITMAP static or a BS_BITMAP button
};

struct DialogTemplate {
  UINT id;
  WORD language;  // primary language: LANG_ENGLISH or LANG_JAPANESE
  short x, y, cx, cy;
  DWORD style;
  DWORD exStyle;
  const char* caption;
  const char* fontName;
  WORD fontSize;
  const DialogItemTemplate* items;
  std::size_t itemCount;
};

// A picture of our own, drawn by a function into 32-bit pixels (0x00RRGGBB, rows top
// to bottom); `title` is what a character-cell front end shows in its place.
struct BitmapResource {
  UINT id;
  int width;
  int height;
  int bitsPerPixel;
  const char* title;
  void (*draw)(std::uint32_t* pixels, int width, int height);
};

void RegisterDialogTemplates(const DialogTemplate* templates, std::size_t count);
void RegisterBitmaps(const BitmapResource* bitmaps, std::size_t count);
// Takes back what a library registered before it is unloaded: the entries that
// point into these tables (an entry registered since by someone else stays).
void UnregisterDialogTemplates(const DialogTemplate* templates, std::size_t count);
void UnregisterBitmaps(const BitmapResource* bitmaps, std::size_t count);
// The template of a dialog in the user's language, else in English; null when none.
const DialogTemplate* FindDialogTemplate(UINT id);
// Whether any dialog is registered in the primary language.
bool HasDialogTemplatesIn(WORD language);
const BitmapResource* FindBitmap(UINT id);

}  // namespace vek::framework
