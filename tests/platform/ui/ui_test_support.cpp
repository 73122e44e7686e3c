#include "ui_test_support.h"

#include <chrono>

namespace vek::test {

using namespace vek::framework;

UiThread::UiThread(std::function<INT_PTR()> body)
    : m_thread([this, body] {
        m_result = body();
        m_finished = true;
      }) {}

UiThread::~UiThread() {
  if (m_thread.joinable()) m_thread.join();
}

bool UiThread::WaitForWindow(DWORD timeoutMs) const {
  vek::ui::HeadlessDriver driver;
  return vek::ui::HeadlessDriver::WaitFor([&] { return driver.ActiveWindow() != nullptr; }, timeoutMs) &&
         driver.Settle();
}

INT_PTR UiThread::Join(DWORD timeoutMs) {
  if (!vek::ui::HeadlessDriver::WaitFor([&] { return m_finished.load(); }, timeoutMs)) return -999;
  m_thread.join();
  return m_result;
}

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

const DialogItemTemplate kFormItems[] = {
    {WC_EDIT, "", 1001, 10, 10, 100, 12, kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
    {WC_EDIT, "", 1002, 10, 26, 100, 12, kChild | WS_TABSTOP | ES_PASSWORD},
    {WC_BUTTON, "DHCP", 1003, 10, 42, 60, 10, kChild | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON},
    {WC_BUTTON, "Static", 1004, 10, 54, 60, 10, kChild | BS_AUTORADIOBUTTON},
    {WC_BUTTON, "Enable", 1005, 10, 68, 60, 10, kChild | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX},
    {WC_COMBOBOX, "", 1006, 10, 82, 80, 60, kChild | WS_TABSTOP | CBS_DROPDOWNLIST},
    {WC_STATIC, "Label", 1007, 120, 10, 60, 8, kChild},
    {WC_BUTTON, "OK", IDOK, 100, 120, 50, 14, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {WC_BUTTON, "Cancel", IDCANCEL, 160, 120, 50, 14, kChild | WS_TABSTOP},
};

const DialogItemTemplate kPageItems[] = {
    {WC_STATIC, "", 1058, 160, 4, 236, 20, kChild | SS_BITMAP, 0, 700},
    {WC_STATIC, "", 1031, 4, 4, 92, 285, WS_CHILD | SS_BLACKFRAME},
    {WC_EDIT, "", 1001, 160, 40, 100, 12, kChild | WS_TABSTOP},
};

const DialogItemTemplate kTimerItems[] = {
    {WC_STATIC, "", 1032, 10, 10, 100, 10, kChild},
    {WC_BUTTON, "OK", IDOK, 10, 30, 50, 14, WS_CHILD | BS_DEFPUSHBUTTON},
    {WC_BUTTON, "Cancel", IDCANCEL, 70, 30, 50, 14, WS_CHILD},
};

constexpr DWORD kPopup = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
constexpr DWORD kPage = WS_CHILD | WS_CAPTION;

const DialogTemplate kTemplates[] = {
    {900, 0x09, 0, 0, 220, 140, kPopup, 0, "Form", "MS Sans Serif", 8, kFormItems, std::size(kFormItems)},
    {910, 0x09, 0, 0, 400, 300, kPage, 0, "VEK Setup Wizard", "System", 10, kPageItems, std::size(kPageItems)},
    {911, 0x09, 0, 0, 400, 300, kPage, 0, "VEK Setup Wizard", "System", 10, kPageItems, std::size(kPageItems)},
    {912, 0x09, 0, 0, 400, 300, kPage, 0, "VEK Setup Wizard", "System", 10, kPageItems, std::size(kPageItems)},
    {913, 0x09, 0, 0, 400, 300, kPage, 0, "VEK Setup Wizard", "System", 10, kPageItems, std::size(kPageItems)},
    {920, 0x09, 0, 0, 196, 46, WS_POPUP | DS_MODALFRAME, WS_EX_TOOLWINDOW, "", "Arial", 8, kTimerItems,
     std::size(kTimerItems)},
};

void DrawPlain(std::uint32_t* pixels, int width, int height) {
  for (int i = 0; i < width * height; ++i) pixels[i] = 0x336699;
}

const BitmapResource kBitmaps[] = {
    {700, 472, 32, 24, "Banner", DrawPlain},
    {701, 140, 420, 24, "Side", DrawPlain},
};

}  // namespace

void RegisterTestTemplates() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterDialogTemplates(kTemplates, std::size(kTemplates));
  RegisterBitmaps(kBitmaps, std::size(kBitmaps));
}

}  // namespace vek::test
