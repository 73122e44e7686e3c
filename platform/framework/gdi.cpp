// The recording device contexts and the drawing objects behind GDI handles.
#include "framework/gdi.h"

#include <utility>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <variant>

#include "framework/dialog_template.h"
#include "framework/window_api.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"

namespace vek::framework {
namespace {

struct Font {
  LOGFONTA font;
};
struct Brush {
  COLORREF color;
  bool hollow;
};
struct Pen {
  int style;
  int width;
  COLORREF color;
};
struct Bitmap {
  UINT resourceId;
  int width;
  int height;
  int bitsPerPixel;
};
struct Region {
  RECT rect;
};
using GdiObject = std::variant<Font, Brush, Pen, Bitmap, Region>;

struct DcState {
  HFONT font = nullptr;
  HBRUSH brush = nullptr;
  HPEN pen = nullptr;
  HBITMAP bitmap = nullptr;
  COLORREF textColor = 0;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  int stretchMode = BLACKONWHITE;
  std::optional<RECT> clip;
  POINT position{};
};

struct DeviceContext {
  HWND window = nullptr;  // null for a memory or screen context
  bool memory = false;
  DcState state;
  std::vector<DcState> saved;
};

struct Gdi {
  std::mutex lock;
  std::unordered_map<std::uintptr_t, GdiObject> objects;
  std::unordered_map<std::uintptr_t, DeviceContext> contexts;
  std::map<HWND, std::vector<DrawCommand>> drawings;
  std::uintptr_t nextObject = 0x20000;
  std::uintptr_t nextContext = 0x30000;
  int dpi = 0;
  std::map<int, HGDIOBJ> stock;
  std::map<int, HBRUSH> colorBrushes;
};

Gdi& TheGdi() {
  static Gdi* gdi = new Gdi;
  return *gdi;
}

HGDIOBJ AddObjectLocked(Gdi& gdi, GdiObject object) {
  auto handle = gdi.nextObject;
  gdi.nextObject += 4;
  gdi.objects.emplace(handle, std::move(object));
  return reinterpret_cast<HGDIOBJ>(handle);
}

GdiObject* ObjectLocked(Gdi& gdi, HGDIOBJ handle) {
  auto it = gdi.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == gdi.objects.end() ? nullptr : &it->second;
}

DeviceContext* ContextLocked(Gdi& gdi, HDC dc) {
  auto it = gdi.contexts.find(reinterpret_cast<std::uintptr_t>(dc));
  return it == gdi.contexts.end() ? nullptr : &it->second;
}

HDC AddContextLocked(Gdi& gdi, HWND window, bool memory) {
  auto handle = gdi.nextContext;
  gdi.nextContext += 4;
  DeviceContext context;
  context.window = window;
  context.memory = memory;
  gdi.contexts.emplace(handle, std::move(context));
  return reinterpret_cast<HDC>(handle);
}

int ScreenDpi(Gdi& gdi) {
  if (gdi.dpi == 0) {
    const char* text = std::getenv("VEK_DPI");
    int value = text ? std::atoi(text) : 0;
    gdi.dpi = value >= 48 && value <= 480 ? value : 96;
  }
  return gdi.dpi;
}

const DWORD kSystemColors[] = {
    0xC8D0D4, 0x984E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF, 0xC8D0D4,
    0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040,
    0xC8D0D4, 0x000000, 0xE1FFFF};

// Appends a drawing call to the window's record, with the context's state.
void RecordLocked(Gdi& gdi, HDC dc, DrawCommand command) {
  DeviceContext* context = ContextLocked(gdi, dc);
  if (context == nullptr || context->window == nullptr) return;  // memory contexts draw nothing visible
  const DcState& state = context->state;
  command.stretchMode = state.stretchMode;
  command.bkMode = state.bkMode;
  if (state.clip) command.clip = *state.clip;
  if (command.kind == DrawCommand::Kind::Text) {
    command.color = state.textColor;
    if (auto* font = state.font ? std::get_if<Font>(ObjectLocked(gdi, state.font)) : nullptr) {
      command.fontFace = font->font.lfFaceName;
      command.fontHeight = font->font.lfHeight;
    }
  }
  gdi.drawings[context->window].push_back(std::move(command));
}

bool BrushLocked(Gdi& gdi, HBRUSH brush, COLORREF* color, bool* hollow) {
  auto* b = brush ? std::get_if<Brush>(ObjectLocked(gdi, brush)) : nullptr;
  if (!b) return false;
  *color = b->color;
  *hollow = b->hollow;
  return true;
}

}  // namespace

std::vector<DrawCommand> RecordedDrawing(HWND window) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  auto it = gdi.drawings.find(window);
  return it == gdi.drawings.end() ? std::vector<DrawCommand>{} : it->second;
}

void ClearRecordedDrawing(HWND window) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  gdi.drawings.erase(window);
}

void SetScreenDpi(int dpi) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  gdi.dpi = dpi;
}

bool DescribeFont(HFONT font, LOGFONTA* description) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  auto* f = font ? std::get_if<Font>(ObjectLocked(gdi, font)) : nullptr;
  if (!f) return false;
  *description = f->font;
  return true;
}

UINT BitmapResourceId(HBITMAP bitmap) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  auto* b = bitmap ? std::get_if<Bitmap>(ObjectLocked(gdi, bitmap)) : nullptr;
  return b ? b->resourceId : 0;
}

bool DescribeBrush(HBRUSH brush, COLORREF* color, bool* hollow) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  return BrushLocked(gdi, brush, color, hollow);
}

}  // namespace vek::framework

using namespace vek::framework;

HDC GetDC(HWND window) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  return AddContextLocked(gdi, window, false);
}

int ReleaseDC(HWND, HDC dc) { return DeleteDC(dc) ? 1 : 0; }

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  ValidateRect(window, nullptr);
  HDC dc;
  {
    Gdi& gdi = TheGdi();
    std::lock_guard guard(gdi.lock);
    gdi.drawings[window].clear();  // a paint draws the window anew
    dc = AddContextLocked(gdi, window, false);
  }
  if (paint) {
    std::memset(paint, 0, sizeof *paint);
    paint->hdc = dc;
    GetClientRect(window, &paint->rcPaint);
  }
  return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint) { return paint ? DeleteDC(paint->hdc) : FALSE; }

HDC CreateCompatibleDC(HDC) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  return AddContextLocked(gdi, nullptr, true);
}

BOOL DeleteDC(HDC dc) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  return gdi.contexts.erase(reinterpret_cast<std::uintptr_t>(dc)) ? TRUE : FALSE;
}

int SaveDC(HDC dc) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  DeviceContext* context = ContextLocked(gdi, dc);
  if (!context) return 0;
  context->saved.push_back(context->state);
  return static_cast<int>(context->saved.size());
}

BOOL RestoreDC(HDC dc, int saved) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  DeviceContext* context = ContextLocked(gdi, dc);
  if (!context || context->saved.empty()) return FALSE;
  std::size_t index = saved < 0 ? context->saved.size() + static_cast<std::size_t>(saved)
                                : static_cast<std::size_t>(saved) - 1;
  if (saved == 0 || index >= context->saved.size()) return FALSE;
  context->state = context->saved[index];
  context->saved.resize(index);
  return TRUE;
}

int GetDeviceCaps(HDC, int index) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return ScreenDpi(gdi);
    case HORZRES: return 1024;
    case VERTRES: return 768;
    case BITSPIXEL: return 24;
    default: return 0;
  }
}

HGDIOBJ GetStockObject(int object) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  auto it = gdi.stock.find(object);
  if (it != gdi.stock.end()) return it->second;
  std::optional<GdiObject> made;
  switch (object) {
    case WHITE_BRUSH: made = Brush{RGB(255, 255, 255), false}; break;
    case LTGRAY_BRUSH: made = Brush{RGB(192, 192, 192), false}; break;
    case GRAY_BRUSH: made = Brush{RGB(128, 128, 128), false}; break;
    case DKGRAY_BRUSH: made = Brush{RGB(64, 64, 64), false}; break;
    case BLACK_BRUSH: made = Brush{RGB(0, 0, 0), false}; break;
    case NULL_BRUSH: made = Brush{0, true}; break;
    case WHITE_PEN: made = Pen{0, 1, RGB(255, 255, 255)}; break;
    case BLACK_PEN: made = Pen{0, 1, 0}; break;
    case NULL_PEN: made = Pen{5, 0, 0}; break;
    case SYSTEM_FONT:
    case DEFAULT_GUI_FONT: {
      LOGFONTA font{};
      font.lfHeight = object == SYSTEM_FONT ? -13 : -11;
      std::strcpy(font.lfFaceName, object == SYSTEM_FONT ? "System" : "MS Shell Dlg");
      made = Font{font};
      break;
    }
    default: return nullptr;
  }
  HGDIOBJ handle = AddObjectLocked(gdi, std::move(*made));
  gdi.stock[object] = handle;
  return handle;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  DeviceContext* context = ContextLocked(gdi, dc);
  GdiObject* selected = ObjectLocked(gdi, object);
  if (!context || !selected) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  HGDIOBJ* slot = std::visit(
      [&](auto& o) -> HGDIOBJ* {
        using T = std::decay_t<decltype(o)>;
        if constexpr (std::is_same_v<T, Font>) return &context->state.font;
        if constexpr (std::is_same_v<T, Brush>) return &context->state.brush;
        if constexpr (std::is_same_v<T, Pen>) return &context->state.pen;
        if constexpr (std::is_same_v<T, Bitmap>) return &context->state.bitmap;
        return nullptr;
      },
      *selected);
  if (slot == nullptr) {
    if (auto* region = std::get_if<Region>(selected)) context->state.clip = region->rect;
    return nullptr;
  }
  HGDIOBJ previous = *slot;
  *slot = object;
  return previous ? previous : object;
}

BOOL DeleteObject(HGDIOBJ object) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  for (auto& [id, stock] : gdi.stock)
    if (stock == object) return TRUE;  // stock objects stay
  for (auto& [id, brush] : gdi.colorBrushes)
    if (brush == object) return TRUE;
  return gdi.objects.erase(reinterpret_cast<std::uintptr_t>(object)) ? TRUE : FALSE;
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCSTR faceName) {
  LOGFONTA font{};
  font.lfHeight = height;
  font.lfWidth = width;
  font.lfEscapement = escapement;
  font.lfOrientation = orientation;
  font.lfWeight = weight;
  font.lfItalic = static_cast<BYTE>(italic);
  font.lfUnderline = static_cast<BYTE>(underline);
  font.lfStrikeOut = static_cast<BYTE>(strikeOut);
  font.lfCharSet = static_cast<BYTE>(charSet);
  font.lfOutPrecision = static_cast<BYTE>(outPrecision);
  font.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  font.lfQuality = static_cast<BYTE>(quality);
  font.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (faceName) std::strncpy(font.lfFaceName, faceName, sizeof font.lfFaceName - 1);
  return CreateFontIndirectA(&font);
}

HFONT CreateFontIndirectA(const LOGFONTA* font) {
  if (font == nullptr) return nullptr;
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  return AddObjectLocked(gdi, Font{*font});
}

int GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  GdiObject* o = ObjectLocked(gdi, object);
  if (!o) return 0;
  if (auto* font = std::get_if<Font>(o)) {
    if (buffer && size >= static_cast<int>(sizeof(LOGFONTA))) std::memcpy(buffer, &font->font, sizeof(LOGFONTA));
    return sizeof(LOGFONTA);
  }
  if (auto* bitmap = std::get_if<Bitmap>(o)) {
    if (buffer && size >= static_cast<int>(sizeof(BITMAP))) {
      BITMAP info{0, bitmap->width, bitmap->height, ((bitmap->width * bitmap->bitsPerPixel + 31) / 32) * 4, 1,
                  static_cast<WORD>(bitmap->bitsPerPixel), nullptr};
      std::memcpy(buffer, &info, sizeof info);
    }
    return sizeof(BITMAP);
  }
  return 0;
}

HBRUSH CreateSolidBrush(COLORREF color) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  return AddObjectLocked(gdi, Brush{color, false});
}

HPEN CreatePen(int style, int width, COLORREF color) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  return AddObjectLocked(gdi, Pen{style, width, color});
}

HBITMAP LoadBitmapA(HINSTANCE, LPCSTR name) {
  auto id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name));
  const BitmapResource* resource = id <= 0xFFFF ? FindBitmap(id) : nullptr;
  if (resource == nullptr) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  return AddObjectLocked(gdi, Bitmap{id, resource->width, resource->height, resource->bitsPerPixel});
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  return AddObjectLocked(gdi, Bitmap{0, width, height, 24});
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  return AddObjectLocked(gdi, Region{RECT{left, top, right, bottom}});
}

DWORD GetSysColor(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kSystemColors))) return 0;
  return kSystemColors[index];
}

HBRUSH GetSysColorBrush(int index) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  auto it = gdi.colorBrushes.find(index);
  if (it != gdi.colorBrushes.end()) return it->second;
  HBRUSH brush = AddObjectLocked(gdi, Brush{GetSysColor(index), false});
  gdi.colorBrushes[index] = brush;
  return brush;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return 1024;
    case SM_CYSCREEN: return 768;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    default: return 0;
  }
}

template <typename Setter>
static auto WithState(HDC dc, Setter setter) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  DeviceContext* context = ContextLocked(gdi, dc);
  return setter(context ? &context->state : nullptr);
}

int SetBkMode(HDC dc, int mode) {
  return WithState(dc, [&](DcState* s) { return s ? std::exchange(s->bkMode, mode) : 0; });
}
COLORREF SetBkColor(HDC dc, COLORREF color) {
  return WithState(dc, [&](DcState* s) { return s ? std::exchange(s->bkColor, color) : 0xFFFFFFFFu; });
}
COLORREF SetTextColor(HDC dc, COLORREF color) {
  return WithState(dc, [&](DcState* s) { return s ? std::exchange(s->textColor, color) : 0xFFFFFFFFu; });
}
int SetStretchBltMode(HDC dc, int mode) {
  return WithState(dc, [&](DcState* s) { return s ? std::exchange(s->stretchMode, mode) : 0; });
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  return WithState(dc, [&](DcState* s) {
    if (!s) return 0;
    RECT r{left, top, right, bottom};
    if (s->clip) {
      r.left = std::max(r.left, s->clip->left);
      r.top = std::max(r.top, s->clip->top);
      r.right = std::min(r.right, s->clip->right);
      r.bottom = std::min(r.bottom, s->clip->bottom);
    }
    s->clip = r;
    return 2;  // a simple region
  });
}

int SelectClipRgn(HDC dc, HRGN region) {
  if (region == nullptr) return WithState(dc, [](DcState* s) { return s ? (s->clip.reset(), 1) : 0; });
  return SelectObject(dc, region) == nullptr ? 2 : 0;
}

static BOOL Copy(HDC dc, RECT destination, HDC source, RECT from, DWORD rop, DrawCommand::Kind kind) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  DeviceContext* sourceContext = ContextLocked(gdi, source);
  if (!ContextLocked(gdi, dc) || !sourceContext) return FALSE;
  DrawCommand command;
  command.kind = kind;
  command.rect = destination;
  command.source = from;
  command.rop = rop;
  if (auto* bitmap = sourceContext->state.bitmap ? std::get_if<Bitmap>(ObjectLocked(gdi, sourceContext->state.bitmap))
                                                  : nullptr)
    command.bitmapId = bitmap->resourceId;
  RecordLocked(gdi, dc, std::move(command));
  return TRUE;
}

BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
  return Copy(dc, RECT{x, y, x + width, y + height}, source, RECT{sx, sy, sx + width, sy + height}, rop,
              DrawCommand::Kind::BitBlt);
}

BOOL StretchBlt(HDC dc, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh, DWORD rop) {
  return Copy(dc, RECT{x, y, x + width, y + height}, source, RECT{sx, sy, sx + sw, sy + sh}, rop,
              DrawCommand::Kind::StretchBlt);
}

static BOOL RecordText(HDC dc, RECT rect, std::string text) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  if (!ContextLocked(gdi, dc)) return FALSE;
  DrawCommand command;
  command.kind = DrawCommand::Kind::Text;
  command.rect = rect;
  command.text = std::move(text);
  RecordLocked(gdi, dc, std::move(command));
  return TRUE;
}

static std::string Cut(LPCSTR text, int length) {
  if (!text) return {};
  return length < 0 ? std::string(text) : std::string(text, static_cast<std::size_t>(length));
}

static std::string Cut(LPCWSTR text, int length) {
  if (!text) return {};
  return vek::ToNarrow(length < 0 ? std::u16string(text) : std::u16string(text, static_cast<std::size_t>(length)));
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
  return RecordText(dc, RECT{x, y, x, y}, Cut(text, length));
}
BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int length) {
  return RecordText(dc, RECT{x, y, x, y}, Cut(text, length));
}
int DrawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT) {
  return rect && RecordText(dc, *rect, Cut(text, length)) ? 13 : 0;
}
int DrawTextW(HDC dc, LPCWSTR text, int length, LPRECT rect, UINT) {
  return rect && RecordText(dc, *rect, Cut(text, length)) ? 13 : 0;
}

static int RecordShape(HDC dc, RECT rect, HBRUSH brush, DrawCommand::Kind kind) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  DeviceContext* context = ContextLocked(gdi, dc);
  if (!context) return 0;
  DrawCommand command;
  command.kind = kind;
  command.rect = rect;
  HBRUSH used = brush ? brush : context->state.brush;
  BrushLocked(gdi, used, &command.color, &command.hollowBrush);
  RecordLocked(gdi, dc, std::move(command));
  return 1;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  return rect ? RecordShape(dc, *rect, brush, DrawCommand::Kind::FillRect) : 0;
}
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
  return rect ? RecordShape(dc, *rect, brush, DrawCommand::Kind::FrameRect) : 0;
}
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
  return RecordShape(dc, RECT{left, top, right, bottom}, nullptr, DrawCommand::Kind::Rectangle);
}

BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
  return WithState(dc, [&](DcState* s) {
    if (!s) return FALSE;
    if (previous) *previous = s->position;
    s->position = POINT{x, y};
    return TRUE;
  });
}

BOOL LineTo(HDC dc, int x, int y) {
  Gdi& gdi = TheGdi();
  std::lock_guard guard(gdi.lock);
  DeviceContext* context = ContextLocked(gdi, dc);
  if (!context) return FALSE;
  DrawCommand command;
  command.kind = DrawCommand::Kind::Line;
  command.rect = RECT{context->state.position.x, context->state.position.y, x, y};
  if (auto* pen = context->state.pen ? std::get_if<Pen>(ObjectLocked(gdi, context->state.pen)) : nullptr)
    command.color = pen->color;
  context->state.position = POINT{x, y};
  RecordLocked(gdi, dc, std::move(command));
  return TRUE;
}

// Text is measured as the dialogs lay it out: 6 pixels a character, 13 a line.
BOOL GetTextExtentPoint32A(HDC, LPCSTR text, int length, SIZE* size) {
  if (!size) return FALSE;
  *size = SIZE{static_cast<LONG>(vek::ToWide(Cut(text, length)).size()) * 6, 13};
  return TRUE;
}

BOOL GetTextExtentPoint32W(HDC, LPCWSTR text, int length, SIZE* size) {
  if (!size) return FALSE;
  *size = SIZE{static_cast<LONG>(length < 0 ? vek::WideLength(text) : static_cast<std::size_t>(length)) * 6, 13};
  return TRUE;
}
