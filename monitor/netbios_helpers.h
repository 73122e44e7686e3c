// The small NetBIOS helpers of the monitor: adapter reset and status, names as
// they go on the wire, and the names of the return codes for the trace.
#pragma once

#include "kernel/types.h"

BOOL NBResetAdapter(int lana);
// The adapter's name table, to the trace; run after a name failed to register.
BOOL NBAdapterStatus(int lana);
// 16 blanks, then the first min(length, 16) characters of name.
void NBPadName(BYTE dest[16], const char* name);
// "NRC_GOODRET" ... "NRC_SYSTEM", "NRC_PENDING"; "" for a code NetBIOS does not have.
const char* NBReturnCodeName(int code);
