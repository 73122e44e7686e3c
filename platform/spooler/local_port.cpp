#include "spooler/local_port.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "spooler/names.h"
#include "spooler/spool_folder.h"

namespace vek::spooler {

namespace {

constexpr const char* kPorts[] = {"LPT1:"};

struct LocalPort {
  std::string name;
  int file = -1;
};

LocalPort* FromHandle(HANDLE handle) { return static_cast<LocalPort*>(handle); }

const char* CanonicalPort(const std::string& name) {
  for (const char* port : kPorts)
    if (SameName(port, name)) return port;
  return nullptr;
}

BOOL WINAPI OpenLocal(LPWSTR name, PHANDLE handle) {
  const char* port = name ? CanonicalPort(ToNarrow(name)) : nullptr;
  if (port == nullptr || handle == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *handle = new LocalPort{port};
  return TRUE;
}

BOOL WINAPI StartLocal(HANDLE handle, LPWSTR, DWORD, DWORD, LPBYTE) {
  LocalPort* port = FromHandle(handle);
  std::string path = LocalPortFile(port->name);
  MakeSpoolFolder("local");
  port->file = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (port->file < 0) {
    SetLastError(ERROR_NOT_READY);
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI WriteLocal(HANDLE handle, LPBYTE data, DWORD size, LPDWORD written) {
  LocalPort* port = FromHandle(handle);
  *written = 0;
  if (port->file < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  ssize_t n = write(port->file, data, size);
  if (n < 0) {
    SetLastError(errno == ENOSPC ? ERROR_WRITE_FAULT : ERROR_IO_DEVICE);
    return FALSE;
  }
  *written = static_cast<DWORD>(n);
  return TRUE;
}

BOOL WINAPI EndLocal(HANDLE handle) {
  LocalPort* port = FromHandle(handle);
  if (port->file >= 0) close(port->file);
  port->file = -1;
  return TRUE;
}

BOOL WINAPI CloseLocal(HANDLE handle) {
  LocalPort* port = FromHandle(handle);
  EndLocal(handle);
  delete port;
  return TRUE;
}

}  // namespace

bool IsLocalPortLibrary(const std::string& library) { return SameName(library, kLocalPortLibrary); }

MONITOR LocalPortMonitor() {
  MONITOR ops{};
  ops.pfnOpenPort = OpenLocal;
  ops.pfnStartDocPort = StartLocal;
  ops.pfnWritePort = WriteLocal;
  ops.pfnEndDocPort = EndLocal;
  ops.pfnClosePort = CloseLocal;
  return ops;
}

std::vector<PortEntry> LocalPorts(const std::string& monitorName) {
  std::vector<PortEntry> ports;
  for (const char* port : kPorts)
    ports.push_back({port, monitorName, "Local Port", PORT_TYPE_WRITE});
  return ports;
}

std::string LocalPortFile(const std::string& port) {
  std::string base;
  for (char c : port)
    if (c != ':') base.push_back(c);
  return SpoolFolder("local") + "/" + base + ".prn";
}

}  // namespace vek::spooler
