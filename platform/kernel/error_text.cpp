#include "kernel/error_text.h"

#include <algorithm>
#include <iterator>

#include "kernel/errors.h"

namespace vek {

namespace {

struct ErrorWordsEntry {
  DWORD code;
  const char* english;
  const char* japanese;
};

// Sorted by code. Codes the kernel's list does not name are given by number,
// with their names beside them.
constexpr ErrorWordsEntry kWords[] = {
    {ERROR_SUCCESS, "the operation succeeded", "操作は成功しました"},
    {ERROR_INVALID_FUNCTION, "the function is not valid here", "この機能はここでは使えません"},
    {ERROR_FILE_NOT_FOUND, "the file was not found", "ファイルが見つかりません"},
    {ERROR_PATH_NOT_FOUND, "the path was not found", "パスが見つかりません"},
    {ERROR_ACCESS_DENIED, "access is denied", "アクセスが拒否されました"},
    {ERROR_INVALID_HANDLE, "the handle is not valid", "ハンドルが無効です"},
    {ERROR_NOT_ENOUGH_MEMORY, "there is not enough memory", "メモリが足りません"},
    {ERROR_BAD_FORMAT, "the file's format is not valid", "ファイルの形式が正しくありません"},
    {ERROR_INVALID_DATA, "the data is not valid", "データが無効です"},
    {ERROR_OUTOFMEMORY, "there is not enough memory", "メモリが足りません"},
    {ERROR_NOT_READY, "the device is not ready", "デバイスの準備ができていません"},
    {ERROR_OUT_OF_PAPER, "the printer is out of paper", "プリンタの用紙がありません"},
    {ERROR_WRITE_FAULT, "the device could not be written to", "デバイスに書き込めません"},
    {ERROR_READ_FAULT, "the device could not be read from", "デバイスから読み取れません"},
    {ERROR_NOT_SUPPORTED, "the request is not supported", "この要求はサポートされていません"},
    {ERROR_PRINT_CANCELLED, "the print job was cancelled", "印刷ジョブは取り消されました"},
    {ERROR_FILE_EXISTS, "the file exists already", "ファイルは既に存在します"},
    {ERROR_INVALID_PARAMETER, "a parameter is not valid", "パラメータが無効です"},
    {ERROR_DISK_FULL, "the disk is full", "ディスクがいっぱいです"},
    {ERROR_CALL_NOT_IMPLEMENTED, "the function is not available on this system", "この機能はこのシステムでは使えません"},
    {ERROR_INSUFFICIENT_BUFFER, "the buffer is too small for the data", "バッファがデータに対して小さすぎます"},
    {ERROR_INVALID_NAME, "the name is not valid", "名前が正しくありません"},
    {ERROR_INVALID_LEVEL, "the information level is not valid", "情報レベルが無効です"},
    {ERROR_MOD_NOT_FOUND, "the library was not found or does not load", "ライブラリが見つからないか、読み込めません"},
    {ERROR_PROC_NOT_FOUND, "the library lacks a function it needs", "ライブラリに必要な関数がありません"},
    {ERROR_NOT_LOCKED, "the region is not locked", "領域はロックされていません"},
    {ERROR_BAD_PATHNAME, "the path is not valid", "パスが正しくありません"},
    {ERROR_BUSY, "the resource is busy", "リソースは使用中です"},
    {ERROR_ALREADY_EXISTS, "it exists already", "既に存在します"},
    {193 /* ERROR_BAD_EXE_FORMAT */, "the file is not a program this system can run",
     "このシステムで実行できるプログラムではありません"},
    {223 /* ERROR_FILE_TOO_LARGE */, "the file is too large", "ファイルが大きすぎます"},
    {ERROR_MORE_DATA, "more data is available than was asked for", "要求より多くのデータがあります"},
    {WAIT_TIMEOUT, "the wait timed out", "待ち時間が過ぎました"},
    {ERROR_NO_MORE_ITEMS, "there are no more items", "これ以上の項目はありません"},
    {267 /* ERROR_DIRECTORY */, "the folder name is not valid", "フォルダ名が正しくありません"},
    {ERROR_NOT_OWNER, "the caller does not own the object", "呼び出し元はこのオブジェクトを所有していません"},
    {ERROR_PARTIAL_COPY, "only part of the data was copied", "データの一部しかコピーされませんでした"},
    {ERROR_INVALID_FLAGS, "the flags are not valid", "フラグが無効です"},
    {ERROR_BADDB, "the registry database is damaged", "レジストリのデータベースが壊れています"},
    {ERROR_BADKEY, "the registry key is not valid", "レジストリキーが無効です"},
    {ERROR_CANTOPEN, "the registry key cannot be opened", "レジストリキーを開けません"},
    {ERROR_CANTREAD, "the registry cannot be read", "レジストリを読み取れません"},
    {ERROR_CANTWRITE, "the registry cannot be written", "レジストリに書き込めません"},
    {ERROR_REGISTRY_CORRUPT, "the registry is damaged", "レジストリが壊れています"},
    {ERROR_REGISTRY_IO_FAILED, "the registry's file could not be read or written",
     "レジストリのファイルを読み書きできませんでした"},
    {ERROR_KEY_DELETED, "the registry key has been deleted", "レジストリキーは削除されています"},
    {1052 /* ERROR_INVALID_SERVICE_CONTROL */, "the service does not take that request",
     "サービスはその要求を受け付けません"},
    {ERROR_SERVICE_ALREADY_RUNNING, "the service is running already", "サービスは既に実行中です"},
    {1060 /* ERROR_SERVICE_DOES_NOT_EXIST */, "the service is not installed", "サービスはインストールされていません"},
    {1061 /* ERROR_SERVICE_CANNOT_ACCEPT_CTRL */, "the service cannot take requests now",
     "サービスは今は要求を受け付けられません"},
    {ERROR_SERVICE_NOT_ACTIVE, "the service is not running", "サービスは実行されていません"},
    {ERROR_IO_DEVICE, "the device reported an error", "デバイスがエラーを報告しました"},
    {1155 /* ERROR_NO_ASSOCIATION_FOUND */, "no program is associated with this kind of file",
     "この種類のファイルに関連付けられたプログラムがありません"},
    {ERROR_INVALID_WINDOW_HANDLE, "the window handle is not valid", "ウィンドウハンドルが無効です"},
    {1407 /* ERROR_CANNOT_FIND_WND_CLASS */, "the window class was not found", "ウィンドウクラスが見つかりません"},
    {1410 /* ERROR_CLASS_ALREADY_EXISTS */, "the window class exists already", "ウィンドウクラスは既に存在します"},
    {1411 /* ERROR_CLASS_DOES_NOT_EXIST */, "the window class does not exist", "ウィンドウクラスが存在しません"},
    {1444 /* ERROR_INVALID_THREAD_ID */, "the thread is not valid", "スレッドが無効です"},
    {ERROR_TIMEOUT, "the operation timed out", "操作がタイムアウトしました"},
    {1722 /* RPC_S_SERVER_UNAVAILABLE */, "the spooler is not running", "スプーラが実行されていません"},
    {ERROR_UNKNOWN_PORT, "the port is unknown", "ポートが見つかりません"},
    {ERROR_UNKNOWN_PRINTER_DRIVER, "the printer driver is unknown", "プリンタドライバが見つかりません"},
    {ERROR_INVALID_PRINTER_NAME, "the printer name is not valid or unknown", "プリンタ名が正しくないか、見つかりません"},
    {ERROR_PRINTER_ALREADY_EXISTS, "the printer exists already", "プリンタは既に存在します"},
    {ERROR_INVALID_PRINTER_COMMAND, "the printer command is not valid", "プリンタコマンドが無効です"},
    {ERROR_UNKNOWN_PRINT_MONITOR, "the print monitor is unknown", "印刷モニタが見つかりません"},
    {3003 /* ERROR_SPL_NO_STARTDOC */, "no document was started on the port", "ポートで文書が開始されていません"},
    {ERROR_PRINT_MONITOR_ALREADY_INSTALLED, "the print monitor is installed already", "印刷モニタは既にインストールされています"},
    {ERROR_PRINT_MONITOR_IN_USE, "the print monitor is in use", "印刷モニタは使用中です"},
    // Windows Sockets.
    {10004 /* WSAEINTR */, "the call was interrupted", "呼び出しが中断されました"},
    {10009 /* WSAEBADF */, "the socket is not valid", "ソケットが無効です"},
    {10013 /* WSAEACCES */, "access to the socket is denied", "ソケットへのアクセスが拒否されました"},
    {10014 /* WSAEFAULT */, "an address given is not valid", "指定されたアドレスが無効です"},
    {10022 /* WSAEINVAL */, "an argument is not valid", "引数が無効です"},
    {10024 /* WSAEMFILE */, "too many sockets are open", "開いているソケットが多すぎます"},
    {10035 /* WSAEWOULDBLOCK */, "the call would have to wait", "呼び出しは待機が必要です"},
    {10036 /* WSAEINPROGRESS */, "an operation is in progress", "操作が進行中です"},
    {10037 /* WSAEALREADY */, "the operation is under way already", "操作は既に進行中です"},
    {10038 /* WSAENOTSOCK */, "the handle is not a socket", "ハンドルはソケットではありません"},
    {10039 /* WSAEDESTADDRREQ */, "a destination address is needed", "宛先アドレスが必要です"},
    {10040 /* WSAEMSGSIZE */, "the datagram is larger than the buffer", "データグラムがバッファより大きすぎます"},
    {10041 /* WSAEPROTOTYPE */, "the protocol does not suit the socket", "プロトコルがソケットに合いません"},
    {10042 /* WSAENOPROTOOPT */, "the socket option is not known", "ソケットオプションが不明です"},
    {10043 /* WSAEPROTONOSUPPORT */, "the protocol is not supported", "プロトコルはサポートされていません"},
    {10044 /* WSAESOCKTNOSUPPORT */, "the socket type is not supported", "ソケットの種類はサポートされていません"},
    {10045 /* WSAEOPNOTSUPP */, "the operation is not supported on this socket",
     "この操作はこのソケットではサポートされていません"},
    {10046 /* WSAEPFNOSUPPORT */, "the protocol family is not supported", "プロトコルファミリはサポートされていません"},
    {10047 /* WSAEAFNOSUPPORT */, "the address family is not supported", "アドレスファミリはサポートされていません"},
    {10048 /* WSAEADDRINUSE */, "the address is in use", "アドレスは使用中です"},
    {10049 /* WSAEADDRNOTAVAIL */, "the address is not available on this computer",
     "このアドレスはこのコンピュータでは使えません"},
    {10050 /* WSAENETDOWN */, "the network is down", "ネットワークが停止しています"},
    {10051 /* WSAENETUNREACH */, "the network cannot be reached", "ネットワークに到達できません"},
    {10052 /* WSAENETRESET */, "the network dropped the connection", "ネットワークが接続を切断しました"},
    {10053 /* WSAECONNABORTED */, "the connection was aborted", "接続が中止されました"},
    {10054 /* WSAECONNRESET */, "the connection was reset by the other side", "接続が相手によってリセットされました"},
    {10055 /* WSAENOBUFS */, "there is no buffer space left", "バッファ領域が足りません"},
    {10056 /* WSAEISCONN */, "the socket is connected already", "ソケットは既に接続されています"},
    {10057 /* WSAENOTCONN */, "the socket is not connected", "ソケットは接続されていません"},
    {10058 /* WSAESHUTDOWN */, "the socket has been shut down", "ソケットはシャットダウンされています"},
    {10060 /* WSAETIMEDOUT */, "no answer came in time", "時間内に応答がありませんでした"},
    {10061 /* WSAECONNREFUSED */, "the connection was refused", "接続が拒否されました"},
    {10064 /* WSAEHOSTDOWN */, "the host is down", "ホストが停止しています"},
    {10065 /* WSAEHOSTUNREACH */, "the host cannot be reached", "ホストに到達できません"},
    {10091 /* WSASYSNOTREADY */, "the network system is not ready", "ネットワークシステムの準備ができていません"},
    {10092 /* WSAVERNOTSUPPORTED */, "this version of the sockets layer is not supported",
     "このバージョンの Windows Sockets はサポートされていません"},
    {10093 /* WSANOTINITIALISED */, "the sockets layer has not been started", "Windows Sockets が開始されていません"},
    {11001 /* WSAHOST_NOT_FOUND */, "the host name is not known", "ホスト名が見つかりません"},
    {11002 /* WSATRY_AGAIN */, "the host name could not be looked up now", "ホスト名を今は調べられません"},
    {11003 /* WSANO_RECOVERY */, "the host name lookup failed", "ホスト名の検索に失敗しました"},
    {11004 /* WSANO_DATA */, "the host name has no address", "ホスト名にアドレスがありません"},
};

static_assert(std::is_sorted(std::begin(kWords), std::end(kWords),
                             [](const ErrorWordsEntry& a, const ErrorWordsEntry& b) { return a.code < b.code; }));

const ErrorWordsEntry* Find(DWORD code) {
  auto found = std::lower_bound(std::begin(kWords), std::end(kWords), code,
                                [](const ErrorWordsEntry& entry, DWORD wanted) { return entry.code < wanted; });
  return found != std::end(kWords) && found->code == code ? found : nullptr;
}

}  // namespace

std::string ErrorWords(DWORD code, WORD primaryLanguage) {
  const bool japanese = primaryLanguage == LANG_JAPANESE;
  if (const ErrorWordsEntry* entry = Find(code)) return japanese ? entry->japanese : entry->english;
  return japanese ? "予期しないエラー" : "an unexpected error";
}

std::string ErrorText(DWORD code, WORD primaryLanguage) {
  const std::string number = std::to_string(code);
  if (primaryLanguage == LANG_JAPANESE) return ErrorWords(code, primaryLanguage) + " (エラー " + number + ")";
  return ErrorWords(code, primaryLanguage) + " (error " + number + ")";
}

bool HasErrorWords(DWORD code) { return Find(code) != nullptr; }

}  // namespace vek
