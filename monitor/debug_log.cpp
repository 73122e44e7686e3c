#include "debug_log.h"

XDebugLog theDebugLog;

void XDebugLog::Trace(const char* /*format*/, ...) {}
