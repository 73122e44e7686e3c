// A port's registry record: Ports\<name> under the monitor's key.
#include <cstdio>
#include <cstring>
#include <string>

#include "debug_log.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "monitor_globals.h"
#include "print_port.h"
#include "registry/registry.h"

namespace {

constexpr int kMinRetryTimeout = 30;
constexpr int kMaxRetryTimeout = 120;
constexpr int kDefaultRetryTimeout = 90;

// Transport codes of the record: 0 IPX, 1 NetBEUI, 2 UDP/IP.
DWORD StoredPacketType(int packetType) {
  switch (packetType) {
    case PACKET_TYPE_UDP: return 2;
    case PACKET_TYPE_NETBEUI: return 1;
    default: return 0;
  }
}

int LoadedPacketType(DWORD stored) {
  switch (stored) {
    case 1: return PACKET_TYPE_NETBEUI;
    case 2: return PACKET_TYPE_UDP;
    default: return PACKET_TYPE_IPX;
  }
}

std::u16string RecordPath(LPCWSTR portName) { return std::u16string(u"Ports\\") + portName; }

// Exactly size bytes: a longer or shorter value fails its read.
bool ReadExact(HKEY key, LPCWSTR name, void* out, DWORD size) {
  DWORD read = size;
  DWORD type = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, static_cast<LPBYTE>(out), &read) != ERROR_SUCCESS) return false;
  return read == size;
}

bool ReadDword(HKEY key, LPCWSTR name, DWORD* out) { return ReadExact(key, name, out, sizeof *out); }

}  // namespace

BOOL CPrintPort::Save() {
  if (g_hMonitorKey == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  HKEY key = nullptr;
  DWORD disposition = 0;
  LONG opened = RegCreateKeyExW(g_hMonitorKey, RecordPath(m_PortName).c_str(), 0, u"REG_SZ", REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &key, &disposition);
  if (opened != ERROR_SUCCESS) {
    theDebugLog.Trace("[%s]::Save() Failed !", m_PortName);
    SetLastError(static_cast<DWORD>(opened));
    return FALSE;
  }
  const DWORD retry = static_cast<DWORD>(m_RetryTimeout);
  const DWORD portId = static_cast<DWORD>(static_cast<LONG>(m_PortID));
  const DWORD packetType = StoredPacketType(m_PacketType);
  const DWORD model = static_cast<DWORD>(m_Model);
  struct Value {
    LPCWSTR name;
    DWORD type;
    const void* data;
    DWORD size;
    const char* failure;
  };
  const Value values[] = {
      {u"Network", REG_BINARY, m_Network, 4, "[%s]::Save() = %d[Save Network Failed]"},
      {u"Node", REG_BINARY, m_NodeID, 6, "[%s]::Save() = %d[Save NodeID Failed]"},
      {u"IPAddress", REG_BINARY, m_IPAddress, 4, "[%s]::Save() = %d[Save IPAddress Failed]"},
      {u"RetryTimeout", REG_DWORD, &retry, 4, "[%s]::Save() = %d[Save RetryTimeout Failed]"},
      {u"PortID", REG_DWORD, &portId, 4, "[%s]::Save() = %d[Save PortID Failed]"},
      {u"PacketType", REG_DWORD, &packetType, 4, "[%s]::Save() = %d[Save Protocol Failed]"},
      {u"PSName", REG_BINARY, m_PSName, kPSNameLength, "[%s]::Save() = %d[Save NetBIOSName Failed]"},
      {u"Model", REG_DWORD, &model, 4, "[%s]::Save() = %d[Save Model Failed]"},
  };
  LONG firstFailure = ERROR_SUCCESS;
  for (const Value& value : values) {
    LONG written = RegSetValueExW(key, value.name, 0, value.type, static_cast<const BYTE*>(value.data), value.size);
    if (written != ERROR_SUCCESS) {
      theDebugLog.Trace(value.failure, m_PortName, written);
      if (firstFailure == ERROR_SUCCESS) firstFailure = written;
    }
  }
  RegCloseKey(key);
  if (firstFailure != ERROR_SUCCESS) {
    SetLastError(static_cast<DWORD>(firstFailure));
    return FALSE;
  }
  return TRUE;
}

BOOL CPrintPort::Load() {
  if (g_hMonitorKey == nullptr) return FALSE;
  return LoadFrom(g_hMonitorKey, RecordPath(m_PortName).c_str());
}

BOOL CPrintPort::LoadFrom(HKEY parent, LPCWSTR subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(parent, subKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return FALSE;
  DWORD retry = 0;
  DWORD portId = 0;
  bool required = ReadExact(key, u"Network", m_Network, 4) && ReadExact(key, u"Node", m_NodeID, 6) &&
                  ReadDword(key, u"RetryTimeout", &retry) && ReadDword(key, u"PortID", &portId);
  if (!required) {
    RegCloseKey(key);
    return FALSE;
  }
  m_RetryTimeout = static_cast<int>(retry);
  m_PortID = portId >= 1 && portId <= 3 ? static_cast<signed char>(portId) : 1;
  DWORD packetType = 0;
  if (!ReadDword(key, u"PacketType", &packetType)) {
    m_PacketType = PACKET_TYPE_IPX;
    m_Model = 0;
  } else {
    m_PacketType = LoadedPacketType(packetType);
    char psName[kPSNameLength] = {};
    if (ReadExact(key, u"PSName", psName, kPSNameLength)) {
      std::memcpy(m_PSName, psName, kPSNameLength);
      m_PSName[kPSNameLength] = 0;
    }
    DWORD model = 0;
    m_Model = ReadDword(key, u"Model", &model) ? static_cast<int>(model) : 0;
    if (!ReadExact(key, u"IPAddress", m_IPAddress, 4)) std::memcpy(m_IPAddress, m_Network, 4);
  }
  if (retry < kMinRetryTimeout || retry > kMaxRetryTimeout) m_RetryTimeout = kDefaultRetryTimeout;
  RegCloseKey(key);
  theDebugLog.Trace("[%s]::Load() OK !", m_PortName);
  return TRUE;
}

BOOL CPrintPort::Delete() {
  if (g_hMonitorKey == nullptr) return FALSE;
  HKEY ports = nullptr;
  LONG error = RegOpenKeyExW(g_hMonitorKey, u"Ports", 0, KEY_ALL_ACCESS, &ports);
  if (error == ERROR_SUCCESS) {
    error = RegDeleteKeyW(ports, m_PortName);
    RegCloseKey(ports);
  }
  if (error != ERROR_SUCCESS) {
    SetLastError(static_cast<DWORD>(error));
    return FALSE;
  }
  return TRUE;
}

void CPrintPort::GetDescription(LPWSTR out, int size) const {
  if (out == nullptr || size <= 0) return;
  char text[64];
  if (m_PacketType == PACKET_TYPE_UDP) {
    std::snprintf(text, sizeof text, "%d.%d.%d.%d,PID:%d", m_IPAddress[0], m_IPAddress[1], m_IPAddress[2],
                  m_IPAddress[3], m_PortID);
  } else if (m_PacketType == PACKET_TYPE_NETBEUI) {
    std::snprintf(text, sizeof text, "NetBEUI,PID:%d", m_PortID);
  } else {
    std::snprintf(text, sizeof text, "IPX,PID:%d", m_PortID);
  }
  int i = 0;
  for (; text[i] && i < size - 1; i++) out[i] = static_cast<WCHAR>(text[i]);
  out[i] = 0;
}
