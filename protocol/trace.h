// The trace sink of the protocol code. The protocol code traces its steps through
// DebugTrace and the sockets' Trace hook; by default nothing is written and a trace
// costs only the call. A diagnostic build or a test may install a sink.
#pragma once

#include "kernel/types.h"

using PSTraceSink = void (*)(LPCSTR line);

// Installs a sink for the whole process; NULL returns to silence.
void SetTraceSink(PSTraceSink sink);

// A line in the manner of printf.
void DebugTrace(LPCSTR format, ...) __attribute__((format(printf, 1, 2)));
// A fixed text.
void SocketTrace(LPCSTR text);
