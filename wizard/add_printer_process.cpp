#include "wizard/add_printer_process.h"

#include <string>

#include "kernel/sync.h"
#include "protocol/trace.h"

PROCESS_INFORMATION g_AddPrinterProcess = {};
CRect g_AddPrinterRect;

BOOL StartAddPrinterProcess() {
  g_AddPrinterProcess = {};
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  std::string command = kAddPrinterCommand;  // the call may write into it
  BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                &g_AddPrinterProcess);
  if (!started) DebugTrace("CreateProcess(%s) = %lu\r\n", kAddPrinterCommand, static_cast<unsigned long>(GetLastError()));
  return started;
}

void CloseAddPrinterProcess() {
  if (g_AddPrinterProcess.hThread) CloseHandle(g_AddPrinterProcess.hThread);
  if (g_AddPrinterProcess.hProcess) CloseHandle(g_AddPrinterProcess.hProcess);
  g_AddPrinterProcess = {};
}

BOOL FindProcessWindow(HWND window, LPARAM processId) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != static_cast<DWORD>(processId) || GetWindowTextLengthA(window) == 0) return TRUE;
  GetWindowRect(window, &g_AddPrinterRect);
  return FALSE;
}
