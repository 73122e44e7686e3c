// The start menu's forms, the pictures stored in them, and its texts (English: the
// CD's menu has one language).
#include <cstdio>
#include <iterator>
#include <mutex>

#include "framework/framework.h"
#include "kernel/error_text.h"
#include "shell/process.h"
#include "startmenu/start_menu_texts.h"
#include "startmenu/xpicture_box.h"

namespace {

using vek::framework::BitmapResource;
using vek::framework::DialogItemTemplate;
using vek::framework::DialogTemplate;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kFormStyle = DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// A picture button is the size of its button box, 1965 x 465 twips.
constexpr short kButtonWidth = 87;
constexpr short kButtonHeight = 19;

constexpr DialogItemTemplate kMenuItems[] = {
    {kPictureBoxClass, "", IDC_OLE1, 0, 0, 300, 170, kChild, 0, IDB_MENU_BACKGROUND},
    {kPictureBoxClass, "", IDC_IMG_DOCUMENTATION, 16, 50, kButtonWidth, kButtonHeight, kChild | WS_TABSTOP, 0,
     IDB_DOCUMENTATION},
    {kPictureBoxClass, "", IDC_IMG_SETUP_WIZARD, 16, 82, kButtonWidth, kButtonHeight, kChild | WS_TABSTOP, 0,
     IDB_SETUP_WIZARD},
    {kPictureBoxClass, "", IDC_IMG_EXIT, 16, 114, kButtonWidth, kButtonHeight, kChild | WS_TABSTOP, 0, IDB_EXIT},
    {kPictureBoxClass, "", IDC_IMG_HELP, 118, 50, 170, 79, kChild},
};

constexpr DialogItemTemplate kLicenseItems[] = {
    {WC_STATIC, "", IDC_LICENSE_TEXT, 8, 6, 300, 148, kChild | SS_LEFT},
    {WC_BUTTON, "I accept", IDC_COMMAND1, 118, 160, kButtonWidth, 16, kChild | WS_TABSTOP | BS_PUSHBUTTON},
    {WC_BUTTON, "I do not accept", IDC_COMMAND2, 216, 160, kButtonWidth, 16, kChild | WS_TABSTOP | BS_PUSHBUTTON},
};

constexpr DialogTemplate kForms[] = {
    {IDD_START_WINDOW, LANG_ENGLISH, 0, 0, 120, 40, kFormStyle, 0, "TARVEX Corvane Wireless", "MS Sans Serif", 8,
     nullptr, 0},
    {IDD_ENG, LANG_ENGLISH, 0, 0, 300, 170, kFormStyle, 0, "Form1", "MS Sans Serif", 8, kMenuItems,
     std::size(kMenuItems)},
    {IDD_LICENSE_PAGE, LANG_ENGLISH, 0, 0, 316, 184, kFormStyle, 0, "Tarvex License Agreement", "Arial", 8,
     kLicenseItems, std::size(kLicenseItems)},
};

// The pictures are drawn plainly: a face with a darker frame; what they say is their title.
void Fill(std::uint32_t* pixels, int width, int height, std::uint32_t top, std::uint32_t bottom, std::uint32_t frame) {
  if (pixels == nullptr) return;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
      auto mix = [&](int shift) {
        int a = (top >> shift) & 0xFF, b = (bottom >> shift) & 0xFF;
        return static_cast<std::uint32_t>(a + (b - a) * y / (height > 1 ? height - 1 : 1)) << shift;
      };
      pixels[y * width + x] = edge ? frame : (mix(16) | mix(8) | mix(0));
    }
  }
}
void DrawBackground(std::uint32_t* p, int w, int h) { Fill(p, w, h, 0x1B4F8A, 0x5FA8D8, 0x0E2A4A); }
void DrawButton(std::uint32_t* p, int w, int h) { Fill(p, w, h, 0xF4F6F8, 0xC9D2DC, 0x3A4250); }

constexpr BitmapResource kPictures[] = {
    {IDB_MENU_BACKGROUND, 450, 64, 24, "TARVEX Corvane Wireless \xc2\xb7 Print Server Setup CD", DrawBackground},
    {IDB_DOCUMENTATION, 131, 31, 24, "Documentation", DrawButton},
    {IDB_SETUP_WIZARD, 131, 31, 24, "Setup Wizard", DrawButton},
    {IDB_EXIT, 131, 31, 24, "Exit", DrawButton},
};

constexpr vek::framework::StringResource kStrings[] = {
    {IDS_APP_TITLE, "TARVEX Corvane Wireless"},
    {IDS_CANNOT_START, "The program \"%s\" cannot be started.\n\n%s"},
    {IDS_FILE_NOT_FOUND, "The file was not found on this computer or on the CD."},
    {IDS_PATH_NOT_FOUND, "Its folder was not found on this computer or on the CD."},
    {IDS_NOT_A_PROGRAM, "The file is not a program that this computer can run."},
    {IDS_START_ERROR, "The system could not start it: %s."},
    {IDS_UNINSTALL_TIMEOUT,
     "The earlier release of the TARVEX VEK Wizard is still installed: its uninstall did not remove it. Finish or "
     "cancel the uninstall, then choose Setup Wizard again to install this release."},
};

}  // namespace

void RegisterStartMenuResources() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterPictureBoxClass();
    vek::framework::RegisterDialogTemplates(kForms, std::size(kForms));
    vek::framework::RegisterBitmaps(kPictures, std::size(kPictures));
    vek::framework::RegisterStringTable(LANG_ENGLISH, kStrings, std::size(kStrings));
  });
}

std::string StartMenuText(UINT id) {
  std::string text;
  vek::framework::FindString(id, &text);
  return text;
}

std::string CannotStartText(const std::string& program, DWORD error) {
  std::string reason;
  switch (error) {
    case ERROR_FILE_NOT_FOUND: reason = StartMenuText(IDS_FILE_NOT_FOUND); break;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY: reason = StartMenuText(IDS_PATH_NOT_FOUND); break;
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_BAD_FORMAT: reason = StartMenuText(IDS_NOT_A_PROGRAM); break;
    default: {
      char text[256];
      std::snprintf(text, sizeof text, StartMenuText(IDS_START_ERROR).c_str(), vek::ErrorText(error).c_str());
      reason = text;
      break;
    }
  }
  std::string format = StartMenuText(IDS_CANNOT_START);
  std::string message;
  std::size_t at = format.find("%s");
  message = format.substr(0, at) + program;
  std::size_t second = format.find("%s", at + 2);
  message += format.substr(at + 2, second - at - 2) + reason + format.substr(second + 2);
  return message;
}
