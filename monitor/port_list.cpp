#include "port_list.h"

#include "debug_log.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "monitor_globals.h"
#include "print_port.h"

namespace {

template <typename Match>
CPrintPort* FindPort(Match match) {
  EnterCriticalSection(&g_PortLock);
  CPrintPort* found = nullptr;
  for (POSITION position = g_PortList.GetHeadPosition(); position && !found;) {
    auto* port = static_cast<CPrintPort*>(g_PortList.GetNext(position));
    if (match(port)) found = port;
  }
  LeaveCriticalSection(&g_PortLock);
  return found;
}

CPortHold Hold(CPrintPort* (*find)(const void*), const void* key) {
  EnterCriticalSection(&g_PortLock);
  CPortHold hold(find(key));
  LeaveCriticalSection(&g_PortLock);
  return hold;
}

}  // namespace

bool SamePortName(LPCWSTR a, LPCWSTR b) {
  if (a == nullptr || b == nullptr) return false;
  return std::u16string_view(a) == std::u16string_view(b);
}

bool SamePortNameNoCase(LPCWSTR a, LPCWSTR b) {
  if (a == nullptr || b == nullptr) return false;
  return vek::CompareNoCase(vek::ToNarrow(a), vek::ToNarrow(b)) == 0;
}

CPrintPort* FindPortByNameNoCase(LPCWSTR name) {
  if (name == nullptr) return nullptr;
  return FindPort([name](CPrintPort* port) { return SamePortNameNoCase(port->m_PortName, name); });
}

CPrintPort* FindPortByName(LPCWSTR name) {
  if (name == nullptr) return nullptr;
  return FindPort([name](CPrintPort* port) { return SamePortName(port->m_PortName, name); });
}

CPrintPort* FindPortByHandle(int handle) {
  return FindPort([handle](CPrintPort* port) { return port->m_Handle == handle; });
}

CPortHold::CPortHold(CPrintPort* port) : m_pPort(port) {
  if (m_pPort) m_pPort->m_Holds++;
}

CPortHold::~CPortHold() {
  if (m_pPort) m_pPort->m_Holds--;
}

CPortHold::CPortHold(CPortHold&& other) noexcept : m_pPort(other.m_pPort) { other.m_pPort = nullptr; }

CPortHold HoldPortByName(LPCWSTR name) {
  return Hold([](const void* key) { return FindPortByName(static_cast<LPCWSTR>(key)); }, name);
}

CPortHold HoldPortByHandle(int handle) {
  return Hold([](const void* key) { return FindPortByHandle(static_cast<int>(reinterpret_cast<std::intptr_t>(key))); },
              reinterpret_cast<const void*>(static_cast<std::intptr_t>(handle)));
}

BOOL DeletePrintPort(LPCWSTR name) {
  EnterCriticalSection(&g_PortLock);
  CPrintPort* port = nullptr;
  POSITION at = nullptr;
  for (POSITION position = g_PortList.GetHeadPosition(); position && !port;) {
    POSITION current = position;
    auto* candidate = static_cast<CPrintPort*>(g_PortList.GetNext(position));
    if (SamePortName(candidate->m_PortName, name)) {
      port = candidate;
      at = current;
    }
  }
  if (port == nullptr) {
    LeaveCriticalSection(&g_PortLock);
    theDebugLog.Trace("DeletePrintPort(%s) Failed !", name);
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (port->m_bOpened || port->m_Holds > 0) {
    LeaveCriticalSection(&g_PortLock);
    theDebugLog.Trace("DeletePrintPort(%s) Failed !", name);
    SetLastError(ERROR_BUSY);
    return FALSE;
  }
  // The record goes first: a port whose record stays would come back at the
  // next start.
  if (!port->Delete()) {
    DWORD error = GetLastError();
    LeaveCriticalSection(&g_PortLock);
    theDebugLog.Trace("DeletePrintPort(%s) Failed !", name);
    SetLastError(error != ERROR_SUCCESS ? error : ERROR_CANTWRITE);
    return FALSE;
  }
  g_PortList.RemoveAt(at);
  LeaveCriticalSection(&g_PortLock);
  port->ClosePrintPort();
  delete port;
  theDebugLog.Trace("DeletePrintPort(%s) OK !", name);
  return TRUE;
}

void AddPrintPort(CPrintPort* port) {
  EnterCriticalSection(&g_PortLock);
  g_PortList.AddTail(port);
  LeaveCriticalSection(&g_PortLock);
}

void ClearPortList() {
  for (;;) {
    EnterCriticalSection(&g_PortLock);
    CPrintPort* port = g_PortList.IsEmpty() ? nullptr : static_cast<CPrintPort*>(g_PortList.RemoveTail());
    LeaveCriticalSection(&g_PortLock);
    if (port == nullptr) return;
    port->ClosePrintPort();
    delete port;
  }
}
