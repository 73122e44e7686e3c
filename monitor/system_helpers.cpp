#include "system_helpers.h"

#include <cstring>

#include "debug_log.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "kernel/version.h"
#include "monitor_globals.h"
#include "monitor_strings.h"
#include "spooler/module_loader.h"
#include "spooler/winspool.h"

namespace {

bool ReadVersion(OSVERSIONINFOW* info) {
  std::memset(info, 0, sizeof *info);
  info->dwOSVersionInfoSize = sizeof *info;
  return GetVersionExW(info) != FALSE;
}

}  // namespace

BOOL IsWinNT() {
  OSVERSIONINFOW info;
  return ReadVersion(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

BOOL IsWinNT3() {
  OSVERSIONINFOW info;
  return ReadVersion(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion == 3;
}

BOOL IsWinNT5x() {
  OSVERSIONINFOW info;
  if (!ReadVersion(&info) || info.dwPlatformId != VER_PLATFORM_WIN32_NT) return FALSE;
  return info.dwMajorVersion == 5 && info.dwMinorVersion >= 0x10 && !(info.dwMinorVersion >= 1);
}

BOOL SetPortX(LPCWSTR portName, DWORD level, LPBYTE portInfo) {
  HMODULE spooler = LoadLibraryW(u"SPOOLSS.DLL");
  if (spooler == nullptr) {
    theDebugLog.Trace("SetPortX() = %d", GetLastError());
    return FALSE;
  }
  auto setPort = reinterpret_cast<PFN_SETPORTW>(GetProcAddress(spooler, "SetPortW"));
  BOOL ok = FALSE;
  if (setPort != nullptr) ok = setPort(nullptr, portName, level, portInfo) ? TRUE : FALSE;
  DWORD error = GetLastError();
  FreeLibrary(spooler);
  if (ok) {
    theDebugLog.Trace("SetPortX() OK !");
  } else {
    theDebugLog.Trace("SetPortX() = %d", error);
  }
  SetLastError(error);
  return ok;
}

void ClearPortStatus(LPCWSTR portName) {
  PORT_INFO_3W info{0, nullptr, PORT_STATUS_TYPE_INFO};
  SetPortX(portName, 3, reinterpret_cast<LPBYTE>(&info));
}

void ReportPaperOut(LPCWSTR portName) {
  PORT_INFO_3W info{PORT_STATUS_PAPER_OUT, nullptr, PORT_STATUS_TYPE_ERROR};
  SetPortX(portName, 3, reinterpret_cast<LPBYTE>(&info));
}

BOOL ReportPortState(LPCWSTR portName, PortReport report) {
  std::u16string text;
  PORT_INFO_3W info{0, nullptr, PORT_STATUS_TYPE_INFO};
  switch (report) {
    case PortReport::Clear: break;
    case PortReport::PaperOut: info = {PORT_STATUS_PAPER_OUT, nullptr, PORT_STATUS_TYPE_ERROR}; break;
    case PortReport::DeviceError:
      text = MonitorString(IDS_STATUS_DEVICE_ERROR);
      info = {0, text.data(), PORT_STATUS_TYPE_ERROR};
      break;
    case PortReport::NoData:
      text = MonitorString(IDS_STATUS_NO_DATA);
      info = {PORT_STATUS_PAPER_OUT, text.data(), PORT_STATUS_TYPE_ERROR};
      break;
    case PortReport::Busy:
      text = MonitorString(IDS_STATUS_BUSY);
      info = {0, text.data(), PORT_STATUS_TYPE_WARNING};
      break;
  }
  return SetPortX(portName, 3, reinterpret_cast<LPBYTE>(&info));
}

int GetCharSize() { return g_bWinNT ? 2 : 1; }

int CopyPortString(LPBYTE destination, LPCWSTR source) {
  std::size_t length = vek::WideLength(source);
  if (g_bWinNT) {
    std::size_t bytes = (length + 1) * sizeof(WCHAR);
    std::memcpy(destination, source, bytes);
    return static_cast<int>(bytes);
  }
  for (std::size_t i = 0; i < length; i++) destination[i] = static_cast<BYTE>(source[i] & 0xFF);
  destination[length] = 0;
  return static_cast<int>(length + 1);
}
