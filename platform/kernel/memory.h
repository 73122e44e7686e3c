// Global and local memory blocks with zero-fill.
#pragma once

#include "kernel/types.h"

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

constexpr UINT LMEM_FIXED = 0x0000;
constexpr UINT LMEM_MOVEABLE = 0x0002;
constexpr UINT LMEM_ZEROINIT = 0x0040;
constexpr UINT LHND = LMEM_MOVEABLE | LMEM_ZEROINIT;
constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
// NULL on success; the handle itself when it is not a live block.
HGLOBAL GlobalFree(HGLOBAL block);
HGLOBAL GlobalHandle(LPCVOID pointer);
SIZE_T GlobalSize(HGLOBAL block);

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
LPVOID LocalLock(HLOCAL block);
BOOL LocalUnlock(HLOCAL block);
HLOCAL LocalFree(HLOCAL block);
SIZE_T LocalSize(HLOCAL block);

namespace vek {
// Live blocks of GlobalAlloc and LocalAlloc together, for leak checks in tests.
std::size_t LiveMemoryBlocks();
}  // namespace vek
