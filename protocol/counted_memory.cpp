#include "protocol/counted_memory.h"

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/memory.h"
#include "kernel/misc.h"
#include "kernel/sync.h"

volatile LONG g_CountedBlocksAllocated = 0;
volatile LONG g_CountedBlocksLive = 0;

LPVOID CountedGlobalAlloc(int bytes, UINT flags) {
  if (bytes < 0) return NULL;
  HGLOBAL handle = GlobalAlloc(flags, static_cast<SIZE_T>(bytes));
  if (handle == NULL) return NULL;
  LPVOID block = GlobalLock(handle);
  if (block == NULL) {
    GlobalFree(handle);
    return NULL;
  }
  InterlockedIncrement(&g_CountedBlocksAllocated);
  InterlockedIncrement(&g_CountedBlocksLive);
  return block;
}

LPVOID CountedGlobalFree(LPVOID block) {
  if (block == NULL) return NULL;
  HGLOBAL handle = GlobalHandle(block);
  if (handle == NULL) {
    // Not a block of ours: freeing the NULL handle would pass for success.
    DebugBreak();
    return block;
  }
  GlobalUnlock(handle);
  SetLastError(NO_ERROR);
  HGLOBAL result = GlobalFree(handle);
  if (result == NULL) {
    InterlockedDecrement(&g_CountedBlocksLive);
  } else if (GetLastError() != NO_ERROR) {
    DebugBreak();
  }
  return result;
}
