// Small kernel services: debug output and the debugger break.
#pragma once

#include "kernel/types.h"

void OutputDebugStringA(LPCSTR text);
void OutputDebugStringW(LPCWSTR text);
// A program error: reported on standard error; the process stops only when
// VEK_DEBUGBREAK=abort is set, so a release run loses nothing.
void DebugBreak();
