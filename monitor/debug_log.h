// The monitor's trace log. Every operation passes its trace lines here; the log
// keeps nothing, so a trace costs only the call.
#pragma once

class XDebugLog {
 public:
  XDebugLog() = default;
  virtual ~XDebugLog() = default;
  XDebugLog(const XDebugLog&) = delete;
  XDebugLog& operator=(const XDebugLog&) = delete;

  // printf-style; the arguments are discarded. Not format-checked: the texts pass
  // wide port names to "%s" as the wide framework does.
  void Trace(const char* format, ...);
};

extern XDebugLog theDebugLog;
