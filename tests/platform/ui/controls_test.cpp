// The controls' own behaviour, driven on the test's thread: what the user can do,
// what code can do, and which of the two the parent hears about.
#include <gtest/gtest.h>

#include "framework/framework.h"

namespace {

using namespace vek::framework;

// A parent that counts the notifications of its children.
class CParentWnd : public CFrameWnd {
 public:
  std::vector<UINT> commands;
  std::vector<NMLISTVIEW> listChanges;
  int spins = 0;
  bool refuseSpin = false;
  BOOL OnCommand(WPARAM wParam, LPARAM) override {
    commands.push_back(HIWORD(wParam));
    return TRUE;
  }
  BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* result) override {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == LVN_ITEMCHANGED) listChanges.push_back(*reinterpret_cast<NMLISTVIEW*>(lParam));
    if (header->code == UDN_DELTAPOS) {
      ++spins;
      *result = refuseSpin ? 1 : 0;
    }
    return TRUE;
  }
};

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = new CParentWnd;
    parent->Create(nullptr, "parent");
  }
  void TearDown() override { parent->DestroyWindow(); }
  HWND Make(const char* className, DWORD style, int id = 100) {
    return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 100, 100, parent->m_hWnd,
                           reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
  }
  std::string Text(HWND window) {
    char buffer[256];
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
  }
  CParentWnd* parent = nullptr;
};

TEST_F(ControlsTest, EditLimitSelectionAndStyles) {
  HWND edit = Make(WC_EDIT, ES_UPPERCASE);
  SendMessageA(edit, EM_LIMITTEXT, 4, 0);
  for (char c : std::string("abcdef")) SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 0);
  EXPECT_EQ(Text(edit), "ABCD");
  SendMessageA(edit, EM_SETSEL, 1, 3);
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1u);
  EXPECT_EQ(end, 3u);
  SendMessageA(edit, WM_CHAR, 'z', 0);  // replaces the selection
  EXPECT_EQ(Text(edit), "AZD");
  SendMessageA(edit, WM_CHAR, VK_BACK, 0);
  EXPECT_EQ(Text(edit), "AD");
  SetWindowTextA(edit, "longer than four");  // code is not bounded by the limit
  EXPECT_EQ(Text(edit), "longer than four");
  SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
  SendMessageA(edit, WM_CHAR, 'q', 0);
  EXPECT_EQ(Text(edit), "longer than four");
  SendMessageA(edit, EM_SETREADONLY, FALSE, 0);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, VEK_UM_PASTE, 0, reinterpret_cast<LPARAM>("pasted text"));
  EXPECT_EQ(Text(edit), "PAST");  // a paste is bounded like typing
  HWND password = Make(WC_EDIT, ES_PASSWORD, 101);
  EXPECT_EQ(SendMessageA(password, EM_GETPASSWORDCHAR, 0, 0), '*');
  HWND digits = Make(WC_EDIT, ES_NUMBER, 102);
  for (char c : std::string("1a2")) SendMessageA(digits, WM_CHAR, static_cast<WPARAM>(c), 0);
  EXPECT_EQ(Text(digits), "12");
}

TEST_F(ControlsTest, RadioGroupsAndCheckBoxes) {
  HWND a = Make(WC_BUTTON, BS_AUTORADIOBUTTON | WS_GROUP, 1);
  HWND b = Make(WC_BUTTON, BS_AUTORADIOBUTTON, 2);
  HWND other = Make(WC_BUTTON, BS_AUTORADIOBUTTON | WS_GROUP, 3);
  HWND check = Make(WC_BUTTON, BS_AUTOCHECKBOX | WS_GROUP, 4);
  SendMessageA(other, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(a, VEK_UM_CLICK, 0, 0);
  SendMessageA(b, VEK_UM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageA(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(other, BM_GETCHECK, 0, 0), BST_CHECKED);  // another group
  SendMessageA(check, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(parent->commands, (std::vector<UINT>{BN_CLICKED, BN_CLICKED, BN_CLICKED}));
  EnableWindow(check, FALSE);
  SendMessageA(check, VEK_UM_CLICK, 0, 0);  // a disabled button ignores the user
  EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(ControlsTest, ComboBoxItemsDataAndSelection) {
  HWND combo = Make(WC_COMBOBOX, CBS_DROPDOWNLIST | CBS_SORT);
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("b"));
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a"));
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("c"));
  EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("B")), 1);
  SendMessageA(combo, CB_SETITEMDATA, 2, 77);
  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 9, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), -1);
  SendMessageA(combo, CB_SETCURSEL, 2, 0);
  EXPECT_EQ(Text(combo), "c");
  EXPECT_TRUE(parent->commands.empty());
  SendMessageA(combo, VEK_UM_SELECT, 0, 0);
  EXPECT_EQ(Text(combo), "a");
  EXPECT_EQ(parent->commands, std::vector<UINT>{CBN_SELCHANGE});
  EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 2, 0), 77);
  SendMessageA(combo, CB_DELETESTRING, 0, 0);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), -1);
}

TEST_F(ControlsTest, ListViewReportModeSelectionAndNotifications) {
  CListCtrl list;
  list.Attach(Make(WC_LISTVIEW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS));
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
  list.InsertColumn(1, u"IP Address", LVCFMT_LEFT, 90);
  EXPECT_EQ(list.InsertItem(0, "PS-1"), 0);
  EXPECT_EQ(list.InsertItem(1, u"PS-2"), 1);
  list.SetItemText(1, 1, "10.0.0.2");
  list.SetItemData(1, 42);
  EXPECT_EQ(list.GetItemText(1, 1), "10.0.0.2");
  EXPECT_EQ(list.GetItemTextW(1, 0), u"PS-2");
  EXPECT_EQ(list.GetItemData(1), 42u);
  EXPECT_EQ(list.GetExtendedStyle(), LVS_EX_FULLROWSELECT);
  list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
  SendMessageA(list.m_hWnd, VEK_UM_SELECT, 1, 0);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
  EXPECT_EQ(list.GetSelectedCount(), 1u);
  POSITION p = list.GetFirstSelectedItemPosition();
  EXPECT_EQ(list.GetNextSelectedItem(p), 1);
  EXPECT_EQ(p, nullptr);
  // Row 0 selected by code, then row 0 deselected and row 1 selected by the user.
  ASSERT_GE(parent->listChanges.size(), 3u);
  EXPECT_EQ(parent->listChanges[0].iItem, 0);
  EXPECT_TRUE(parent->listChanges[0].uNewState & LVIS_SELECTED);
  EXPECT_EQ(parent->listChanges.back().iItem, 1);
  EXPECT_EQ(parent->listChanges.back().lParam, 42);
  list.DeleteAllItems();
  EXPECT_EQ(list.GetItemCount(), 0);
  list.Detach();
}

TEST_F(ControlsTest, ProgressUpDownTabAndIpAddress) {
  CProgressCtrl progress;
  progress.Attach(Make(PROGRESS_CLASS, 0, 1));
  progress.SetRange(0, 40);
  progress.SetStep(15);
  progress.StepIt();
  progress.StepIt();
  EXPECT_EQ(progress.GetPos(), 30);
  progress.StepIt();  // past the end: around again
  EXPECT_EQ(progress.GetPos(), 5);
  progress.SetPos(99);
  EXPECT_EQ(progress.GetPos(), 40);
  progress.Detach();

  HWND buddy = Make(WC_EDIT, 0, 2);
  CSpinButtonCtrl spin;
  spin.Attach(Make(UPDOWN_CLASS, UDS_SETBUDDYINT, 3));
  spin.SetBuddy(CWnd::FromHandle(buddy));
  spin.SetRange(30, 120);
  spin.SetPos(119);
  EXPECT_EQ(Text(buddy), "119");
  SendMessageA(spin.m_hWnd, VEK_UM_SPIN, 1, 0);
  SendMessageA(spin.m_hWnd, VEK_UM_SPIN, 1, 0);
  EXPECT_EQ(spin.GetPos(), 120);
  parent->refuseSpin = true;
  SendMessageA(spin.m_hWnd, VEK_UM_SPIN, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(spin.GetPos(), 120);
  EXPECT_EQ(parent->spins, 3);
  spin.Detach();

  CTabCtrl tabs;
  tabs.Attach(Make(WC_TABCONTROL, 0, 4));
  tabs.InsertItem(0, "IPX");
  tabs.InsertItem(1, u"TCP/IP");
  EXPECT_EQ(tabs.GetCurSel(), 0);
  tabs.SetCurSel(1);
  TCITEMA item{};
  char text[16];
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  tabs.GetItem(1, &item);
  EXPECT_STREQ(text, "TCP/IP");
  tabs.Detach();

  CIPAddressCtrl address;
  address.Attach(Make(WC_IPADDRESS, 0, 5));
  address.SetWindowText("192.168.1.300");
  BYTE b1, b2, b3, b4;
  EXPECT_EQ(address.GetAddress(b1, b2, b3, b4), 4);
  EXPECT_EQ(b1, 192);
  EXPECT_EQ(b4, 255);
  address.ClearAddress();
  EXPECT_TRUE(address.IsBlank());
  for (char c : std::string("10.1.2.3")) SendMessageA(address.m_hWnd, WM_CHAR, static_cast<WPARAM>(c), 0);
  DWORD value = 0;
  address.GetAddress(value);
  EXPECT_EQ(value, MAKEIPADDRESS(10, 1, 2, 3));
  // Focused again, typing begins at the first field, not where it stopped.
  SetFocus(buddy);
  SetFocus(address.m_hWnd);
  for (char c : std::string("172.16.0.9")) SendMessageA(address.m_hWnd, WM_CHAR, static_cast<WPARAM>(c), 0);
  address.GetAddress(value);
  EXPECT_EQ(value, MAKEIPADDRESS(172, 16, 0, 9));
  address.Detach();
}

}  // namespace

namespace {

using namespace vek::framework;

// A parent that keeps what its owner-drawn children asked it to draw.
class CDrawingParent : public CFrameWnd {
 public:
  std::vector<DRAWITEMSTRUCT> items;
  void OnDrawItem(int, LPDRAWITEMSTRUCT item) {
    items.push_back(*item);
    FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDrawingParent, CFrameWnd)
  ON_WM_DRAWITEM()
END_MESSAGE_MAP()

TEST(OwnerDrawn, TabsAndListRowsAreDrawnByTheParent) {
  auto* parent = new CDrawingParent;
  parent->Create(nullptr, "owner");
  HWND tabs = CreateWindowExA(0, WC_TABCONTROL, "", WS_CHILD | WS_VISIBLE | TCS_OWNERDRAWFIXED, 0, 0, 300, 30,
                              parent->m_hWnd, reinterpret_cast<HMENU>(7), nullptr, nullptr);
  CTabCtrl tab;
  tab.Attach(tabs);
  tab.InsertItem(0, "IPX");
  tab.InsertItem(1, "TCP/IP");
  tab.SetCurSel(1);
  UpdateWindow(tabs);
  ASSERT_EQ(parent->items.size(), 2u);
  EXPECT_EQ(parent->items[0].CtlType, ODT_TAB);
  EXPECT_EQ(parent->items[1].itemState & ODS_SELECTED, ODS_SELECTED);
  EXPECT_EQ(parent->items[0].itemState & ODS_SELECTED, 0u);
  EXPECT_GT(parent->items[1].rcItem.left, parent->items[0].rcItem.left);
  // The control's record holds what the parent drew into it.
  EXPECT_EQ(RecordedDrawing(tabs).size(), 2u);
  tab.Detach();

  parent->items.clear();
  HWND rows = CreateWindowExA(0, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED, 0, 40, 300,
                              200, parent->m_hWnd, reinterpret_cast<HMENU>(8), nullptr, nullptr);
  CListCtrl list;
  list.Attach(rows);
  list.InsertColumn(0, "Name");
  list.InsertItem(0, "a");
  list.InsertItem(1, "b");
  list.SetItemData(1, 99);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  UpdateWindow(rows);
  ASSERT_EQ(parent->items.size(), 2u);
  EXPECT_EQ(parent->items[1].CtlType, ODT_LISTVIEW);
  EXPECT_EQ(parent->items[1].itemData, 99u);
  EXPECT_EQ(parent->items[1].itemState & ODS_SELECTED, ODS_SELECTED);
  EXPECT_EQ(parent->items[1].rcItem.top, parent->items[0].rcItem.bottom);
  list.Detach();
  parent->DestroyWindow();
}

}  // namespace
