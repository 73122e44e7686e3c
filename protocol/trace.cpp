#include "protocol/trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {
std::atomic<PSTraceSink> g_TraceSink{nullptr};
}

void SetTraceSink(PSTraceSink sink) { g_TraceSink = sink; }

void DebugTrace(LPCSTR format, ...) {
  PSTraceSink sink = g_TraceSink;
  if (sink == NULL || format == NULL) return;
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof(line), format, args);
  va_end(args);
  sink(line);
}

void SocketTrace(LPCSTR text) {
  PSTraceSink sink = g_TraceSink;
  if (sink != NULL && text != NULL) sink(text);
}
