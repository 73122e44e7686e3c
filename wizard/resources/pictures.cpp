// The wizard's pictures, drawn by code: the side pictures of the pages, the title
// banners and the search animation. Language-neutral; texts in them are the
// product's name and short English titles in the built-in pixel font.
#include <iterator>

#include "kernel/version.h"
#include "wizard/resources/canvas.h"
#include "wizard/resources/pixel_font.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/resources/tables.h"
#include "wizard/resources/wizard_resources.h"

namespace vek::wizard {
namespace {

using vek::framework::BitmapResource;

// Palette.
constexpr std::uint32_t kNavy = 0x183A6E;
constexpr std::uint32_t kSky = 0x6FB8D6;
constexpr std::uint32_t kBannerRight = 0x3F86B8;
constexpr std::uint32_t kShadow = 0x0E2244;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kPale = 0xCFE6F2;
constexpr std::uint32_t kOrange = 0xF29B30;
constexpr std::uint32_t kGreen = 0x3FAE49;
constexpr std::uint32_t kDark = 0x2B2F36;
constexpr std::uint32_t kOutline = 0x3A4250;
constexpr std::uint32_t kCase = 0xE6E9EE;
constexpr std::uint32_t kCaseTop = 0xC9CED6;
constexpr std::uint32_t kPaperLine = 0xA8B0BC;
constexpr std::uint32_t kGold = 0xF2B134;
constexpr std::uint32_t kGoldDark = 0x7A5510;
constexpr std::uint32_t kSteel = 0xB8BEC8;
constexpr std::uint32_t kDialogFace = 0xD4D0C8;  // the dialogs' face colour, behind the animation

constexpr int Percent(int length, int percent) { return length * percent / 100; }

// ---------------------------------------------------------------------------
// Motifs, each drawn into a box of the given width at (x, y).
// ---------------------------------------------------------------------------

void DrawPrinter(Canvas& c, int x, int y, int w) {
  int h = Percent(w, 75);
  // Sheet waiting in the feeder, with lines of text.
  int sheetX = x + Percent(w, 25), sheetW = Percent(w, 50);
  c.FillRect(sheetX, y, sheetW, Percent(h, 35), kWhite);
  c.FrameRect(sheetX, y, sheetW, Percent(h, 35), kPaperLine);
  for (int line = y + Percent(h, 8); line < y + Percent(h, 28); line += std::max(2, Percent(h, 6)))
    c.FillRect(sheetX + Percent(sheetW, 15), line, Percent(sheetW, 70), std::max(1, Percent(h, 2)), kPaperLine);
  // Case.
  int bodyY = y + Percent(h, 25), bodyH = Percent(h, 50);
  c.FillRect(x, bodyY, w, bodyH, kCase);
  c.FillRect(x, bodyY, w, std::max(2, Percent(bodyH, 18)), kCaseTop);
  c.FrameRect(x, bodyY, w, bodyH, kOutline);
  // Panel: display and a green lamp.
  c.FillRect(x + Percent(w, 62), bodyY + Percent(bodyH, 30), Percent(w, 18), std::max(2, Percent(bodyH, 18)), kSky);
  c.FillCircle(x + Percent(w, 88), bodyY + Percent(bodyH, 38), std::max(1, Percent(w, 3)), kGreen);
  // Output slot and the printed page.
  int slotY = y + Percent(h, 62);
  c.FillRect(x + Percent(w, 12), slotY, Percent(w, 76), std::max(1, Percent(h, 3)), kOutline);
  int outX = x + Percent(w, 20), outW = Percent(w, 60);
  c.FillRect(outX, slotY + 1, outW, Percent(h, 32), kWhite);
  c.FrameRect(outX, slotY + 1, outW, Percent(h, 32), kPaperLine);
  for (int line = slotY + Percent(h, 10); line < slotY + Percent(h, 28); line += std::max(2, Percent(h, 6)))
    c.FillRect(outX + Percent(outW, 12), line, Percent(outW, 60), std::max(1, Percent(h, 2)), kPaperLine);
  // Feet.
  c.FillRect(x + Percent(w, 6), bodyY + bodyH, Percent(w, 10), std::max(1, Percent(h, 4)), kOutline);
  c.FillRect(x + Percent(w, 84), bodyY + bodyH, Percent(w, 10), std::max(1, Percent(h, 4)), kOutline);
}

// The print server: a small dark box with lamps; with an antenna for the wireless models.
// Returns the tip of the antenna through tipX / tipY when asked for one.
void DrawServer(Canvas& c, int x, int y, int w, bool antenna = false, int* tipX = nullptr, int* tipY = nullptr) {
  int h = Percent(w, 45);
  if (antenna) {
    int ax = x + Percent(w, 82), top = y - Percent(w, 40);
    c.Line(ax, y, ax, top, kDark, std::max(2, Percent(w, 5)));
    c.FillCircle(ax, top, std::max(2, Percent(w, 5)), kDark);
    if (tipX) *tipX = ax;
    if (tipY) *tipY = top;
  }
  c.FillRect(x, y, w, h, kDark);
  c.FillRect(x, y, w, std::max(1, Percent(h, 20)), 0x4A505A);
  c.FrameRect(x, y, w, h, 0x15181D);
  int lamp = std::max(2, Percent(w, 7));
  c.FillRect(x + Percent(w, 8), y + Percent(h, 55), lamp, lamp, kGreen);
  c.FillRect(x + Percent(w, 8) + lamp * 2, y + Percent(h, 55), lamp, lamp, kOrange);
  c.FillRect(x + Percent(w, 8) + lamp * 4, y + Percent(h, 55), lamp, lamp, kGreen);
  if (w >= 60) c.Text(x + w - PixelTextWidth("VEK", 1) - Percent(w, 8), y + Percent(h, 45), "VEK", 1, kOrange);
}

void DrawComputer(Canvas& c, int x, int y, int w) {
  int h = Percent(w, 65);
  c.FillRect(x, y, w, h, 0xD8DCE2);
  c.FrameRect(x, y, w, h, kOutline);
  c.VerticalGradient(x + Percent(w, 8), y + Percent(h, 10), Percent(w, 84), Percent(h, 72), 0x2E6FA8, 0x7FC4DB);
  c.FillRect(x + Percent(w, 40), y + h, Percent(w, 20), Percent(h, 15), 0xB9BFC8);
  c.FillRect(x + Percent(w, 20), y + h + Percent(h, 15), Percent(w, 60), std::max(2, Percent(h, 8)), 0xB9BFC8);
  c.FrameRect(x + Percent(w, 20), y + h + Percent(h, 15), Percent(w, 60), std::max(2, Percent(h, 8)), kOutline);
}

void DrawMagnifier(Canvas& c, int cx, int cy, int r, std::uint32_t frame = kDark) {
  c.BlendCircle(cx, cy, r, kWhite, 110);
  c.Ring(cx, cy, r - std::max(2, r / 4), r, frame);
  int start = r * 7 / 10, end = r * 16 / 10;
  c.Line(cx + start, cy + start, cx + end, cy + end, 0x8A5A2B, std::max(2, r / 3));
}

void DrawPadlock(Canvas& c, int x, int y, int w) {
  int cx = x + w / 2, bodyY = y + Percent(w, 45);
  c.UpperHalfRing(cx, bodyY, Percent(w, 22), Percent(w, 34), kSteel);
  c.FillRect(cx - Percent(w, 34), bodyY - 1, Percent(w, 12), Percent(w, 6), kSteel);
  c.FillRect(cx + Percent(w, 22), bodyY - 1, Percent(w, 12) + 1, Percent(w, 6), kSteel);
  c.FillRect(x, bodyY + Percent(w, 4), w, Percent(w, 60), kGold);
  c.FrameRect(x, bodyY + Percent(w, 4), w, Percent(w, 60), kGoldDark);
  c.FillRect(x + 1, bodyY + Percent(w, 4) + 1, w - 2, std::max(1, Percent(w, 8)), 0xF8CF6E);
  c.FillCircle(cx, bodyY + Percent(w, 28), std::max(1, Percent(w, 8)), kGoldDark);
  c.FillRect(cx - std::max(1, Percent(w, 3)), bodyY + Percent(w, 28), std::max(2, Percent(w, 6)), Percent(w, 20),
             kGoldDark);
}

void DrawKey(Canvas& c, int x, int y, int w) {
  int cy = y + Percent(w, 30), headX = x + Percent(w, 25);
  c.Ring(headX, cy, Percent(w, 10), Percent(w, 24), kGold);
  c.Line(headX + Percent(w, 22), cy, x + w - 1, cy, kGold, std::max(2, Percent(w, 12)));
  c.FillRect(x + Percent(w, 72), cy, std::max(2, Percent(w, 8)), Percent(w, 22), kGold);
  c.FillRect(x + Percent(w, 88), cy, std::max(2, Percent(w, 8)), Percent(w, 16), kGold);
}

void DrawCheck(Canvas& c, int x, int y, int w, std::uint32_t color) {
  int pen = std::max(2, w / 7);
  c.Line(x, y + Percent(w, 55), x + Percent(w, 38), y + Percent(w, 88), color, pen);
  c.Line(x + Percent(w, 38), y + Percent(w, 88), x + w, y + Percent(w, 15), color, pen);
}

void DrawShield(Canvas& c, int x, int y, int w) {
  int h = Percent(w, 120);
  for (int row = 0; row < h; ++row) {
    int half = row < Percent(h, 55) ? w / 2 : (w / 2) * (h - row) / std::max(1, h - Percent(h, 55));
    c.FillRect(x + w / 2 - half, y + row, half, 1, 0x2F8F3A);
    c.FillRect(x + w / 2, y + row, half, 1, kGreen);
  }
  DrawCheck(c, x + Percent(w, 25), y + Percent(h, 25), Percent(w, 50), kWhite);
}

void DrawChecklist(Canvas& c, int x, int y, int w) {
  int h = Percent(w, 140);
  c.FillRect(x, y, w, h, 0xB07A3C);
  c.FillRect(x + Percent(w, 8), y + Percent(w, 10), Percent(w, 84), h - Percent(w, 16), kWhite);
  c.FillRect(x + Percent(w, 30), y - Percent(w, 4), Percent(w, 40), Percent(w, 12), kSteel);
  c.FrameRect(x + Percent(w, 30), y - Percent(w, 4), Percent(w, 40), Percent(w, 12), kOutline);
  int rowH = (h - Percent(w, 30)) / 4;
  for (int row = 0; row < 4; ++row) {
    int top = y + Percent(w, 20) + row * rowH;
    int box = Percent(w, 16);
    c.FrameRect(x + Percent(w, 14), top, box, box, kOutline);
    DrawCheck(c, x + Percent(w, 14) + 2, top + 1, box - 3, kGreen);
    c.FillRect(x + Percent(w, 38), top + box / 2 - 1, Percent(w, 46), std::max(2, Percent(w, 4)), kPaperLine);
  }
}

void DrawArrowDown(Canvas& c, int cx, int top, int bottom, int w, std::uint32_t color) {
  int head = w;
  c.FillRect(cx - w / 4, top, w / 2, bottom - top - head / 2, color);
  c.FillTriangle(cx - w, bottom - head, cx + w, bottom - head, cx, bottom, color);
}

void DrawWaves(Canvas& c, int cx, int cy, int first, int step, int count, std::uint32_t color) {
  int pen = std::max(2, step / 3);
  for (int i = 0; i < count; ++i) c.UpperArc(cx, cy, first + i * step, first + i * step + pen, color);
}

void DrawNetwork(Canvas& c, int cx, int cy, int spread, int node) {
  const int nodes[4][2] = {{-spread, -spread}, {spread, -spread}, {-spread, spread}, {spread, spread}};
  for (auto& n : nodes) c.Line(cx, cy, cx + n[0], cy + n[1], kWhite, std::max(2, node / 4));
  for (auto& n : nodes) {
    c.FillCircle(cx + n[0], cy + n[1], node, kWhite);
    c.FillCircle(cx + n[0], cy + n[1], node - std::max(2, node / 4), kSky);
  }
  c.FillCircle(cx, cy, node + node / 2, kOrange);
  c.FillCircle(cx, cy, node, 0xF8C27A);
}

// ---------------------------------------------------------------------------
// Side pictures: 140 x 420, the product's name at the top, the page's motif in the
// middle and the wizard's progress as a row of dots at the bottom.
// ---------------------------------------------------------------------------

constexpr int kSideWidth = 140;
constexpr int kSideHeight = 420;
constexpr int kSteps = 9;

void DrawSideBase(Canvas& c, int step) {
  c.VerticalGradient(0, 0, c.width(), c.height(), kNavy, kSky);
  c.BlendCircle(112, 96, 70, kWhite, 22);
  c.BlendCircle(18, 340, 92, kWhite, 16);
  int name = PixelTextWidth("VEK", 4);
  c.ShadowText((kSideWidth - name) / 2, 22, "VEK", 4, kWhite, kShadow);
  int sub = PixelTextWidth("Setup Wizard", 1);
  c.Text((kSideWidth - sub) / 2, 60, "Setup Wizard", 1, kPale);
  c.FillRect(20, 74, 100, 2, kOrange);
  int spacing = 12, left = (kSideWidth - (kSteps - 1) * spacing) / 2;
  for (int i = 0; i < kSteps; ++i) {
    int x = left + i * spacing;
    if (i == step)
      c.FillCircle(x, 400, 4, kOrange);
    else
      c.FillCircle(x, 400, 3, i < step ? kWhite : 0x9BC3DA);
  }
}

void CaptionBelow(Canvas& c, int y, std::string_view text) {
  c.ShadowText((kSideWidth - PixelTextWidth(text, 2)) / 2, y, text, 2, kWhite, kShadow);
}

void SideWelcome(std::uint32_t* pixels, int width, int height) {
  Canvas c(pixels, width, height);
  DrawSideBase(c, 0);
  DrawPrinter(c, 25, 112, 90);
  c.Line(70, 180, 70, 268, kDark, 3);  // printer cable
  DrawServer(c, 35, 262, 70);
  c.Line(70, 293, 70, 340, kWhite, 3);  // to the network
  c.FillRect(30, 340, 80, 3, kWhite);
  CaptionBelow(c, 356, "Welcome");
}

void SideServerList(std::uint32_t* pixels, int width, int height) {
  Canvas c(pixels, width, height);
  DrawSideBase(c, 1);
  c.FillRect(68, 104, 4, 260, kWhite);  // the network
  for (int i = 0; i < 3; ++i) {
    int y = 128 + i * 82;
    bool left = i % 2 == 0;
    int x = left ? 12 : 78;
    c.FillRect(left ? 50 : 70, y + 10, 20, 3, kWhite);
    DrawServer(c, x, y, 50);
  }
  DrawMagnifier(c, 92, 200, 22);
}

void SideLogin(std::uint32_t* pixels, int width, int height) {
  Canvas c(pixels, width, height);
  DrawSideBase(c, 2);
  DrawPadlock(c, 35, 130, 70);
  c.FillRect(20, 300, 100, 30, kWhite);
  c.FrameRect(20, 300, 100, 30, kOutline);
  c.Text((kSideWidth - PixelTextWidth("****", 3)) / 2, 305, "****", 3, kDark);
}

void SideWireless(std::uint32_t* pixels, int width, int height) {
  Canvas c(pixels, width, height);
  DrawSideBase(c, 3);
  int tipX = 0, tipY = 0;
  DrawServer(c, 8, 280, 84, true, &tipX, &tipY);
  DrawWaves(c, tipX, tipY, 14, 16, 4, kWhite);
  CaptionBelow(c, 110, "Wireless");
}

void SideTcpip(std::uint32_t* pixels, int width, int height) {
  Canvas c(pixels, width, height);
  DrawSideBase(c, 4);
  DrawNetwork(c, 70, 220, 42, 11);
  CaptionBelow(c, 320, "TCP/IP");
}

void SideSave(std::uint32_t* pixels, int width, int height) {
  Canvas c(pixels, width, height);
  DrawSideBase(c, 5);
  DrawComputer(c, 35, 104, 70);
  DrawArrowDown(c, 70, 172, 238, 12, kOrange);
  DrawServer(c, 30, 246, 80);
  c.FillRect(20, 312, 100, 12, kWhite);
  c.FrameRect(20, 312, 100, 12, kOutline);
  c.FillRect(22, 314, 60, 8, kGreen);
}

void SidePrinter(std::uint32_t* pixels, int width, int height) {
  Canvas c(pixels, width, height);
  DrawSideBase(c, 6);
  DrawPrinter(c, 15, 150, 110);
}

void SideSummary(std::uint32_t* pixels, int width, int height) {
  Canvas c(pixels, width, height);
  DrawSideBase(c, 7);
  DrawChecklist(c, 25, 120, 90);
}

void SideFinish(std::uint32_t* pixels, int width, int height) {
  Canvas c(pixels, width, height);
  DrawSideBase(c, 8);
  DrawPrinter(c, 25, 108, 90);
  c.FillCircle(70, 292, 36, kWhite);
  c.FillCircle(70, 292, 32, kGreen);
  DrawCheck(c, 52, 274, 36, kWhite);
}

// ---------------------------------------------------------------------------
// Title banners: a gradient bar with the page's icon and title.
// ---------------------------------------------------------------------------

enum class Icon { Printer, Magnifier, Padlock, Network, Save, Checklist, Check, Waves, Key, Shield };

void DrawBanner(Canvas& c, Icon icon, std::string_view title) {
  c.HorizontalGradient(0, 0, c.width(), c.height(), kNavy, kBannerRight);
  c.FillRect(4, 4, 28, 28, 0xF4F7FA);
  c.FrameRect(4, 4, 28, 28, kShadow);
  switch (icon) {
    case Icon::Printer:
      DrawPrinter(c, 7, 9, 22);
      break;
    case Icon::Magnifier:
      DrawMagnifier(c, 15, 15, 7);
      break;
    case Icon::Padlock:
      DrawPadlock(c, 10, 6, 16);
      break;
    case Icon::Network:
      c.FillRect(5, 5, 26, 26, kNavy);
      DrawNetwork(c, 18, 18, 8, 3);
      break;
    case Icon::Save:
      DrawArrowDown(c, 18, 6, 19, 5, kOrange);
      DrawServer(c, 8, 20, 20);
      break;
    case Icon::Checklist:
      DrawChecklist(c, 11, 8, 14);
      break;
    case Icon::Check:
      DrawCheck(c, 9, 9, 18, kGreen);
      break;
    case Icon::Waves: {
      int tipX = 0, tipY = 0;
      DrawServer(c, 8, 24, 16, true, &tipX, &tipY);
      DrawWaves(c, tipX, tipY, 4, 5, 3, kNavy);
      break;
    }
    case Icon::Key:
      DrawKey(c, 6, 10, 24);
      break;
    case Icon::Shield:
      DrawShield(c, 9, 6, 18);
      break;
  }
  c.ShadowText(40, 11, title, 2, kWhite, kShadow);
  c.FillRect(0, c.height() - 2, c.width(), 2, kOrange);
}

constexpr int kBannerWidth = 288;
constexpr int kBannerHeight = 36;

template <Icon icon, const char* title>
void BannerPicture(std::uint32_t* pixels, int width, int height) {
  Canvas c(pixels, width, height);
  DrawBanner(c, icon, title);
}

// Each banner's title is also the text a character-cell front end shows for it.
constexpr char kTitleServerList[] = "Select Print Server";
constexpr char kTitleWelcome[] = "Welcome";
constexpr char kTitleLogin[] = "Administrator Login";
constexpr char kTitleTcpip[] = "TCP/IP Settings";
constexpr char kTitleSave[] = "Save Settings";
constexpr char kTitlePrinter[] = "Select Printer";
constexpr char kTitleSummary[] = "Summary";
constexpr char kTitleFinish[] = "Setup Complete";
constexpr char kTitleWirelessBasic[] = "Wireless Settings";
constexpr char kTitleWirelessWep[] = "WEP Encryption";
constexpr char kTitleWireless8021x[] = "802.1X Settings";
constexpr char kTitleWirelessWpaPsk[] = "WPA-PSK Settings";
constexpr char kTitleWirelessSecurity[] = "Wireless Security";

// ---------------------------------------------------------------------------
// Search animation: a magnifier circling over a print server that sends out waves.
// ---------------------------------------------------------------------------

void SearchAnimation(std::uint32_t* pixels, int width, int height) {
  Canvas strip(pixels, width, height);
  strip.FillRect(0, 0, width, height, kDialogFace);
  // One eighth of a turn per frame, radius 6 around (29, 14).
  static constexpr int kOrbit[kSearchAnimationFrames][2] = {{6, 0},  {4, 4},   {0, 6},  {-4, 4},
                                                            {-6, 0}, {-4, -4}, {0, -6}, {4, -4}};
  int side = kSearchAnimationFrameSize;
  for (int frame = 0; frame < kSearchAnimationFrames; ++frame) {
    // Each frame draws only inside its own square, so no frame bleeds into the next.
    std::uint32_t cell[kSearchAnimationFrameSize * kSearchAnimationFrameSize];
    Canvas c(cell, side, side);
    c.FillRect(0, 0, side, side, kDialogFace);
    int tipX = 0, tipY = 0;
    DrawServer(c, 3, 36, 26, true, &tipX, &tipY);
    DrawWaves(c, tipX, tipY, 4, 5, frame % 3 + 1, kNavy);
    DrawMagnifier(c, 29 + kOrbit[frame][0], 14 + kOrbit[frame][1], 7);
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) strip.Set(frame * side + x, y, cell[y * side + x]);
  }
}

constexpr BitmapResource kPictures[] = {
    {IDR_SEARCH_ANIMATION, kSearchAnimationFrameSize* kSearchAnimationFrames, kSearchAnimationFrameSize, 24,
     "Searching...", SearchAnimation},
    {IDB_SIDE_WELCOME, kSideWidth, kSideHeight, 24, "VEK Setup: Welcome", SideWelcome},
    {IDB_SIDE_SERVER_LIST, kSideWidth, kSideHeight, 24, "VEK Setup: Print Servers", SideServerList},
    {IDB_SIDE_LOGIN, kSideWidth, kSideHeight, 24, "VEK Setup: Login", SideLogin},
    {IDB_SIDE_PRINTER, kSideWidth, kSideHeight, 24, "VEK Setup: Printer", SidePrinter},
    {IDB_SIDE_SUMMARY, kSideWidth, kSideHeight, 24, "VEK Setup: Summary", SideSummary},
    {IDB_SIDE_SAVE, kSideWidth, kSideHeight, 24, "VEK Setup: Saving", SideSave},
    {IDB_SIDE_FINISH, kSideWidth, kSideHeight, 24, "VEK Setup: Complete", SideFinish},
    {IDB_SIDE_TCPIP, kSideWidth, kSideHeight, 24, "VEK Setup: TCP/IP", SideTcpip},
    {IDB_SIDE_WIRELESS, kSideWidth, kSideHeight, 24, "VEK Setup: Wireless", SideWireless},
    {IDB_TITLE_SERVER_LIST, kBannerWidth, kBannerHeight, 24, kTitleServerList,
     BannerPicture<Icon::Magnifier, kTitleServerList>},
    {IDB_TITLE_WELCOME, kBannerWidth, kBannerHeight, 24, kTitleWelcome, BannerPicture<Icon::Printer, kTitleWelcome>},
    {IDB_TITLE_LOGIN, kBannerWidth, kBannerHeight, 24, kTitleLogin, BannerPicture<Icon::Padlock, kTitleLogin>},
    {IDB_TITLE_TCPIP, kBannerWidth, kBannerHeight, 24, kTitleTcpip, BannerPicture<Icon::Network, kTitleTcpip>},
    {IDB_TITLE_SAVE, kBannerWidth, kBannerHeight, 24, kTitleSave, BannerPicture<Icon::Save, kTitleSave>},
    {IDB_TITLE_PRINTER, kBannerWidth, kBannerHeight, 24, kTitlePrinter, BannerPicture<Icon::Printer, kTitlePrinter>},
    {IDB_TITLE_SUMMARY, kBannerWidth, kBannerHeight, 24, kTitleSummary, BannerPicture<Icon::Checklist, kTitleSummary>},
    {IDB_TITLE_FINISH, kBannerWidth, kBannerHeight, 24, kTitleFinish, BannerPicture<Icon::Check, kTitleFinish>},
    {IDB_TITLE_WL_BASIC, kBannerWidth, kBannerHeight, 24, kTitleWirelessBasic,
     BannerPicture<Icon::Waves, kTitleWirelessBasic>},
    {IDB_TITLE_WL_WEP, kBannerWidth, kBannerHeight, 24, kTitleWirelessWep, BannerPicture<Icon::Key, kTitleWirelessWep>},
    {IDB_TITLE_WL_8021X, kBannerWidth, kBannerHeight, 24, kTitleWireless8021x,
     BannerPicture<Icon::Padlock, kTitleWireless8021x>},
    {IDB_TITLE_WL_WPAPSK, kBannerWidth, kBannerHeight, 24, kTitleWirelessWpaPsk,
     BannerPicture<Icon::Key, kTitleWirelessWpaPsk>},
    {IDB_TITLE_WL_SECURITY, kBannerWidth, kBannerHeight, 24, kTitleWirelessSecurity,
     BannerPicture<Icon::Shield, kTitleWirelessSecurity>},
};

}  // namespace

std::span<const BitmapResource> Pictures() { return kPictures; }

}  // namespace vek::wizard
