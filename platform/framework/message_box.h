// Message boxes. Every box is recorded; what answers it is the installed handler:
// the terminal front end shows it, tests answer from a queue, and without either
// the box takes its default button.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/win_types.h"

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(LPCWSTR text, UINT type = MB_OK, UINT helpId = 0);
// A string resource as the text.
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = 0);

namespace vek::framework {

struct MessageBoxRecord {
  HWND owner;
  std::string text;     // UTF-8
  std::string caption;  // UTF-8; "Error" when none was given
  UINT type;
  int answer;
};

using MessageBoxHandler = std::function<int(const MessageBoxRecord& box)>;

// Installs the handler that answers boxes (nullptr restores the default answer).
void SetMessageBoxHandler(MessageBoxHandler handler);
// Answers for the next boxes, in order; each is used once.
void QueueMessageBoxAnswer(int answer);
std::vector<MessageBoxRecord> MessageBoxLog();
void ClearMessageBoxLog();
// The button a box takes by default: its first one, or the one MB_DEFBUTTONn names.
int DefaultMessageBoxAnswer(UINT type);

}  // namespace vek::framework
