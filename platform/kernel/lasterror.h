// The calling thread's last error code.
#pragma once

#include "kernel/types.h"

DWORD GetLastError();
void SetLastError(DWORD code);
