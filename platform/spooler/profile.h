// Profile strings (the sections of WIN.INI), kept in the registry store the way
// Windows NT maps them: section S is the key HKCU
// "Software\Microsoft\Windows NT\CurrentVersion\S", each entry a REG_SZ value.
// The default printer is the entry "device" of section "windows":
// "printer name,driver,port".
#pragma once

#include "kernel/types.h"

// Copies the entry (or lpDefault, trailing blanks removed, when it is missing) into
// lpReturnedString, cut to nSize - 1 characters and terminated; returns the length
// copied. A null lpKeyName lists the section's entry names, a null lpAppName the
// sections, each terminated and the list ended by a second zero.
DWORD GetProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                        LPSTR lpReturnedString, DWORD nSize);
// Writes the entry; a null lpString removes it, a null lpKeyName the whole section.
BOOL WriteProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString);
