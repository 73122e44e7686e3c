#include "wizard/add_printer_process.h"

#include "kernel/sync.h"
#include "wizard/wizard_font.h"

AddPrinterProcessInfo g_AddPrinterProcess = {};

BOOL StartAddPrinterProcess() {
  g_AddPrinterProcess = {};
  return FALSE;
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
