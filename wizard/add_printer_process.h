// The platform's Add Printer wizard, as the printer page starts it: a process of
// its own, whose handle the guide waits on, and the place of its window.
#pragma once

#include "framework/framework.h"
#include "shell/process.h"

// The last Add Printer process started (zeroed before each start).
extern PROCESS_INFORMATION g_AddPrinterProcess;
// The screen rectangle of its window, beside which the guide stands.
extern CRect g_AddPrinterRect;

inline constexpr const char* kAddPrinterCommand = "RunDLL32 SHELL32.DLL,SHHelpShortcuts_RunDLL AddPrinter";

// Starts the Add Printer wizard hidden, with the wizard's environment and folder.
BOOL StartAddPrinterProcess();
// Lets go of the process's handles; the program runs on if it still runs.
void CloseAddPrinterProcess();
// Window enumeration: the first titled window of the process (lParam) gives its
// screen rectangle to g_AddPrinterRect and stops the enumeration.
BOOL FindProcessWindow(HWND window, LPARAM processId);
