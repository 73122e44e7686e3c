// The wizard's global-memory block helpers: GlobalAlloc/GlobalLock and the way
// back, with a count of the blocks handed out.
#pragma once

#include "kernel/types.h"

// The locked address of a new block, or NULL.
LPVOID CountedGlobalAlloc(int bytes, UINT flags);
// NULL on success (and for a NULL block); otherwise what GlobalFree returned, or
// the block itself when it is not one of ours. A failed release with a last error
// is a program error and breaks into the debugger.
LPVOID CountedGlobalFree(LPVOID block);

// Blocks allocated so far, and blocks still live.
extern volatile LONG g_CountedBlocksAllocated;
extern volatile LONG g_CountedBlocksLive;
