// Global and local blocks. A handle is the block's address; the table of live blocks
// lets a stale or foreign handle be refused instead of freed twice.
#include "kernel/memory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "kernel/errors.h"
#include "kernel/lasterror.h"

namespace {

struct Block {
  SIZE_T size;
  bool moveable;
  DWORD locks;
};

struct BlockTable {
  std::mutex lock;
  std::unordered_map<void*, Block> blocks;
};

BlockTable& Blocks() {
  static BlockTable* table = new BlockTable;
  return *table;
}

HANDLE Allocate(UINT flags, SIZE_T bytes) {
  // A zero-byte block still gets its own address.
  void* memory = (flags & GMEM_ZEROINIT) ? std::calloc(1, bytes ? bytes : 1) : std::malloc(bytes ? bytes : 1);
  if (memory == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  BlockTable& table = Blocks();
  std::lock_guard guard(table.lock);
  table.blocks[memory] = Block{bytes, (flags & GMEM_MOVEABLE) != 0, 0};
  return memory;
}

LPVOID Lock(HANDLE block) {
  BlockTable& table = Blocks();
  std::lock_guard guard(table.lock);
  auto it = table.blocks.find(block);
  if (it == table.blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (it->second.moveable) ++it->second.locks;
  return block;
}

BOOL Unlock(HANDLE block) {
  BlockTable& table = Blocks();
  std::lock_guard guard(table.lock);
  auto it = table.blocks.find(block);
  if (it == table.blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!it->second.moveable || it->second.locks == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--it->second.locks == 0) {
    SetLastError(NO_ERROR);
    return FALSE;  // no longer locked
  }
  return TRUE;
}

HANDLE Free(HANDLE block) {
  if (block == nullptr) return nullptr;
  BlockTable& table = Blocks();
  {
    std::lock_guard guard(table.lock);
    if (table.blocks.erase(block) == 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return block;
    }
  }
  std::free(block);
  return nullptr;
}

SIZE_T Size(HANDLE block) {
  BlockTable& table = Blocks();
  std::lock_guard guard(table.lock);
  auto it = table.blocks.find(block);
  if (it == table.blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return it->second.size;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) { return Allocate(flags, bytes); }
LPVOID GlobalLock(HGLOBAL block) { return Lock(block); }
BOOL GlobalUnlock(HGLOBAL block) { return Unlock(block); }
HGLOBAL GlobalFree(HGLOBAL block) { return Free(block); }
SIZE_T GlobalSize(HGLOBAL block) { return Size(block); }

HGLOBAL GlobalHandle(LPCVOID pointer) {
  BlockTable& table = Blocks();
  std::lock_guard guard(table.lock);
  void* key = const_cast<void*>(pointer);
  if (table.blocks.count(key) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return key;
}

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) { return Allocate(flags, bytes); }
LPVOID LocalLock(HLOCAL block) { return Lock(block); }
BOOL LocalUnlock(HLOCAL block) { return Unlock(block); }
HLOCAL LocalFree(HLOCAL block) { return Free(block); }
SIZE_T LocalSize(HLOCAL block) { return Size(block); }

namespace vek {
std::size_t LiveMemoryBlocks() {
  BlockTable& table = Blocks();
  std::lock_guard guard(table.lock);
  return table.blocks.size();
}
}  // namespace vek
