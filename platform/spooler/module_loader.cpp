#include "spooler/module_loader.h"

#include <atomic>
#include <cstring>
#include <string>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "spooler/names.h"
#include "spooler/winspool.h"

namespace {

// The one module there is, and how often it is loaded.
HMODULE const kSpoolss = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x5B000000u));
std::atomic<int> g_loads{0};

template <typename Function>
FARPROC Export(Function function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

struct Entry {
  const char* name;
  FARPROC address;
};

const Entry* Exports(std::size_t* count) {
  static const Entry entries[] = {
      {"SetPortW", Export(&SetPortW)},
      {"OpenPrinterW", Export(&OpenPrinterW)},
      {"ClosePrinter", Export(&ClosePrinter)},
      {"GetPrinterW", Export(&GetPrinterW)},
      {"SetPrinterW", Export(&SetPrinterW)},
      {"GetJobW", Export(&GetJobW)},
      {"SetJobW", Export(&SetJobW)},
      {"EnumPortsW", Export(&EnumPortsW)},
  };
  *count = sizeof entries / sizeof entries[0];
  return entries;
}

// "SPOOLSS.DLL", "spoolss", "C:\WINDOWS\SYSTEM32\SPOOLSS.DLL" all name the spooler.
bool IsSpoolss(std::string name) {
  std::size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  return vek::spooler::SameName(name, "spoolss.dll") || vek::spooler::SameName(name, "spoolss");
}

HMODULE Load(const std::string& name) {
  if (!IsSpoolss(name)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  ++g_loads;
  SetLastError(ERROR_SUCCESS);
  return kSpoolss;
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR lpLibFileName) {
  if (lpLibFileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return Load(vek::ToNarrow(lpLibFileName));
}

HMODULE LoadLibraryA(LPCSTR lpLibFileName) {
  if (lpLibFileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return Load(lpLibFileName);
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  if (hModule != kSpoolss || g_loads.load() <= 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (lpProcName == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  std::size_t count = 0;
  const Entry* entries = Exports(&count);
  for (std::size_t i = 0; i < count; ++i) {
    if (std::strcmp(entries[i].name, lpProcName) == 0) {
      SetLastError(ERROR_SUCCESS);
      return entries[i].address;
    }
  }
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}

BOOL FreeLibrary(HMODULE hLibModule) {
  int loads = g_loads.load();
  while (hLibModule == kSpoolss && loads > 0) {
    if (g_loads.compare_exchange_weak(loads, loads - 1)) {
      SetLastError(ERROR_SUCCESS);
      return TRUE;
    }
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}
