#include "kernel/misc.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kernel/strings.h"

namespace {
bool DebugOutputWanted() {
  const char* flag = std::getenv("VEK_DEBUG_OUTPUT");
  return flag && *flag && std::strcmp(flag, "0") != 0;
}
}  // namespace

void OutputDebugStringA(LPCSTR text) {
  if (text && DebugOutputWanted()) std::fputs(text, stderr);
}

void OutputDebugStringW(LPCWSTR text) {
  if (text && DebugOutputWanted()) std::fputs(vek::ToNarrow(text).c_str(), stderr);
}

void DebugBreak() {
  std::fputs("program error: debug break\n", stderr);
  const char* mode = std::getenv("VEK_DEBUGBREAK");
  if (mode && std::strcmp(mode, "abort") == 0) std::abort();
}
