// A point in time as 100-nanosecond intervals since 1 January 1601 (UTC).
#pragma once

#include "kernel/types.h"

#ifndef VEK_HAVE_FILETIME
#define VEK_HAVE_FILETIME
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};
using PFILETIME = FILETIME*;
using LPFILETIME = FILETIME*;
#endif
