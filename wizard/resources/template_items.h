// Builders for the items of the dialogs' layouts, with the styles a dialog editor
// gives each kind of control. An item built without a text takes its text from
// the language (dialog_texts_*.cpp). Private to the resource tables.
#pragma once

#include "framework/control_defs.h"
#include "framework/dialog_layout.h"
#include "framework/message_box.h"
#include "framework/styles.h"
#include "wizard/resources/resource_ids.h"

namespace vek::wizard::items {

using vek::framework::DialogItemTemplate;

inline constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

// Every wizard page: 400 x 300, font "System" 10, a child window inside the sheet.
inline constexpr short kPageWidth = 400;
inline constexpr short kPageHeight = 300;
inline constexpr DWORD kPageStyle = DS_SETFONT | WS_CHILD | WS_CAPTION;
inline constexpr const char* kPageFont = "System";
inline constexpr WORD kPageFontSize = 10;

// Left text column of the pages, right of the side picture.
inline constexpr short kLeft = 124;

constexpr DialogItemTemplate Text(int id, short x, short y, short cx, short cy, DWORD extra = 0) {
  return {WC_STATIC, nullptr, id, x, y, cx, cy, kChild | SS_LEFT | WS_GROUP | extra};
}

// The page's title banner in static 1058.
constexpr DialogItemTemplate Banner(int bitmap) {
  return {WC_STATIC, "", IDC_TITLE_BANNER, kLeft, 10, 195, 25, kChild | SS_BITMAP, 0, static_cast<UINT>(bitmap)};
}

// The hidden frame that marks the side picture's area.
constexpr DialogItemTemplate SideFrame() {
  return {WC_STATIC, "", IDC_SIDE_FRAME, 7, 7, 92, 286, WS_CHILD | SS_BLACKFRAME};
}

// A static the page writes into; no language gives it a text.
constexpr DialogItemTemplate Blank(int id, short x, short y, short cx, short cy) {
  return {WC_STATIC, "", id, x, y, cx, cy, kChild | SS_LEFT | WS_GROUP};
}

// An untitled group box around a note.
constexpr DialogItemTemplate Frame(int id, short x, short y, short cx, short cy) {
  return {WC_BUTTON, "", id, x, y, cx, cy, kChild | BS_GROUPBOX};
}

constexpr DialogItemTemplate GroupBox(int id, short x, short y, short cx, short cy) {
  return {WC_BUTTON, nullptr, id, x, y, cx, cy, kChild | BS_GROUPBOX};
}

constexpr DialogItemTemplate PushButton(int id, short x, short y, short cx, short cy, DWORD visible = WS_VISIBLE) {
  return {WC_BUTTON, nullptr, id, x, y, cx, cy, WS_CHILD | visible | BS_PUSHBUTTON | WS_TABSTOP};
}

constexpr DialogItemTemplate DefPushButton(int id, short x, short y, short cx, short cy, DWORD visible = WS_VISIBLE) {
  return {WC_BUTTON, nullptr, id, x, y, cx, cy, WS_CHILD | visible | BS_DEFPUSHBUTTON | WS_TABSTOP};
}

constexpr DialogItemTemplate CheckBox(int id, short x, short y, short cx, short cy) {
  return {WC_BUTTON, nullptr, id, x, y, cx, cy, kChild | BS_AUTOCHECKBOX | WS_TABSTOP};
}

// The first radio button of a group starts the group and takes the tab stop.
constexpr DialogItemTemplate FirstRadio(int id, short x, short y, short cx, short cy) {
  return {WC_BUTTON, nullptr, id, x, y, cx, cy, kChild | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP};
}

constexpr DialogItemTemplate Radio(int id, short x, short y, short cx, short cy) {
  return {WC_BUTTON, nullptr, id, x, y, cx, cy, kChild | BS_AUTORADIOBUTTON};
}

constexpr DialogItemTemplate Edit(int id, short x, short y, short cx, short cy, DWORD extra = 0) {
  return {WC_EDIT, "", id, x, y, cx, cy, kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | extra};
}

// Masked key and password edits.
constexpr DialogItemTemplate PasswordEdit(int id, short x, short y, short cx, short cy, DWORD tabStop = WS_TABSTOP) {
  return {WC_EDIT, "", id, x, y, cx, cy, kChild | ES_LEFT | ES_AUTOHSCROLL | ES_PASSWORD | WS_BORDER | tabStop};
}

// A read-only edit without a border: a status line the page writes into.
constexpr DialogItemTemplate StatusLine(int id, short x, short y, short cx, short cy, DWORD visible = WS_VISIBLE) {
  return {WC_EDIT, "", id, x, y, cx, cy, WS_CHILD | visible | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY};
}

// Drop-down lists; never sorted, the pages rely on the order of their items.
constexpr DialogItemTemplate DropList(int id, short x, short y, short cx, short cy) {
  return {WC_COMBOBOX, "", id, x, y, cx, cy, kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP};
}

constexpr DialogItemTemplate ReportList(int id, short x, short y, short cx, short cy, DWORD extra) {
  return {WC_LISTVIEW, "", id, x, y, cx, cy, kChild | LVS_REPORT | WS_BORDER | WS_TABSTOP | extra};
}

constexpr DialogItemTemplate IpAddress(int id, short x, short y, short cx, short cy) {
  return {WC_IPADDRESS, "", id, x, y, cx, cy, kChild | WS_TABSTOP};
}

constexpr DialogItemTemplate Progress(int id, short x, short y, short cx, short cy, DWORD visible = WS_VISIBLE) {
  return {PROGRESS_CLASS, "", id, x, y, cx, cy, WS_CHILD | visible | WS_BORDER};
}

constexpr DialogItemTemplate Animation(int id, short x, short y, short cx, short cy) {
  return {ANIMATE_CLASS, "", id, x, y, cx, cy, kChild | ACS_CENTER | ACS_TRANSPARENT | ACS_AUTOPLAY | WS_TABSTOP};
}

}  // namespace vek::wizard::items
