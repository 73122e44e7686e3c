// The wizard's dialog templates, Japanese. Same controls, ids and styles as the
// English templates; only texts and the fonts of the two small dialogs differ.
#include <iterator>

#include "kernel/version.h"
#include "wizard/resources/tables.h"
#include "wizard/resources/template_items.h"

namespace vek::wizard {
namespace {

using namespace items;
using vek::framework::DialogItemTemplate;
using vek::framework::DialogTemplate;

// The caption names the product and stays as it is in every language.
constexpr const char* kCaption = "VEK Setup Wizard";
constexpr const char* kJapaneseFont = "ＭＳ Ｐゴシック";

constexpr DialogItemTemplate kWelcome[] = {
    Banner(IDB_TITLE_WELCOME),
    Text(1059, "このウィザードでは、Tarvex ワイヤレスプリントサーバのインストールを順を追って行います。", kLeft, 46,
         260, 24),
    Text(1060, "続行する前に、プリントサーバとプリンタが正しく接続され、電源が入っていることを確認してください。",
         kLeft, 80, 260, 24),
    Text(1061, "続行するには、[次へ] をクリックしてください。", kLeft, 114, 260, 10),
    Text(IDC_WELCOME_VERSION, "バージョン 0.95.01x", kLeft, 280, 260, 10),
    SideFrame(),
};

constexpr DialogItemTemplate kServerList[] = {
    Banner(IDB_TITLE_SERVER_LIST),
    Text(1059,
         "ネットワーク上で次のプリントサーバが見つかりました。\n"
         "一覧からプリントサーバを選択してください。",
         kLeft, 46, 260, 20),
    Text(1060, "ローカルネットワーク上で検出されたプリントサーバ:", kLeft, 74, 260, 10),
    ReportList(IDC_SERVER_LIST, kLeft, 86, 260, 96, LVS_SINGLESEL | LVS_SHOWSELALWAYS),
    PushButton(IDC_REFRESH, "更新", 334, 186, 50, 14),
    Text(1061, "設定するプリントサーバが表示されない場合は、接続を確認してから [更新] をクリックしてください。", kLeft,
         206, 260, 20),
    GroupBox(IDC_STATIC, "", kLeft, 232, 260, 61),
    Text(IDC_SERVER_NOTE,
         "注意: プリントサーバの電源を入れた直後は、初期化が終わってウィザードで検出・表示されるまでに数分かかる"
         "ことがあります。",
         132, 243, 244, 44),
    SideFrame(),
};

constexpr DialogItemTemplate kSearch[] = {
    DefPushButton(IDOK, "OK", 84, 32, 50, 12, 0),            // hidden
    PushButton(IDCANCEL, "キャンセル", 140, 32, 50, 12, 0),  // hidden
    Animation(IDC_SEARCH_ANIMATION, 6, 5, 36, 36),           // plays the search clip once opened
    Text(IDC_STATIC, "プリントサーバを検索しています", 48, 10, 142, 10),
    Text(IDC_SEARCH_STATUS, "", 48, 26, 142, 10),  // the discovery thread writes "Found " and a name here
};

constexpr DialogItemTemplate kLogin[] = {
    Banner(IDB_TITLE_LOGIN),
    Text(1059,
         "このウィザードでは、ネットワーク管理者がプリントサーバの基本的な設定を変更できます。ネットワーク管理者"
         "でない場合は、設定を変更しないでください。設定を誤ると、プリントサーバが正しく動作しなくなることがあり"
         "ます。",
         kLeft, 42, 260, 42),
    FirstRadio(IDC_MODIFY_YES, "はい、設定を変更します。", 134, 90, 240, 10),
    Radio(IDC_MODIFY_NO, "いいえ、設定を変更しません。", 134, 104, 240, 10),
    Text(IDC_PASSWORD_LABEL, "パスワード:", 134, 124, 56, 10),
    PasswordEdit(IDC_PASSWORD, 192, 122, 90, 13),
    StatusLine(IDC_ZERO_IP_WARNING, kLeft, 146, 260, 10),
    StatusLine(IDC_STATIC_IP_ADVICE, kLeft, 158, 260, 10),
    GroupBox(IDC_LOGIN_NOTE_GROUP, "", kLeft, 226, 260, 67),
    Text(1061,
         "プリントサーバのパスワードを初期値 (mivo) から変更している場合は、パスワード欄に入力してください。"
         "ワイヤレスプリントサーバが診断モードで動作している場合は、パスワードを入力する必要はありません。",
         132, 237, 244, 50),
    SideFrame(),
};

constexpr DialogItemTemplate kWirelessBasic[] = {
    Banner(IDB_TITLE_WL_BASIC),
    Text(1059,
         "プリントサーバに次のワイヤレス設定を行います。プリントサーバがワイヤレス接続ですべてのコンピュータと通信"
         "するには、これらの設定がお使いのワイヤレスネットワークと一致している必要があります。",
         kLeft, 46, 245, 33),
    Text(1060, "通信タイプ:", kLeft, 98, 97, 10),
    DropList(IDC_COMM_TYPE, 223, 97, 69, 68),
    Text(1061, "SSID:", kLeft, 113, 97, 10),
    Edit(IDC_SSID, 223, 112, 69, 12),
    Text(1062, "チャンネル番号:", kLeft, 128, 97, 10),
    DropList(IDC_CHANNEL, 223, 127, 27, 186),
    Text(1064, "データ転送速度:", kLeft, 143, 97, 10),
    DropList(IDC_RATE, 223, 142, 69, 60),
    Text(IDC_TX_MODE_LABEL, "送信モード:", kLeft, 159, 97, 10),
    DropList(IDC_TX_MODE, 223, 157, 69, 60),
    Text(1076,
         "1.インフラストラクチャ (アクセスポイント) モードでは、ワイヤレスプリントサーバはアクセスポイントを経由して"
         "ネットワーク上のコンピュータと通信します。",
         kLeft, 176, 245, 30),
    Text(IDC_ADHOC_HELP, "2. アドホックモードでは、ワイヤレス機器どうしが直接通信します。", kLeft, 213, 245, 29),
    Text(IDC_ADHOC_HELP_ALT, "2.アドホックモードでは、ワイヤレス機器どうしが直接通信します。", kLeft, 213, 245, 29),
    GroupBox(IDC_STATIC, "", kLeft, 243, 260, 50),
    Text(1078,
         "通信タイプが「インフラストラクチャ (アクセスポイント)」の場合は、アクセスポイントが使用するチャンネル"
         "番号を入力する必要はありません。",
         132, 252, 245, 36),
    SideFrame(),
};

constexpr DialogItemTemplate kWirelessWep[] = {
    Banner(IDB_TITLE_WL_WEP),
    Text(1059,
         "プリントサーバに次のセキュリティ設定を行います。Tarvex プリントサーバがワイヤレス接続ですべての"
         "コンピュータと通信するには、これらの設定がお使いのワイヤレスネットワークと一致している必要があります。",
         kLeft, 57, 248, 28),
    CheckBox(IDC_ENABLE_WEP, "WEP 暗号化を有効にする", kLeft, 95, 98, 9),
    Text(1060, "タイプ:", 136, 109, 58, 9),
    FirstRadio(IDC_KEY_64BIT, "64ビット", 197, 109, 50, 8),
    Radio(IDC_KEY_128BIT, "128ビット", 255, 109, 50, 8),
    Text(1061, "キーの形式:", 136, 122, 58, 9),
    FirstRadio(IDC_KEY_ALPHANUMERIC, "英数字", 197, 123, 71, 8),
    Radio(IDC_KEY_HEXADECIMAL, "16進数", 273, 123, 71, 8),
    Text(IDC_ENCRYPTION_KEY_LABEL, "暗号化キー:", 136, 135, 58, 9),
    PasswordEdit(IDC_WEP_KEY64, 197, 135, 98, 11),
    PasswordEdit(IDC_WEP_KEY128, 197, 135, 98, 11, 0),
    Text(1062,
         "1. 64ビット (40ビットと呼ばれることもあります) の WEP 暗号化では、英数字 5 文字または 16進数 10 桁の"
         "キーを入力してください (選択したキーの形式によります)。",
         kLeft, 153, 248, 30),
    Text(1064,
         "2. 128ビットの WEP 暗号化では、英数字 13 文字または 16進数 26 桁のキーを入力してください (選択した"
         "キーの形式によります)。",
         kLeft, 187, 248, 32),
    Text(1076, "(英数字は a～z、A～Z、0～9 です。16進数は 0～9 と A～F です)", kLeft, 221, 248, 20),
    GroupBox(IDC_STATIC, "", kLeft, 243, 260, 50),
    Text(1077,
         "お使いのワイヤレスネットワークがすべてのデータ通信を WEP 暗号化で保護している場合は、WEP 暗号化の設定"
         "を有効にし、プリントサーバのキーを入力する必要があります。",
         129, 251, 248, 36),
    SideFrame(),
};

constexpr DialogItemTemplate kWireless8021x[] = {
    Banner(IDB_TITLE_WL_8021X),
    Text(1059, "このページでは、802.1X (EAP) の設定を行います。", kLeft, 54, 248, 28),
    Text(IDC_8021X_LOGIN_LABEL, "ログイン名:", kLeft, 112, 58, 9),
    Edit(IDC_8021X_LOGIN, 190, 110, 80, 14),
    Text(IDC_8021X_PASSWORD_LABEL, "パスワード:", kLeft, 129, 58, 9),
    PasswordEdit(IDC_8021X_PASSWORD, 190, 127, 80, 14),
    Text(IDC_8021X_METHOD_LABEL, "認証方式:", kLeft, 96, 58, 9),
    DropList(IDC_8021X_METHOD, 190, 94, 80, 48),
    GroupBox(IDC_STATIC, "", kLeft, 243, 260, 50),
    Text(1077,
         "一覧から 802.1X の認証方式を選択してください。EAP - MD5 を選択した場合は、パスワードを入力してください。",
         129, 252, 248, 36),
    SideFrame(),
};

constexpr DialogItemTemplate kWirelessWpaPsk[] = {
    Banner(IDB_TITLE_WL_WPAPSK),
    Text(1059,
         "アクセスポイントに WPA 事前共有キーを設定している場合は、プリントサーバにも同じキーを設定する必要が"
         "あります。",
         kLeft, 54, 248, 62),
    Text(IDC_WPAPSK_LABEL, "事前共有キー:", kLeft, 126, 68, 9),
    PasswordEdit(IDC_WPAPSK, 195, 124, 80, 14),
    Text(1061, "(8～63 文字)", 282, 126, 90, 9),
    GroupBox(IDC_STATIC, "", kLeft, 243, 260, 50),
    Text(1077,
         "注意: キーでは大文字と小文字が区別されます。プリントサーバのキーがアクセスポイントのキーと一致している"
         "場合にのみ、プリントサーバにアクセスできます。",
         129, 252, 248, 36),
    SideFrame(),
};

constexpr DialogItemTemplate kWirelessSecurity[] = {
    Banner(IDB_TITLE_WL_SECURITY),
    Text(1059, "このページでは、ワイヤレス接続を保護するためのプリントサーバのセキュリティ機能を設定します。", kLeft,
         46, 245, 33),
    Text(1060, "認証タイプ:", kLeft, 84, 79, 10),
    DropList(IDC_AUTH_TYPE, 210, 83, 90, 60),
    Text(IDC_ENCRYPTION_LABEL, "暗号化:", kLeft, 100, 79, 10),
    DropList(IDC_CIPHER, 210, 99, 90, 60),
    Text(IDC_KEY_FORMAT_LABEL, "キーの形式:", kLeft, 116, 79, 10),
    DropList(IDC_KEY_FORMAT, 210, 115, 90, 45),
    Text(IDC_WEP_KEY_LABEL, "WEP キー:", kLeft, 132, 79, 10),
    PasswordEdit(IDC_WEP_KEY64, 210, 131, 90, 12),
    Text(IDC_PSK_LABEL, "事前共有キー:", kLeft, 116, 79, 10),
    PasswordEdit(IDC_PSK, 210, 115, 90, 12),
    Text(IDC_PSK_HINT, "(8～63 文字)", 303, 116, 80, 9),
    PasswordEdit(IDC_WEP_KEY128, 210, 131, 90, 12),
    DropList(IDC_WEP_MODE, 210, 99, 90, 60),
    Text(IDC_WEP_HELP64,
         "1.64ビット (40ビットと呼ばれることもあります) の WEP 暗号化では、英数字 5 文字または 16進数 10 桁の"
         "キーを入力してください (選択したキーの形式によります)。",
         kLeft, 149, 248, 30),
    Text(IDC_WEP_HELP128,
         "2.128ビットの WEP 暗号化では、英数字 13 文字または 16進数 26 桁のキーを入力してください (選択した"
         "キーの形式によります)。",
         kLeft, 183, 248, 29),
    Text(IDC_WEP_HELP_CHARS, "(英数字は a～z、A～Z、0～9 です。16進数は 0～9 と A～F です)", kLeft, 217, 248, 26),
    Text(IDC_WPA_HELP,
         "Wi-Fi Protected Access (WPA) は、企業でも SOHO 環境でも、ワイヤレス LAN にすぐに使える強化された"
         "セキュリティを提供します。",
         kLeft, 149, 248, 50),
    GroupBox(IDC_STATIC, "", kLeft, 243, 260, 50),
    Text(IDC_SECURITY_NOTE,
         "注意: キーでは大文字と小文字が区別されます。上記のセキュリティ設定がすべてアクセスポイントの設定と一致"
         "している場合に、プリントサーバにアクセスできます。",
         129, 252, 248, 36),
    SideFrame(),
};

constexpr DialogItemTemplate kTcpip[] = {
    Banner(IDB_TITLE_TCPIP),
    Text(1059,
         "プリントサーバの TCP/IP 設定を指定します。プリントサーバは、ネットワーク上の DHCP サーバから IPアドレス"
         "を取得するか、固定の IPアドレスを使用するように設定できます。",
         kLeft, 46, 260, 34),
    FirstRadio(IDC_DHCP1, "IPアドレスを自動的に取得する (DHCP を使用)", 134, 88, 240, 10),
    Radio(IDC_DHCP2, "IPアドレスを指定する", 134, 102, 240, 10),
    Text(IDC_IP_ADDRESS_LABEL, "IPアドレス", 146, 122, 80, 10),
    IpAddress(IDC_IP_ADDRESS, 230, 120, 100, 13),
    Text(IDC_SUBNET_MASK_LABEL, "サブネットマスク", 146, 139, 80, 10),
    IpAddress(IDC_SUBNET_MASK, 230, 137, 100, 13),
    Text(IDC_GATEWAY_LABEL, "ゲートウェイのIPアドレス", 146, 156, 80, 10),
    IpAddress(IDC_GATEWAY, 230, 154, 100, 13),
    GroupBox(IDC_STATIC, "", kLeft, 236, 260, 57),
    Text(1064,
         "プリントサーバには固定の IPアドレスを設定することを強くお勧めします。プリントサーバが正しく動作するよう、"
         "IPアドレスを正確に入力してください。",
         132, 247, 244, 40),
    SideFrame(),
};

constexpr DialogItemTemplate kSave[] = {
    Banner(IDB_TITLE_SAVE),
    ReportList(IDC_SETTINGS_LIST, kLeft, 46, 260, 176, LVS_NOCOLUMNHEADER | LVS_SINGLESEL | WS_DISABLED),
    Text(IDC_PUBLIC_KEY_LINE, "", kLeft, 228, 260, 10),
    StatusLine(IDC_SAVE_STATUS, kLeft, 244, 260, 10, 0),
    Progress(IDC_SAVE_PROGRESS, kLeft, 260, 260, 12, 0),
    SideFrame(),
};

constexpr DialogItemTemplate kPrinter[] = {
    Banner(IDB_TITLE_PRINTER),
    Text(1059,
         "ウィザードを使って、プリントサーバに接続されているプリンタを設定します。このコンピュータにインストール済み"
         "のプリンタを選択するか、新しいプリンタを追加してください。",
         kLeft, 46, 260, 34),
    Text(1060, "次の一覧からプリンタを選択してください", kLeft, 86, 260, 10),
    ReportList(IDC_PRINTER_LIST, kLeft, 98, 260, 104, LVS_SINGLESEL | LVS_SHOWSELALWAYS),
    PushButton(IDC_ADD_NEW_PRINTER, "新しいプリンタの追加", 304, 206, 80, 14),
    GroupBox(IDC_STATIC, "", kLeft, 236, 260, 57),
    Text(1061,
         "新しいプリンタを追加するには、適切なプリンタドライバが必要です (プリンタのインストール CD/ディスク、"
         "またはプリンタメーカーの Web サイトから入手できます)。",
         132, 247, 244, 40),
    SideFrame(),
};

constexpr DialogItemTemplate kSummary[] = {
    Banner(IDB_TITLE_SUMMARY),
    Text(1059, "まもなくインストールが完了します。設定の概要を表示します。", kLeft, 46, 260, 24),
    ReportList(IDC_SUMMARY_LIST, kLeft, 76, 260, 70, LVS_NOCOLUMNHEADER | LVS_SINGLESEL | WS_DISABLED),
    GroupBox(IDC_PRINTER_SETTING_GROUP, "プリンタの設定", kLeft, 156, 260, 34),
    CheckBox(IDC_SET_DEFAULT_PRINTER, "このプリンタを通常使うプリンタに設定する", 134, 170, 240, 10),
    GroupBox(IDC_STATIC, "", kLeft, 243, 260, 50),
    Text(1061, "すべての情報を確認してください。", 132, 262, 244, 12),
    SideFrame(),
};

constexpr DialogItemTemplate kFinish[] = {
    Banner(IDB_TITLE_FINISH),
    Text(1059, "Tarvex プリントサーバと選択したプリンタがこのシステムに正しくインストールされました。", kLeft, 46, 260,
         34),
    SideFrame(),
};

constexpr DialogItemTemplate kAddPrinterGuide[] = {
    Text(IDC_HELP_ADD_PRINTER1,
         "新しいプリンタの追加を選択しました。Windows のプリンタの追加ウィザードを使って、このコンピュータに新しい"
         "プリンタを追加します。表示される指示に従ってください。手順は Windows のバージョンによって多少異なる"
         "ことがあります。",
         7, 7, 196, 40),
    Text(IDC_HELP_ADD_PRINTER2,
         "Windows のプリンタの追加ウィザードが終了したら、Tarvex プリントサーバ セットアップ ウィザードに戻って"
         "ください。",
         7, 50, 196, 24),
    Text(IDC_HELP_ADD_PRINTER3, "1.  Windows のプリンタの追加ウィザードが起動したら、[次へ] をクリックします。", 7, 78,
         196, 10),
    Text(IDC_HELP_ADD_PRINTER4,
         "2.  [ローカルプリンタ] (Windows NT では [マイコンピュータ]) をクリックし、[次へ] をクリックします。", 7, 92,
         196, 18),
    Text(IDC_HELP_ADD_PRINTER5, "3.  [次のポートを使用] を選択し、LPT1 を選んで [次へ] をクリックします。", 7, 114, 196,
         18),
    Text(IDC_HELP_ADD_PRINTER6,
         "4.  指示に従ってプリンタの設定を完了します。プリンタのメーカーと機種を選択し、プリンタ名を付けます。", 7, 136,
         196, 26),
    Text(IDC_HELP_ADD_PRINTER7, "5.  テストページは印刷しないでください。", 7, 166, 196, 10),
    Text(IDC_HELP_ADD_PRINTER8, "6.  [完了] をクリックして、Windows のプリンタの追加ウィザードを終了します。", 7, 180,
         196, 18),
    Text(IDC_HELP_ADD_PRINTER9, "7.  Tarvex VEK ウィザードに戻り、セットアップを続けます。", 7, 202, 196, 18),
};

template <std::size_t N>
constexpr DialogTemplate Page(int id, const DialogItemTemplate (&items)[N]) {
  return {static_cast<UINT>(id), LANG_JAPANESE, 0, 0, kPageWidth, kPageHeight, kPageStyle, 0, kCaption, kPageFont,
          kPageFontSize,         items,         N};
}

constexpr DialogTemplate kDialogs[] = {
    Page(IDD_WIZARD_WELCOME, kWelcome),
    Page(IDD_WIZARD_SERVER_LIST, kServerList),
    Page(IDD_WIZARD_LOGIN, kLogin),
    Page(IDD_WIZARD_WL_BASIC, kWirelessBasic),
    Page(IDD_WIZARD_WL_WEP, kWirelessWep),
    Page(IDD_WIZARD_WL_8021X, kWireless8021x),
    Page(IDD_WIZARD_WL_WPAPSK, kWirelessWpaPsk),
    Page(IDD_WIZARD_WL_SECURITY, kWirelessSecurity),
    Page(IDD_WIZARD_TCPIP, kTcpip),
    Page(IDD_WIZARD_SAVE, kSave),
    Page(IDD_WIZARD_PRINTER, kPrinter),
    Page(IDD_WIZARD_SUMMARY, kSummary),
    Page(IDD_WIZARD_FINISH, kFinish),
    {IDD_SEARCH, LANG_JAPANESE, 0, 0, 196, 46, DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP, WS_EX_TOOLWINDOW, "",
     kJapaneseFont, 9, kSearch, std::size(kSearch)},
    {IDD_ADD_PRINTER_GUIDE, LANG_JAPANESE, 0, 0, 210, 226, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION, 0,
     "新しいプリンタの追加のヘルプ", kJapaneseFont, 9, kAddPrinterGuide, std::size(kAddPrinterGuide)},
};

}  // namespace

std::span<const DialogTemplate> JapaneseDialogs() { return kDialogs; }

}  // namespace vek::wizard
