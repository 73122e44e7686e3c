// The Add Printer wizard's dialogs: one layout each, with English and Japanese texts.
#include <iterator>

#include "framework/control_defs.h"
#include "framework/dialog_layout.h"
#include "framework/styles.h"
#include "kernel/version.h"
#include "spooler/add_printer/add_printer_ids.h"
#include "spooler/add_printer/add_printer_pages.h"

namespace vek::spooler {
namespace {

using framework::DialogItemTemplate;
using framework::DialogLayout;
using framework::DialogTexts;
using framework::ItemText;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPage = DS_SETFONT | WS_CHILD | WS_CAPTION;
constexpr short kWidth = 276, kHeight = 140;

constexpr DialogItemTemplate Text(int id, short x, short y, short cx, short cy) {
  return {WC_STATIC, nullptr, id, x, y, cx, cy, kChild | SS_LEFT};
}

constexpr DialogItemTemplate kWelcome[] = {
    Text(IDC_AP_TITLE, 10, 8, 256, 12),
    Text(IDC_AP_TEXT, 10, 28, 256, 40),
    Text(IDC_AP_TEXT2, 10, 118, 256, 10),
};
constexpr DialogItemTemplate kLocal[] = {
    Text(IDC_AP_TEXT, 10, 8, 256, 20),
    {WC_BUTTON, nullptr, IDC_AP_LOCAL, 20, 36, 250, 12, kChild | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP},
    {WC_BUTTON, nullptr, IDC_AP_NETWORK, 20, 54, 250, 12, kChild | BS_AUTORADIOBUTTON},
    Text(IDC_AP_TEXT2, 32, 70, 228, 20),
};
constexpr DialogItemTemplate kPort[] = {
    Text(IDC_AP_TEXT, 10, 8, 256, 28),
    Text(IDC_AP_PORT_LABEL, 10, 46, 100, 10),
    {WC_COMBOBOX, "", IDC_AP_PORT, 114, 44, 140, 80, kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
    Text(IDC_AP_TEXT2, 10, 100, 256, 20),
};
constexpr DialogItemTemplate kModel[] = {
    Text(IDC_AP_TEXT, 10, 8, 256, 18),
    Text(IDC_AP_MAKER_LABEL, 10, 36, 90, 10),
    {WC_COMBOBOX, "", IDC_AP_MAKER, 104, 34, 150, 60, kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
    Text(IDC_AP_MODEL_LABEL, 10, 58, 90, 10),
    {WC_COMBOBOX, "", IDC_AP_MODEL, 104, 56, 150, 80, kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
    Text(IDC_AP_NAME_LABEL, 10, 84, 90, 10),
    {WC_EDIT, "", IDC_AP_NAME, 104, 82, 150, 13, kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
};
constexpr DialogItemTemplate kTest[] = {
    Text(IDC_AP_TEXT, 10, 8, 256, 28),
    {WC_BUTTON, nullptr, IDC_AP_TEST_YES, 20, 44, 200, 12, kChild | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP},
    {WC_BUTTON, nullptr, IDC_AP_TEST_NO, 20, 60, 200, 12, kChild | BS_AUTORADIOBUTTON},
    Text(IDC_AP_TEXT2, 10, 118, 256, 10),
};

template <std::size_t N>
constexpr DialogLayout Page(unsigned id, const DialogItemTemplate (&items)[N]) {
  return {id, 0, 0, kWidth, kHeight, kPage, 0, items, N};
}

constexpr DialogLayout kLayouts[] = {
    Page(IDD_ADD_PRINTER_WELCOME, kWelcome), Page(IDD_ADD_PRINTER_LOCAL, kLocal), Page(IDD_ADD_PRINTER_PORT, kPort),
    Page(IDD_ADD_PRINTER_MODEL, kModel),     Page(IDD_ADD_PRINTER_TEST, kTest),
};

// English.
constexpr ItemText kWelcomeEn[] = {
    {IDC_AP_TITLE, "Welcome to the Add Printer Wizard"},
    {IDC_AP_TEXT, "This wizard helps you install a printer on this computer."},
    {IDC_AP_TEXT2, "To continue, click Next."},
};
constexpr ItemText kLocalEn[] = {
    {IDC_AP_TEXT, "Select the option that describes the printer you want to use:"},
    {IDC_AP_LOCAL, "&Local printer attached to this computer"},
    {IDC_AP_NETWORK, "A &network printer, or a printer on another computer"},
    {IDC_AP_TEXT2, "Printers shared by other computers are not offered on this computer."},
};
constexpr ItemText kPortEn[] = {
    {IDC_AP_TEXT, "Computers communicate with printers through ports. Select the port you want your printer to use."},
    {IDC_AP_PORT_LABEL, "&Use the following port:"},
    {IDC_AP_TEXT2, "Note: Most computers use the LPT1: port to communicate with a local printer."},
};
constexpr ItemText kModelEn[] = {
    {IDC_AP_TEXT, "Select the manufacturer and model of your printer, and give it a name."},
    {IDC_AP_MAKER_LABEL, "&Manufacturer:"},
    {IDC_AP_MODEL_LABEL, "&Printer:"},
    {IDC_AP_NAME_LABEL, "Printer &name:"},
};
constexpr ItemText kTestEn[] = {
    {IDC_AP_TEXT, "To confirm that the printer is installed properly, you can print a test page. Do you want to "
                  "print a test page?"},
    {IDC_AP_TEST_YES, "&Yes"},
    {IDC_AP_TEST_NO, "N&o"},
    {IDC_AP_TEXT2, "To add the printer, click Finish."},
};

// Japanese.
constexpr ItemText kWelcomeJa[] = {
    {IDC_AP_TITLE, "プリンタの追加ウィザードの開始"},
    {IDC_AP_TEXT, "このウィザードでは、このコンピュータにプリンタをインストールします。"},
    {IDC_AP_TEXT2, "続行するには、[次へ] をクリックしてください。"},
};
constexpr ItemText kLocalJa[] = {
    {IDC_AP_TEXT, "使用するプリンタを選択してください:"},
    {IDC_AP_LOCAL, "このコンピュータに接続されているローカル プリンタ(&L)"},
    {IDC_AP_NETWORK, "ネットワーク プリンタ、または他のコンピュータのプリンタ(&N)"},
    {IDC_AP_TEXT2, "このコンピュータでは、他のコンピュータで共有されているプリンタは使用できません。"},
};
constexpr ItemText kPortJa[] = {
    {IDC_AP_TEXT, "コンピュータはポートを通してプリンタと通信します。プリンタで使用するポートを選択してください。"},
    {IDC_AP_PORT_LABEL, "次のポートを使用(&U):"},
    {IDC_AP_TEXT2, "注意: ほとんどのコンピュータは LPT1: ポートを使用してローカル プリンタと通信します。"},
};
constexpr ItemText kModelJa[] = {
    {IDC_AP_TEXT, "プリンタの製造元とモデルを選択し、プリンタ名を入力してください。"},
    {IDC_AP_MAKER_LABEL, "製造元(&M):"},
    {IDC_AP_MODEL_LABEL, "プリンタ(&P):"},
    {IDC_AP_NAME_LABEL, "プリンタ名(&N):"},
};
constexpr ItemText kTestJa[] = {
    {IDC_AP_TEXT, "プリンタが正しくインストールされたことを確認するには、テスト ページを印刷します。テスト ページを"
                  "印刷しますか?"},
    {IDC_AP_TEST_YES, "はい(&Y)"},
    {IDC_AP_TEST_NO, "いいえ(&O)"},
    {IDC_AP_TEXT2, "プリンタを追加するには、[完了] をクリックしてください。"},
};

template <std::size_t N>
constexpr DialogTexts Texts(unsigned id, const char* caption, const char* font, const ItemText (&texts)[N]) {
  return {id, caption, font, 8, texts, N};
}

constexpr const char* kCaptionEn = "Add Printer Wizard";
constexpr const char* kCaptionJa = "プリンタの追加ウィザード";

constexpr DialogTexts kEnglish[] = {
    Texts(IDD_ADD_PRINTER_WELCOME, kCaptionEn, "MS Sans Serif", kWelcomeEn),
    Texts(IDD_ADD_PRINTER_LOCAL, kCaptionEn, "MS Sans Serif", kLocalEn),
    Texts(IDD_ADD_PRINTER_PORT, kCaptionEn, "MS Sans Serif", kPortEn),
    Texts(IDD_ADD_PRINTER_MODEL, kCaptionEn, "MS Sans Serif", kModelEn),
    Texts(IDD_ADD_PRINTER_TEST, kCaptionEn, "MS Sans Serif", kTestEn),
};
constexpr DialogTexts kJapanese[] = {
    Texts(IDD_ADD_PRINTER_WELCOME, kCaptionJa, "MS UI Gothic", kWelcomeJa),
    Texts(IDD_ADD_PRINTER_LOCAL, kCaptionJa, "MS UI Gothic", kLocalJa),
    Texts(IDD_ADD_PRINTER_PORT, kCaptionJa, "MS UI Gothic", kPortJa),
    Texts(IDD_ADD_PRINTER_MODEL, kCaptionJa, "MS UI Gothic", kModelJa),
    Texts(IDD_ADD_PRINTER_TEST, kCaptionJa, "MS UI Gothic", kTestJa),
};

}  // namespace

void RegisterAddPrinterResources() {
  static const framework::ComposedDialogs english(LANG_ENGLISH, kLayouts, kEnglish);
  static const framework::ComposedDialogs japanese(LANG_JAPANESE, kLayouts, kJapanese);
  for (const framework::ComposedDialogs* dialogs : {&english, &japanese})
    framework::RegisterDialogTemplates(dialogs->templates().data(), dialogs->templates().size());
}

}  // namespace vek::spooler
