// The spooler tests' port monitor (see fake_monitor.h).
#include "fake_monitor.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <future>
#include <thread>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "kernel/version.h"
#include "registry/registry.h"
#include "spooler/winspool.h"


namespace {

fake::Control g_control;
std::string g_logFile;
std::thread g_worker;  // stands for a monitor's own threads: ended only by the shutdown
bool g_stopWorker = false;

// The open port: one at a time is enough for the tests.
struct Port {
  std::string name;
  DWORD jobId = 0;
  HANDLE printer = nullptr;
};
Port g_port;
HANDLE const kPortHandle = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(1));

void Log(const char* event) {
  if (g_logFile.empty()) return;
  std::ofstream(g_logFile, std::ios::app) << event << "\n";
}

void Record(const std::string& call) {
  std::lock_guard guard(g_control.lock);
  g_control.calls.push_back(call);
  g_control.changed.notify_all();
}

std::string MonitorName() {
  std::size_t slash = g_control.registryPath.find_last_of('\\');
  return slash == std::string::npos ? g_control.registryPath : g_control.registryPath.substr(slash + 1);
}

HKEY OpenOwnKey(const std::string& sub = "") {
  HKEY key = nullptr;
  std::string path = g_control.registryPath + (sub.empty() ? "" : "\\" + sub);
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return nullptr;
  return key;
}

DWORD ReadDword(HKEY key, const char* name, DWORD fallback) {
  DWORD value = 0, size = sizeof value, type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return fallback;
  return value;
}

std::vector<std::string> SubKeys(HKEY key) {
  std::vector<std::string> names;
  char name[256];
  for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i) names.push_back(name);
  return names;
}

bool KnownPort(const std::string& name) {
  std::lock_guard guard(g_control.lock);
  for (const std::string& port : g_control.ports)
    if (port == name) return true;
  return false;
}

bool Wide() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExW(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Places a string below *top, wide or one byte per character as the system has it.
BYTE* PutString(BYTE** top, const std::string& text, bool wide) {
  std::u16string chars = vek::ToWide(text);
  std::size_t unit = wide ? 2 : 1;
  *top -= (chars.size() + 1) * unit;
  for (std::size_t i = 0; i <= chars.size(); ++i) {
    char16_t c = i < chars.size() ? chars[i] : 0;
    if (wide)
      std::memcpy(*top + i * 2, &c, 2);
    else
      (*top)[i] = static_cast<BYTE>(c);
  }
  return *top;
}

BOOL WINAPI FakeEnumPorts(LPWSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
  Record("EnumPorts(" + std::to_string(level) + ")");
  if (needed == nullptr || returned == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (level != 1 && level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  std::vector<std::string> ports;
  bool malformed = false;
  {
    std::lock_guard guard(g_control.lock);
    ports = g_control.ports;
    malformed = g_control.malformedEnum;
  }
  bool wide = Wide();
  std::size_t unit = wide ? 2 : 1;
  std::string monitor = MonitorName();
  DWORD total = 0;
  for (const std::string& port : ports) {
    total += static_cast<DWORD>((vek::ToWide(port).size() + 1) * unit);
    if (level == 2)
      total += static_cast<DWORD>(sizeof(PORT_INFO_2W) + (vek::ToWide(monitor).size() + 1) * unit +
                                  (std::string("FAKE,PID:1").size() + 1) * unit);
    else
      total += sizeof(PORT_INFO_1W);
  }
  *needed = total;
  *returned = 0;
  if (size < total) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  BYTE* top = buffer + size;
  for (std::size_t i = 0; i < ports.size(); ++i) {
    if (level == 1) {
      PORT_INFO_1W info{};
      info.pName = reinterpret_cast<LPWSTR>(PutString(&top, ports[i], wide));
      std::memcpy(buffer + i * sizeof info, &info, sizeof info);
    } else {
      PORT_INFO_2W info{};
      info.pPortName = reinterpret_cast<LPWSTR>(PutString(&top, ports[i], wide));
      info.pMonitorName = reinterpret_cast<LPWSTR>(PutString(&top, monitor, wide));
      info.pDescription = reinterpret_cast<LPWSTR>(PutString(&top, "FAKE,PID:1", wide));
      if (malformed) info.pDescription = reinterpret_cast<LPWSTR>(buffer + size + 64);
      std::memcpy(buffer + i * sizeof info, &info, sizeof info);
    }
  }
  *returned = static_cast<DWORD>(ports.size());
  return TRUE;
}

BOOL WINAPI FakeOpenPort(LPWSTR name, PHANDLE handle) {
  std::string port = vek::ToNarrow(name);
  Record("OpenPort(" + port + ")");
  if (!KnownPort(port) || !g_port.name.empty()) {
    *handle = nullptr;
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  g_port = Port{port};
  *handle = kPortHandle;
  return TRUE;
}

BOOL WINAPI FakeStartDocPort(HANDLE handle, LPWSTR printer, DWORD jobId, DWORD level, LPBYTE info) {
  std::string document = level == 1 && info ? vek::ToNarrow(reinterpret_cast<DOC_INFO_1W*>(info)->pDocName) : "";
  Record("StartDocPort(" + vek::ToNarrow(printer) + "," + std::to_string(jobId) + "," + document + ")");
  if (handle != kPortHandle) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  {
    std::lock_guard guard(g_control.lock);
    if (g_control.failStartDoc) {
      SetLastError(g_control.startDocError);
      return FALSE;
    }
  }
  g_port.jobId = jobId;
  OpenPrinterW(printer, &g_port.printer, nullptr);
  return TRUE;
}

// Calls into the spooler as a monitor does while a job runs; true when they worked.
bool CallSpooler() {
  BYTE job[300] = {};
  DWORD needed = 0;
  bool ok = GetJobW(g_port.printer, g_port.jobId, 1, job, sizeof job, &needed);
  if (ok) {
    std::lock_guard guard(g_control.lock);
    g_control.lastJobStatus = reinterpret_cast<JOB_INFO_1W*>(job)->Status;
  }
  std::u16string port = vek::ToWide(g_port.name);
  PORT_INFO_3W status{PORT_STATUS_PAPER_OUT, nullptr, PORT_STATUS_TYPE_ERROR};
  ok = SetPortW(nullptr, port.c_str(), 3, reinterpret_cast<LPBYTE>(&status)) && ok;
  std::vector<BYTE> printer(3500);
  ok = GetPrinterW(g_port.printer, 2, printer.data(), static_cast<DWORD>(printer.size()), &needed) && ok;
  DWORD count = 0;
  EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
  return ok;
}

void CallBack() {
  bool direct = CallSpooler();
  // From another thread too, given a deadline: a lock held by the caller would stop it.
  auto other = std::async(std::launch::async, CallSpooler);
  bool returned = other.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  bool fine = direct && returned && other.get();
  std::lock_guard guard(g_control.lock);
  ++g_control.callbacks;
  if (!fine) ++g_control.callbackFailures;
}

BOOL WINAPI FakeWritePort(HANDLE handle, LPBYTE data, DWORD length, LPDWORD written) {
  *written = 0;
  if (handle != kPortHandle) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  fake::WriteStep step;
  bool callBack = false;
  DWORD delay = 0;
  {
    std::unique_lock guard(g_control.lock);
    ++g_control.writes;
    if (g_control.blockAtBytes && g_control.received.size() >= g_control.blockAtBytes && !g_control.released) {
      g_control.blocked = true;
      g_control.changed.notify_all();
      g_control.changed.wait(guard, [] { return g_control.released; });
      g_control.blocked = false;
    }
    if (!g_control.steps.empty()) {
      step = g_control.steps.front();
      g_control.steps.pop_front();
    } else if (g_control.failWrites > 0) {
      --g_control.failWrites;
      step = {FALSE, g_control.failError, 0};
    } else {
      step.take = g_control.maxWrite;
    }
    callBack = g_control.callBackInWrite;
    delay = g_control.writeDelayMs;
  }
  if (delay) std::this_thread::sleep_for(std::chrono::milliseconds(delay));
  if (callBack) CallBack();
  DWORD take = std::min(step.take, length);
  {
    std::lock_guard guard(g_control.lock);
    g_control.received.append(reinterpret_cast<const char*>(data), take);
    g_control.changed.notify_all();
  }
  *written = take;
  SetLastError(step.error);
  return step.result;
}

BOOL WINAPI FakeEndDocPort(HANDLE handle) {
  Record("EndDocPort");
  if (handle != kPortHandle) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  BYTE job[300] = {};
  DWORD needed = 0;
  DWORD status = GetJobW(g_port.printer, g_port.jobId, 1, job, sizeof job, &needed)
                     ? reinterpret_cast<JOB_INFO_1W*>(job)->Status
                     : 0;
  bool cancel = false;
  {
    std::lock_guard guard(g_control.lock);
    cancel = g_control.cancelAtEndDoc;
    g_control.endDocJobStatus = status;
  }
  if (cancel) SetJobW(g_port.printer, g_port.jobId, 0, nullptr, JOB_CONTROL_CANCEL);
  ClosePrinter(g_port.printer);
  g_port.printer = nullptr;
  return TRUE;
}

BOOL WINAPI FakeClosePort(HANDLE handle) {
  Record("ClosePort");
  if (handle != kPortHandle) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  g_port = Port{};
  return TRUE;
}

// Takes the port the setup hand-over left under TempPort, as the VEK monitor may.
BOOL WINAPI FakeAddPort(LPWSTR, HWND, LPWSTR monitor) {
  Record("AddPort(" + vek::ToNarrow(monitor) + ")");
  if (DWORD error = g_control.addPortError) {
    SetLastError(error);
    return FALSE;
  }
  HKEY temp = nullptr;
  std::string path = g_control.registryPath + "\\TempPort";
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &temp) != ERROR_SUCCESS) return FALSE;
  std::vector<std::string> names = SubKeys(temp);
  if (names.empty()) {
    RegCloseKey(temp);
    return FALSE;
  }
  HKEY record = nullptr;
  if (RegOpenKeyExA(temp, names.front().c_str(), 0, KEY_ALL_ACCESS, &record) != ERROR_SUCCESS) record = nullptr;
  RegCloseKey(temp);
  if (HKEY port = OpenOwnKey("Ports\\" + names.front())) {
    for (DWORD i = 0; record; ++i) {
      char name[64];
      DWORD nameLength = sizeof name;
      BYTE data[256];
      DWORD size = sizeof data;
      DWORD type = 0;
      if (RegEnumValueA(record, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
      RegSetValueExA(port, name, 0, type, data, size);
    }
    RegCloseKey(port);
  }
  if (record) RegCloseKey(record);
  std::lock_guard guard(g_control.lock);
  g_control.ports.push_back(names.front());
  return TRUE;
}

BOOL WINAPI FakeConfigurePort(LPWSTR, HWND, LPWSTR name) {
  std::string port = vek::ToNarrow(name);
  Record("ConfigurePort(" + port + ")");
  if (!KnownPort(port)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI FakeDeletePort(LPWSTR, HWND, LPWSTR name) {
  std::string port = vek::ToNarrow(name);
  Record("DeletePort(" + port + ")");
  if (!KnownPort(port)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string path = g_control.registryPath + "\\Ports\\" + port;
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
  std::lock_guard guard(g_control.lock);
  std::erase(g_control.ports, port);
  return TRUE;
}

MONITOREX g_table;

void Worker() {
  std::unique_lock guard(g_control.lock);
  while (!g_stopWorker) g_control.changed.wait_for(guard, std::chrono::milliseconds(20));
}

}  // namespace

extern "C" fake::Control* FakeMonitorControl() { return &g_control; }

extern "C" LPMONITOREX InitializePrintMonitor(LPWSTR registryRoot) {
  std::string path = registryRoot ? vek::ToNarrow(registryRoot) : "";
  if (path.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  {
    std::lock_guard guard(g_control.lock);
    g_control.registryPath = path;
    ++g_control.inits;
  }
  if (HKEY key = OpenOwnKey()) {
    char log[1024] = {};
    DWORD size = sizeof log - 1, type = 0;
    if (RegQueryValueExA(key, "Log", nullptr, &type, reinterpret_cast<BYTE*>(log), &size) == ERROR_SUCCESS)
      g_logFile = log;
    std::lock_guard guard(g_control.lock);
    g_control.writeDelayMs = ReadDword(key, "WriteDelayMs", g_control.writeDelayMs);
    g_control.maxWrite = ReadDword(key, "MaxWrite", g_control.maxWrite);
    g_control.failWrites = ReadDword(key, "FailWrites", g_control.failWrites);
    g_control.failError = ReadDword(key, "FailError", g_control.failError);
    if (DWORD error = ReadDword(key, "StartDocError", 0)) {
      g_control.failStartDoc = true;
      g_control.startDocError = error;
    }
    g_control.addPortError = ReadDword(key, "AddPortError", g_control.addPortError);
    RegCloseKey(key);
  }
  if (HKEY ports = OpenOwnKey("Ports")) {
    std::vector<std::string> names = SubKeys(ports);
    RegCloseKey(ports);
    std::lock_guard guard(g_control.lock);
    g_control.ports = names;
  }
  Log("init");
  g_stopWorker = false;
  g_worker = std::thread(Worker);
  g_table = MONITOREX{};
  g_table.dwMonitorSize = sizeof(MONITOR);
  if (HKEY key = OpenOwnKey()) {
    g_table.dwMonitorSize = ReadDword(key, "TableSize", g_table.dwMonitorSize);
    RegCloseKey(key);
  }
  MONITOR& ops = g_table.Monitor;
  ops.pfnEnumPorts = FakeEnumPorts;
  ops.pfnOpenPort = FakeOpenPort;
  ops.pfnStartDocPort = FakeStartDocPort;
  ops.pfnWritePort = FakeWritePort;
  ops.pfnEndDocPort = FakeEndDocPort;
  ops.pfnClosePort = FakeClosePort;
  ops.pfnAddPort = FakeAddPort;
  ops.pfnConfigurePort = FakeConfigurePort;
  ops.pfnDeletePort = FakeDeletePort;
  return &g_table;
}

extern "C" void VekShutdownMonitor() {
  {
    std::lock_guard guard(g_control.lock);
    ++g_control.shutdowns;
    g_stopWorker = true;
    g_control.released = true;
    g_control.changed.notify_all();
  }
  if (g_worker.joinable()) g_worker.join();
  Log("shutdown");
}

// Runs when the library really leaves the process.
__attribute__((destructor)) static void Unloaded() { Log("unload"); }
