// Reading real windows into the plain nodes the renderer draws: each control's
// state, the stack of top-level windows and the popups they own, what windows drew.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "terminal_test_support.h"

namespace {

using namespace vek::test::terminal;
using namespace vek::framework;

constexpr UINT kBanner = 7201;

void DrawNothing(std::uint32_t*, int, int) {}

void RegisterPictures() {
  static const BitmapResource bitmaps[] = {{kBanner, 30, 20, 24, "Banner title", DrawNothing}};
  static bool done = (RegisterBitmaps(bitmaps, std::size(bitmaps)), true);
  (void)done;
}

HBITMAP Picture(UINT id) { return LoadBitmapA(nullptr, reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(id))); }

class TerminalSnapshot : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterPictures();
    dialog = CreateWindowExA(0, WC_DIALOG, "Snapshot", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(dialog, nullptr);
  }
  void TearDown() override { DestroyWindow(dialog); }

  HWND Make(const char* className, const char* text, DWORD style, int id, RECT r = RECT{0, 0, 60, 20}) {
    return CreateWindowExA(0, className, text, WS_CHILD | style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           dialog, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
  }
  const WindowNode* Child(const WindowNode& parent, HWND hwnd) {
    for (const WindowNode& child : parent.children)
      if (child.hwnd == hwnd) return &child;
    return nullptr;
  }

  HWND dialog = nullptr;
};

TEST_F(TerminalSnapshot, ReadsWhatEachKindOfControlShows) {
  HWND label = Make(WC_STATIC, "Label", WS_VISIBLE | SS_LEFT, 1, RECT{10, 20, 70, 36});
  HWND banner = Make(WC_STATIC, "", WS_VISIBLE | SS_BITMAP, 2);
  SendMessageA(banner, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Picture(kBanner)));
  HWND password = Make(WC_EDIT, "secret", WS_VISIBLE | ES_PASSWORD, 3);
  SendMessageA(password, EM_SETSEL, 1, 3);
  HWND check = Make(WC_BUTTON, "Check", WS_VISIBLE | BS_AUTOCHECKBOX, 4);
  SendMessageA(check, BM_SETCHECK, BST_CHECKED, 0);
  HWND combo = Make(WC_COMBOBOX, "", WS_VISIBLE | CBS_DROPDOWNLIST, 5);
  for (const char* item : {"Raw", "LPR"}) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  SendMessageA(combo, CB_SETCURSEL, 1, 0);
  HWND list = Make(WC_LISTVIEW, "", WS_VISIBLE | LVS_REPORT, 6);
  LVCOLUMNA column{LVCF_TEXT | LVCF_WIDTH, 0, 90, const_cast<char*>("Name"), 0, 0};
  SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  for (int i = 0; i < 2; ++i) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = const_cast<char*>(i == 0 ? "Alpha" : "Beta");
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  LVITEMA state{};
  state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
  HWND progress = Make(PROGRESS_CLASS, "", WS_VISIBLE, 7);
  SendMessageA(progress, PBM_SETRANGE32, 0, 200);
  SendMessageA(progress, PBM_SETPOS, 50, 0);
  HWND animation = Make(ANIMATE_CLASS, "", WS_VISIBLE, 8);
  SendMessageA(animation, ACM_OPENA, 0, 1);
  SendMessageA(animation, ACM_PLAY, 0, 0);
  HWND tab = Make(WC_TABCONTROL, "", WS_VISIBLE, 9);
  for (const char* text : {"General", "Wireless"}) {
    TCITEMA item{TCIF_TEXT, 0, 0, const_cast<char*>(text), 0, 0, 0};
    SendMessageA(tab, TCM_INSERTITEMA, 9, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(tab, TCM_SETCURSEL, 1, 0);
  HWND spin = Make(UPDOWN_CLASS, "", WS_VISIBLE, 10);
  SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(password), 0);
  HWND address = Make(WC_IPADDRESS, "", WS_VISIBLE, 11);
  SendMessageA(address, IPM_SETADDRESS, 0, static_cast<LPARAM>(MAKEIPADDRESS(10, 0, 0, 1)));
  HWND hidden = Make(WC_BUTTON, "Hidden", BS_PUSHBUTTON, 12);
  SetFocus(check);

  WindowNode node = SnapshotWindow(dialog, GetFocus());
  EXPECT_EQ(node.kind, ControlKind::Dialog);
  EXPECT_EQ(node.text, "Snapshot");
  EXPECT_EQ(node.children.size(), 11u);
  EXPECT_EQ(Child(node, hidden), nullptr);

  const WindowNode* n = Child(node, label);
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->kind, ControlKind::Static);
  EXPECT_EQ(n->text, "Label");
  EXPECT_EQ(n->rect.left, 10);
  EXPECT_EQ(n->rect.bottom, 36);
  EXPECT_EQ(Child(node, banner)->pictureTitle, "Banner title");
  n = Child(node, password);
  EXPECT_EQ(n->passwordChar, U'*');
  EXPECT_EQ(n->selStart, 1);
  EXPECT_EQ(n->selEnd, 3);
  EXPECT_EQ(Child(node, check)->check, BST_CHECKED);
  EXPECT_TRUE(Child(node, check)->focused);
  EXPECT_FALSE(Child(node, password)->focused);
  n = Child(node, combo);
  EXPECT_EQ(n->items, (std::vector<std::string>{"Raw", "LPR"}));
  EXPECT_EQ(n->selection, 1);
  n = Child(node, list);
  ASSERT_EQ(n->columns.size(), 1u);
  EXPECT_EQ(n->columns[0].text, "Name");
  EXPECT_EQ(n->columns[0].widthPx, 90);
  ASSERT_EQ(n->rows.size(), 2u);
  EXPECT_EQ(n->rows[1].texts, (std::vector<std::string>{"Beta"}));
  EXPECT_FALSE(n->rows[0].selected);
  EXPECT_TRUE(n->rows[1].selected);
  EXPECT_TRUE(n->rows[1].focused);
  n = Child(node, progress);
  EXPECT_EQ(n->low, 0);
  EXPECT_EQ(n->high, 200);
  EXPECT_EQ(n->position, 50);
  EXPECT_TRUE(Child(node, animation)->playing);
  n = Child(node, tab);
  EXPECT_EQ(n->items, (std::vector<std::string>{"General", "Wireless"}));
  EXPECT_EQ(n->selection, 1);
  EXPECT_EQ(Child(node, spin)->buddy, password);
  EXPECT_EQ(Child(node, address)->text, "10.0.0.1");
  EXPECT_EQ(Child(node, address)->kind, ControlKind::IpAddress);
}

TEST_F(TerminalSnapshot, TheStackHasOwnedPopupsAboveTheirOwnerAndOnlyThisThreadsWindows) {
  HWND popup = CreateWindowExA(0, WC_DIALOG, "Owned", WS_POPUP | WS_VISIBLE, 0, 0, 100, 50, dialog, nullptr, nullptr, nullptr);
  HWND hiddenTop = CreateWindowExA(0, WC_DIALOG, "Hidden", WS_POPUP, 0, 0, 100, 50, nullptr, nullptr, nullptr, nullptr);
  EnableWindow(dialog, FALSE);

  std::atomic<bool> made{false}, done{false};
  std::thread other([&] {
    HWND foreign = CreateWindowExA(0, WC_DIALOG, "Foreign", WS_POPUP | WS_VISIBLE, 0, 0, 100, 50, nullptr, nullptr,
                                   nullptr, nullptr);
    made = true;
    while (!done) std::this_thread::yield();
    DestroyWindow(foreign);
  });
  while (!made) std::this_thread::yield();

  std::vector<WindowNode> stack = SnapshotThreadWindows(GetCurrentThreadId(), nullptr);
  done = true;
  other.join();

  ASSERT_EQ(stack.size(), 2u);
  EXPECT_EQ(stack[0].hwnd, dialog);
  EXPECT_FALSE(stack[0].enabled);
  EXPECT_EQ(stack[1].hwnd, popup);
  EXPECT_TRUE(stack[1].enabled);
  EXPECT_TRUE(stack[0].children.empty());  // the popup is not drawn inside its owner
  DestroyWindow(hiddenTop);
}

TEST_F(TerminalSnapshot, WhatAWindowDrewBecomesShapes) {
  HWND canvas = CreateWindowExA(0, nullptr, "Canvas", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, dialog, nullptr, nullptr, nullptr);
  ASSERT_NE(canvas, nullptr);
  HDC dc = GetDC(canvas);
  RECT background{0, 0, 200, 100}, frame{10, 40, 90, 80};
  FillRect(dc, &background, GetStockObject(WHITE_BRUSH));
  HDC memory = CreateCompatibleDC(dc);
  SelectObject(memory, Picture(kBanner));
  StretchBlt(dc, 0, 0, 60, 39, memory, 0, 0, 30, 20, SRCCOPY);
  DeleteDC(memory);
  TextOutA(dc, 66, 0, "Hello", 5);
  FrameRect(dc, &frame, GetStockObject(BLACK_BRUSH));
  ReleaseDC(canvas, dc);

  WindowNode node = SnapshotWindow(canvas, nullptr);
  EXPECT_EQ(node.kind, ControlKind::Other);
  ASSERT_EQ(node.drawing.size(), 3u);  // the background fill shows nothing
  EXPECT_EQ(node.drawing[0].kind, DrawnShape::Kind::Picture);
  EXPECT_EQ(node.drawing[0].text, "Banner title");
  EXPECT_EQ(node.drawing[0].rect.right, 60);
  EXPECT_EQ(node.drawing[1].kind, DrawnShape::Kind::Text);
  EXPECT_EQ(node.drawing[1].text, "Hello");
  EXPECT_EQ(node.drawing[1].rect.left, 66);
  EXPECT_EQ(node.drawing[2].kind, DrawnShape::Kind::Frame);
  EXPECT_EQ(node.drawing[2].rect.top, 40);
}

}  // namespace
