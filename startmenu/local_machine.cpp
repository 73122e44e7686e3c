#include "startmenu/local_machine.h"

#include <vector>

#include "framework/framework.h"
#include "shell/shell.h"
#include "startmenu/startmenu_ids.h"
#include "startmenu/start_menu_texts.h"

bool XLocalMachine::FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

bool XLocalMachine::ReadTextFile(const std::string& path, std::string* text) {
  std::vector<std::uint8_t> bytes;
  if (vek::shell::ReadFileContents(path.c_str(), 64 * 1024, &bytes) != ERROR_SUCCESS) return false;
  text->assign(bytes.begin(), bytes.end());
  return true;
}

HANDLE XLocalMachine::StartProgram(const std::string& commandLine, DWORD* error) {
  std::string line = commandLine;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    *error = GetLastError();
    return nullptr;
  }
  CloseHandle(started.hThread);
  *error = ERROR_SUCCESS;
  return started.hProcess;
}

bool XLocalMachine::HasEnded(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

void XLocalMachine::CloseProgram(HANDLE process) {
  if (process) CloseHandle(process);
}

DWORD XLocalMachine::TickCount() { return GetTickCount(); }

void XLocalMachine::DoEvents(DWORD milliseconds) { DoEventsOnce(milliseconds); }

void XLocalMachine::ShowMessage(const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), StartMenuText(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void DoEventsOnce(DWORD milliseconds) {
  MSG msg;
  bool handled = false;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    handled = true;
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
      return;
    }
    if (!AfxGetThread() || !AfxGetThread()->PreTranslateMessage(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  if (handled || milliseconds == 0) return;
  if (vek::framework::CurrentFrontEnd()) vek::framework::CurrentFrontEnd()->WaitForInput();
  else MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
}
