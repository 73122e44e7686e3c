// What a port of this monitor may be called: one rule for the Add Port dialog and
// the port the setup wizard hands over, and no name that a port of any monitor
// of the spooler has already.
#pragma once

#include <string>
#include <vector>

#include "kernel/types.h"

// 1 to 20 characters; none of them a control character, ',' (it separates the
// ports of a printer) or '\' (it separates registry keys); and no blank at
// either end, so a name of blanks alone is none either.
bool IsUsablePortName(LPCWSTR name);

// The names of this monitor's ports and of every port the spooler lists;
// false when either list cannot be had (GetLastError says why).
bool EnumerateAllPortNames(std::vector<std::u16string>* names);

// Whether a port of any monitor has the name, in any case (registry keys and
// the spooler's names do not tell case apart); false when the ports cannot be
// listed (GetLastError says why).
bool PortNameTaken(LPCWSTR name, bool* taken);
