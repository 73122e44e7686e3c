#include "bidi_thread.h"

#include <mutex>
#include <vector>

#include "debug_log.h"
#include "framework/message_api.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/sync.h"
#include "kernel/thread.h"
#include "monitor_globals.h"
#include "port_list.h"
#include "print_port.h"
#include "registry/registry.h"
#include "spooler/winspool.h"
#include "system_helpers.h"

IMPLEMENT_DYNCREATE(CDisableBidirectionThread, CWinThread)

namespace {

constexpr const char16_t* kPrintersKey = u"System\\CurrentControlSet\\Control\\Print\\Printers";
constexpr int kPrinterNameLength = 255;
constexpr DWORD kPortValueBytes = 255;

std::mutex g_BidiLock;
CDisableBidirectionThread* g_pBidiThread = nullptr;

bool ShutdownValueSet() {
  DWORD value = 0;
  DWORD size = sizeof value;
  return g_hMonitorKey &&
         RegQueryValueExW(g_hMonitorKey, u"Shutdown", nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size) ==
             ERROR_SUCCESS &&
         value != 0;
}

bool IsOurPort(LPCWSTR name) {
  EnterCriticalSection(&g_PortLock);
  bool ours = FindPortByName(name) != nullptr;
  LeaveCriticalSection(&g_PortLock);
  return ours;
}

void DisableBidi(LPCWSTR printerName) {
  theDebugLog.Trace("CDisableBidirectionThread::OnIdle() %s Need To Disable", printerName);
  HANDLE printer = nullptr;
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!OpenPrinterW(printerName, &printer, &defaults)) {
    theDebugLog.Trace("CDisableBidirectionThread::OnIdle() = %d[Open Printer Error]", GetLastError());
    return;
  }
  std::vector<BYTE> buffer;
  bool got = QuerySized(
      [&](LPBYTE data, DWORD size, LPDWORD needed) { return GetPrinterW(printer, 2, data, size, needed); }, &buffer);
  if (!got) {
    theDebugLog.Trace("CDisableBidirectionThread::OnIdle() = %d[Get Printer Error]", GetLastError());
  } else {
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    info->Attributes &= ~PRINTER_ATTRIBUTE_ENABLE_BIDI;
    if (SetPrinterW(printer, 2, buffer.data(), 0)) {
      theDebugLog.Trace("CDisableBidirectionThread::OnIdle() %s Disable OK !", printerName);
    } else {
      theDebugLog.Trace("CDisableBidirectionThread::OnIdle() = %d[Set Printer Error]", GetLastError());
    }
  }
  ClosePrinter(printer);
}

}  // namespace

BOOL CDisableBidirectionThread::InitInstance() {
  theDebugLog.Trace("DisableBidirectionThread Start");
  return TRUE;
}

int CDisableBidirectionThread::ExitInstance() {
  theDebugLog.Trace("DisableBidirectionThread Close");
  return CWinThread::ExitInstance();
}

BOOL CDisableBidirectionThread::OnIdle(LONG /*count*/) {
  DWORD result = WaitForSingleObject(g_hShutdownEvent, kBidiSweepMs);
  if (result == WAIT_OBJECT_0 || result == WAIT_FAILED) {
    PostQuitMessage(0);
    return FALSE;
  }
  if (result == WAIT_TIMEOUT) Sweep();
  return TRUE;
}

void CDisableBidirectionThread::Sweep() {
  theDebugLog.Trace("DisableBidirectionThread Working");
  HKEY printers = nullptr;
  LONG error = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPrintersKey, 0, KEY_ALL_ACCESS, &printers);
  if (error != ERROR_SUCCESS) {
    theDebugLog.Trace("CDisableBidirectionThread::OnIdle() = %d[Open Registry Key Error]", error);
    return;
  }
  for (DWORD index = 0;; index++) {
    WCHAR name[kPrinterNameLength + 1] = {};
    DWORD length = kPrinterNameLength + 1;
    LONG found = RegEnumKeyExW(printers, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (found == ERROR_MORE_DATA) continue;
    if (found != ERROR_SUCCESS) break;
    if (ShutdownValueSet()) {
      theDebugLog.Trace("DisableBidirectionThread Get Shutdown Event");
      break;
    }
    HKEY printer = nullptr;
    error = RegOpenKeyExW(printers, name, 0, KEY_ALL_ACCESS, &printer);
    if (error != ERROR_SUCCESS) {
      theDebugLog.Trace("CDisableBidirectionThread::OnIdle() = %d[Open Registry Key Error]", error);
      continue;
    }
    DWORD attributes = 0;
    DWORD size = sizeof attributes;
    if (RegQueryValueExW(printer, u"Attributes", nullptr, nullptr, reinterpret_cast<LPBYTE>(&attributes), &size) ==
            ERROR_SUCCESS &&
        (attributes & PRINTER_ATTRIBUTE_ENABLE_BIDI)) {
      theDebugLog.Trace("CDisableBidirectionThread::OnIdle() %s Is Bidirection", name);
      WCHAR port[kPortValueBytes / sizeof(WCHAR) + 1] = {};
      DWORD portSize = kPortValueBytes;
      error = RegQueryValueExW(printer, u"Port", nullptr, nullptr, reinterpret_cast<LPBYTE>(port), &portSize);
      if (error != ERROR_SUCCESS) {
        theDebugLog.Trace("CDisableBidirectionThread::OnIdle() = %d[Query Value Error]", error);
      } else {
        // The value need not carry its terminator: the text ends where it does.
        port[std::min<DWORD>(portSize, kPortValueBytes) / sizeof(WCHAR)] = 0;
        if (IsOurPort(port)) DisableBidi(name);
      }
    }
    DWORD lastError = GetLastError();
    if (lastError != 0) theDebugLog.Trace("CDisableBidirectionThread::OnIdle() = %d[Query Value Error]", lastError);
    RegCloseKey(printer);
    if (WaitForSingleObject(g_hShutdownEvent, 0) == WAIT_OBJECT_0) break;
  }
  RegCloseKey(printers);
}

void StartBidiThread() {
  if (g_bWinNT) return;
  std::lock_guard guard(g_BidiLock);
  if (g_pBidiThread) return;
  auto* thread = static_cast<CDisableBidirectionThread*>(
      AfxBeginThread(RUNTIME_CLASS(CDisableBidirectionThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
  if (thread == nullptr) return;
  thread->m_bAutoDelete = FALSE;
  thread->ResumeThread();
  thread->SetThreadPriority(THREAD_PRIORITY_LOWEST);
  g_pBidiThread = thread;
}

BOOL StopBidiThread() {
  std::lock_guard guard(g_BidiLock);
  if (g_pBidiThread == nullptr) return TRUE;
  if (g_hShutdownEvent) SetEvent(g_hShutdownEvent);
  // It ends within one printer's work; one that does not is left its object and
  // the events it waits on rather than have them go from under it.
  if (WaitForSingleObject(g_pBidiThread->m_hThread, kBidiStopMs) != WAIT_OBJECT_0) {
    theDebugLog.Trace("StopBidiThread() = %d[Thread Still Running]", WAIT_TIMEOUT);
    g_pBidiThread = nullptr;
    return FALSE;
  }
  delete g_pBidiThread;
  g_pBidiThread = nullptr;
  return TRUE;
}

BOOL BidiThreadRunning() {
  std::lock_guard guard(g_BidiLock);
  return g_pBidiThread != nullptr && WaitForSingleObject(g_pBidiThread->m_hThread, 0) == WAIT_TIMEOUT;
}
