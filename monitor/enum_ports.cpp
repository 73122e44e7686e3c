// XYZEnumPorts: the monitor's ports as PORT_INFO_1 or PORT_INFO_2 records. The
// records fill the buffer from its start, their strings are packed downwards from
// its end; sizing and filling happen under one hold of the port lock, so a port
// added meanwhile cannot overrun the size the caller was told.
#include <cstring>

#include "debug_log.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "monitor_globals.h"
#include "port_driver.h"
#include "port_workers.h"
#include "print_port.h"
#include "system_helpers.h"
#include "transport_probes.h"

namespace {

constexpr int kDescriptionLength = 64;

DWORD StringBytes(LPCWSTR text, int charSize) {
  return static_cast<DWORD>((vek::WideLength(text) + 1) * static_cast<std::size_t>(charSize));
}

DWORD RecordSize(DWORD level) { return level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W); }

DWORD NeededBytes(DWORD level, int charSize) {
  DWORD total = 0;
  for (POSITION position = g_PortList.GetHeadPosition(); position;) {
    auto* port = static_cast<CPrintPort*>(g_PortList.GetNext(position));
    total += RecordSize(level) + StringBytes(port->m_PortName, charSize);
    if (level == 2) {
      WCHAR description[kDescriptionLength];
      port->GetDescription(description, kDescriptionLength);
      total += StringBytes(g_MonitorName, charSize) + StringBytes(description, charSize);
    }
  }
  return total;
}

// Strings are placed below *top and never below floor.
class StringPacker {
 public:
  StringPacker(LPBYTE floor, LPBYTE top, int charSize) : m_floor(floor), m_top(top), m_charSize(charSize) {}
  LPWSTR Place(LPCWSTR text) {
    DWORD bytes = StringBytes(text, m_charSize);
    if (static_cast<DWORD>(m_top - m_floor) < bytes) return nullptr;
    m_top -= bytes;
    CopyPortString(m_top, text);
    return reinterpret_cast<LPWSTR>(m_top);
  }

 private:
  LPBYTE m_floor;
  LPBYTE m_top;
  int m_charSize;
};

int Fail(DWORD error) {
  theDebugLog.Trace("XYZEnumPorts() = %d", error);
  SetLastError(error);
  return FALSE;
}

}  // namespace

BOOL WINAPI XYZEnumPorts(LPWSTR /*pName*/, DWORD Level, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded,
                         LPDWORD pcReturned) {
  theDebugLog.Trace("XYZEnumPorts() Enter");
  if (g_SupportedProtocols.load() == 0) ProbeTransports();
  if (g_hMonitorKey) ReadMonitorValues("XYZEnumPorts() = %d[Read System Settings Failed]");
  if (pcbNeeded == nullptr || pcReturned == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  if (Level > 2) return Fail(ERROR_INVALID_LEVEL);
  if (pPorts == nullptr && cbBuf > 0) return Fail(ERROR_INVALID_PARAMETER);

  const int charSize = GetCharSize();
  EnterCriticalSection(&g_PortLock);
  if (Level == 0) {
    *pcbNeeded = 0;
    *pcReturned = static_cast<DWORD>(g_PortList.GetCount());
    LeaveCriticalSection(&g_PortLock);
    theDebugLog.Trace("XYZEnumPorts() Leave");
    return TRUE;
  }
  DWORD needed = NeededBytes(Level, charSize);
  *pcbNeeded = needed;
  *pcReturned = 0;
  if (cbBuf < needed) {
    LeaveCriticalSection(&g_PortLock);
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  if (cbBuf > 0) std::memset(pPorts, 0, cbBuf);
  // Wide strings stay on even addresses.
  DWORD usable = charSize == 2 ? (cbBuf & ~1u) : cbBuf;
  LPBYTE records = pPorts;
  LPBYTE recordsEnd = pPorts + static_cast<std::size_t>(g_PortList.GetCount()) * RecordSize(Level);
  StringPacker strings(recordsEnd, pPorts + usable, charSize);
  DWORD returned = 0;
  for (POSITION position = g_PortList.GetHeadPosition(); position;) {
    auto* port = static_cast<CPrintPort*>(g_PortList.GetNext(position));
    if (Level == 1) {
      PORT_INFO_1W info{};
      info.pName = strings.Place(port->m_PortName);
      std::memcpy(records, &info, sizeof info);
    } else {
      WCHAR description[kDescriptionLength];
      port->GetDescription(description, kDescriptionLength);
      PORT_INFO_2W info{};
      info.pPortName = strings.Place(port->m_PortName);
      info.pMonitorName = strings.Place(g_MonitorName);
      info.pDescription = strings.Place(description);
      info.fPortType = 0;
      info.Reserved = 0;
      std::memcpy(records, &info, sizeof info);
    }
    records += RecordSize(Level);
    returned++;
  }
  *pcReturned = returned;
  LeaveCriticalSection(&g_PortLock);
  theDebugLog.Trace("XYZEnumPorts() Leave");
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}
