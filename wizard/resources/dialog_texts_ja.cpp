// The texts, captions and fonts of the wizard's dialogs, Japanese.
#include <iterator>

#include "wizard/resources/tables.h"
#include "wizard/resources/template_items.h"

namespace vek::wizard {
namespace {

using namespace items;
using vek::framework::DialogTexts;
using vek::framework::ItemText;

// The caption names the product and stays as it is in every language.
constexpr const char* kCaption = "VEK Setup Wizard";

constexpr const char* kJapaneseFont = "ＭＳ Ｐゴシック";

constexpr ItemText kWelcome[] = {
    {1059, "このウィザードでは、Tarvex ワイヤレスプリントサーバのインストールを順を追って行います。"},
    {1060, "続行する前に、プリントサーバとプリンタが正しく接続され、電源が入っていることを確認してください。"},
    {1061, "続行するには、[次へ] をクリックしてください。"},
    {IDC_WELCOME_VERSION, "バージョン 0.95.01x"},
};

constexpr ItemText kServerList[] = {
    {1059, "ネットワーク上で次のプリントサーバが見つかりました。\n一覧からプリントサーバを選択してください。"},
    {1060, "ローカルネットワーク上で検出されたプリントサーバ:"},
    {IDC_REFRESH, "更新"},
    {1061, "設定するプリントサーバが表示されない場合は、接続を確認してから [更新] をクリックしてください。"},
    {IDC_SERVER_NOTE,
     "注意: "
     "プリントサーバの電源を入れた直後は、初期化が終わってウィザードで検出・表示されるまでに数分かかることがあります"
     "。"},
};

constexpr ItemText kSearch[] = {
    {IDOK, "OK"},
    {IDCANCEL, "キャンセル"},
    {IDC_STATIC, "プリントサーバを検索しています"},
};

constexpr ItemText kLogin[] = {
    {1059,
     "このウィザードでは、ネットワーク管理者がプリントサーバの基本的な設定を変更できます。ネットワーク管理者でない場合"
     "は、設定を変更しないでください。設定を誤ると、プリントサーバが正しく動作しなくなることがあります。"},
    {IDC_MODIFY_YES, "はい、設定を変更します。"},
    {IDC_MODIFY_NO, "いいえ、設定を変更しません。"},
    {IDC_PASSWORD_LABEL, "パスワード:"},
    {1061,
     "プリントサーバのパスワードを初期値 (mivo) "
     "から変更している場合は、パスワード欄に入力してください。ワイヤレスプリントサーバが診断モードで動作している場合は"
     "、パスワードを入力する必要はありません。"},
};

constexpr ItemText kWirelessBasic[] = {
    {1059,
     "プリントサーバに次のワイヤレス設定を行います。プリントサーバがワイヤレス接続ですべてのコンピュータと通信するには"
     "、これらの設定がお使いのワイヤレスネットワークと一致している必要があります。"},
    {1060, "通信タイプ:"},
    {1061, "SSID:"},
    {1062, "チャンネル番号:"},
    {1064, "データ転送速度:"},
    {IDC_TX_MODE_LABEL, "送信モード:"},
    {1076,
     "1.インフラストラクチャ (アクセスポイント) "
     "モードでは、ワイヤレスプリントサーバはアクセスポイントを経由してネットワーク上のコンピュータと通信します。"},
    {IDC_ADHOC_HELP, "2. アドホックモードでは、ワイヤレス機器どうしが直接通信します。"},
    {IDC_ADHOC_HELP_ALT, "2.アドホックモードでは、ワイヤレス機器どうしが直接通信します。"},
    {1078,
     "通信タイプが「インフラストラクチャ "
     "(アクセスポイント)」の場合は、アクセスポイントが使用するチャンネル番号を入力する必要はありません。"},
};

constexpr ItemText kWirelessWep[] = {
    {1059,
     "プリントサーバに次のセキュリティ設定を行います。Tarvex "
     "プリントサーバがワイヤレス接続ですべてのコンピュータと通信するには、これらの設定がお使いのワイヤレスネットワーク"
     "と一致している必要があります。"},
    {IDC_ENABLE_WEP, "WEP暗号化を有効にする"},
    {1060, "タイプ:"},
    {IDC_KEY_64BIT, "64bit"},
    {IDC_KEY_128BIT, "128bit"},
    {1061, "キーの形式:"},
    {IDC_KEY_ALPHANUMERIC, "英数字"},
    {IDC_KEY_HEXADECIMAL, "16進数"},
    {IDC_ENCRYPTION_KEY_LABEL, "暗号化キー:"},
    {1062,
     "1. 64ビット (40ビットと呼ばれることもあります) の WEP 暗号化では、英数字 5 文字または 16進数 10 "
     "桁のキーを入力してください (選択したキーの形式によります)。"},
    {1064,
     "2. 128ビットの WEP 暗号化では、英数字 13 文字または 16進数 26 桁のキーを入力してください "
     "(選択したキーの形式によります)。"},
    {1076, "(英数字は a～z、A～Z、0～9 です。16進数は 0～9 と A～F です)"},
    {1077,
     "お使いのワイヤレスネットワークがすべてのデータ通信を WEP 暗号化で保護している場合は、WEP "
     "暗号化の設定を有効にし、プリントサーバのキーを入力する必要があります。"},
};

constexpr ItemText kWireless8021x[] = {
    {1059, "このページでは、802.1X (EAP) の設定を行います。"},
    {IDC_8021X_LOGIN_LABEL, "ログイン名:"},
    {IDC_8021X_PASSWORD_LABEL, "パスワード:"},
    {IDC_8021X_METHOD_LABEL, "認証方式:"},
    {1077, "一覧から 802.1X の認証方式を選択してください。EAP - MD5 を選択した場合は、パスワードを入力してください。"},
};

constexpr ItemText kWirelessWpaPsk[] = {
    {1059,
     "アクセスポイントに WPA 事前共有キーを設定している場合は、プリントサーバにも同じキーを設定する必要があります。"},
    {IDC_WPAPSK_LABEL, "事前共有キー:"},
    {1061, "(8～63 文字)"},
    {1077,
     "注意: "
     "キーでは大文字と小文字が区別されます。プリントサーバのキーがアクセスポイントのキーと一致している場合にのみ、プリ"
     "ントサーバにアクセスできます。"},
};

constexpr ItemText kWirelessSecurity[] = {
    {1059, "このページでは、ワイヤレス接続を保護するためのプリントサーバのセキュリティ機能を設定します。"},
    {1060, "認証タイプ:"},
    {IDC_ENCRYPTION_LABEL, "暗号化:"},
    {IDC_KEY_FORMAT_LABEL, "キーの形式:"},
    {IDC_WEP_KEY_LABEL, "WEP キー:"},
    {IDC_PSK_LABEL, "事前共有キー:"},
    {IDC_PSK_HINT, "(8～63 文字)"},
    {IDC_WEP_HELP64,
     "1.64ビット (40ビットと呼ばれることもあります) の WEP 暗号化では、英数字 5 文字または 16進数 10 "
     "桁のキーを入力してください (選択したキーの形式によります)。"},
    {IDC_WEP_HELP128,
     "2.128ビットの WEP 暗号化では、英数字 13 文字または 16進数 26 桁のキーを入力してください "
     "(選択したキーの形式によります)。"},
    {IDC_WEP_HELP_CHARS, "(英数字は a～z、A～Z、0～9 です。16進数は 0～9 と A～F です)"},
    {IDC_WPA_HELP,
     "Wi-Fi Protected Access (WPA) は、企業でも SOHO 環境でも、ワイヤレス LAN "
     "にすぐに使える強化されたセキュリティを提供します。"},
    {IDC_SECURITY_NOTE,
     "注意: "
     "キーでは大文字と小文字が区別されます。上記のセキュリティ設定がすべてアクセスポイントの設定と一致している場合に、"
     "プリントサーバにアクセスできます。"},
};

constexpr ItemText kTcpip[] = {
    {1059,
     "プリントサーバの TCP/IP 設定を指定します。プリントサーバは、ネットワーク上の DHCP サーバから "
     "IPアドレスを取得するか、固定の IPアドレスを使用するように設定できます。"},
    {IDC_DHCP1, "IPアドレスを自動的に取得する (DHCP を使用)"},
    {IDC_DHCP2, "IPアドレスを指定する"},
    {IDC_IP_ADDRESS_LABEL, "IPアドレス"},
    {IDC_SUBNET_MASK_LABEL, "サブネットマスク"},
    {IDC_GATEWAY_LABEL, "ゲートウェイのIPアドレス"},
    {1064,
     "プリントサーバには固定の "
     "IPアドレスを設定することを強くお勧めします。プリントサーバが正しく動作するよう、IPアドレスを正確に入力してくださ"
     "い。"},
};

constexpr ItemText kPrinter[] = {
    {1059,
     "ウィザードを使って、プリントサーバに接続されているプリンタを設定します。このコンピュータにインストール済みのプリ"
     "ンタを選択するか、新しいプリンタを追加してください。"},
    {1060, "次の一覧からプリンタを選択してください"},
    {IDC_ADD_NEW_PRINTER, "新しいプリンタの追加"},
    {1061,
     "新しいプリンタを追加するには、適切なプリンタドライバが必要です (プリンタのインストール "
     "CD/ディスク、またはプリンタメーカーの Web サイトから入手できます)。"},
};

constexpr ItemText kSummary[] = {
    {1059, "まもなくインストールが完了します。設定の概要を表示します。"},
    {IDC_PRINTER_SETTING_GROUP, "プリンタの設定"},
    {IDC_SET_DEFAULT_PRINTER, "このプリンタを通常使うプリンタに設定する"},
    {1061, "すべての情報を確認してください。"},
};

constexpr ItemText kFinish[] = {
    {1059, "Tarvex プリントサーバと選択したプリンタがこのシステムに正しくインストールされました。"},
};

constexpr ItemText kAddPrinterGuide[] = {
    {IDC_HELP_ADD_PRINTER1,
     "新しいプリンタの追加を選択しました。Windows "
     "のプリンタの追加ウィザードを使って、このコンピュータに新しいプリンタを追加します。表示される指示に従ってください"
     "。手順は Windows のバージョンによって多少異なることがあります。"},
    {IDC_HELP_ADD_PRINTER2,
     "Windows のプリンタの追加ウィザードが終了したら、Tarvex プリントサーバ セットアップ ウィザードに戻ってください。"},
    {IDC_HELP_ADD_PRINTER3, "1.  Windows のプリンタの追加ウィザードが起動したら、[次へ] をクリックします。"},
    {IDC_HELP_ADD_PRINTER4,
     "2.  [ローカルプリンタ] (Windows NT では [マイコンピュータ]) をクリックし、[次へ] をクリックします。"},
    {IDC_HELP_ADD_PRINTER5, "3.  [次のポートを使用] を選択し、LPT1 を選んで [次へ] をクリックします。"},
    {IDC_HELP_ADD_PRINTER6,
     "4.  指示に従ってプリンタの設定を完了します。プリンタのメーカーと機種を選択し、プリンタ名を付けます。"},
    {IDC_HELP_ADD_PRINTER7, "5.  テストページは印刷しないでください。"},
    {IDC_HELP_ADD_PRINTER8, "6.  [完了] をクリックして、Windows のプリンタの追加ウィザードを終了します。"},
    {IDC_HELP_ADD_PRINTER9, "7.  Tarvex VEK ウィザードに戻り、セットアップを続けます。"},
};

constexpr DialogTexts Page(int id) { return {static_cast<UINT>(id), kCaption, kPageFont, kPageFontSize, nullptr, 0}; }

template <std::size_t N>
constexpr DialogTexts Page(int id, const ItemText (&texts)[N]) {
  return {static_cast<UINT>(id), kCaption, kPageFont, kPageFontSize, texts, N};
}

constexpr DialogTexts kTexts[] = {
    Page(IDD_WIZARD_WELCOME, kWelcome),
    Page(IDD_WIZARD_SERVER_LIST, kServerList),
    Page(IDD_WIZARD_LOGIN, kLogin),
    Page(IDD_WIZARD_WL_BASIC, kWirelessBasic),
    Page(IDD_WIZARD_WL_WEP, kWirelessWep),
    Page(IDD_WIZARD_WL_8021X, kWireless8021x),
    Page(IDD_WIZARD_WL_WPAPSK, kWirelessWpaPsk),
    Page(IDD_WIZARD_WL_SECURITY, kWirelessSecurity),
    Page(IDD_WIZARD_TCPIP, kTcpip),
    Page(IDD_WIZARD_SAVE),  // the page writes every text itself
    Page(IDD_WIZARD_PRINTER, kPrinter),
    Page(IDD_WIZARD_SUMMARY, kSummary),
    Page(IDD_WIZARD_FINISH, kFinish),
    {IDD_SEARCH, "", kJapaneseFont, 9, kSearch, std::size(kSearch)},
    {IDD_ADD_PRINTER_GUIDE, "新しいプリンタの追加のヘルプ", kJapaneseFont, 9, kAddPrinterGuide,
     std::size(kAddPrinterGuide)},
};

}  // namespace

std::span<const DialogTexts> JapaneseDialogTexts() { return kTexts; }

}  // namespace vek::wizard
