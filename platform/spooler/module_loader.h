// LoadLibraryW, GetProcAddress and FreeLibrary for the system's own modules only:
// "SPOOLSS.DLL" (any case, with or without a folder or the ".DLL" ending) is the
// spooler of this platform library and exports the spooler's calls by name
// ("SetPortW", "OpenPrinterW", "GetJobW", ...). Any other module fails with
// ERROR_MOD_NOT_FOUND (126); an unknown export with ERROR_PROC_NOT_FOUND (127).
// Loads are counted; FreeLibrary of a handle not loaded fails with ERROR_INVALID_HANDLE.
#pragma once

#include "kernel/types.h"

// An export is handed out as void (*)(), the one function type that converts to any
// other without a cast-function-type warning: a caller writes
// reinterpret_cast<PFN_SETPORTW>(GetProcAddress(module, "SetPortW")).
using FARPROC = void (*)();

HMODULE LoadLibraryW(LPCWSTR lpLibFileName);
HMODULE LoadLibraryA(LPCSTR lpLibFileName);
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
BOOL FreeLibrary(HMODULE hLibModule);
