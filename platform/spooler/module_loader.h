// LoadLibraryW, GetProcAddress and FreeLibrary for the system's own modules only:
// "SPOOLSS.DLL" (any case, with or without a folder or the ".DLL" ending) is the
// spooler of this platform library and exports the spooler's calls by name
// ("SetPortW", "OpenPrinterW", "GetJobW", ...). Any other module fails with
// ERROR_MOD_NOT_FOUND (126); an unknown export with ERROR_PROC_NOT_FOUND (127).
// Loads are counted; FreeLibrary of a handle not loaded fails with ERROR_INVALID_HANDLE.
#pragma once

#include "kernel/types.h"

using FARPROC = INT_PTR (*)();

HMODULE LoadLibraryW(LPCWSTR lpLibFileName);
HMODULE LoadLibraryA(LPCSTR lpLibFileName);
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
BOOL FreeLibrary(HMODULE hLibModule);
