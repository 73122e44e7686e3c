#include "spooler/monitors.h"

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "kernel/error_text.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/machine_root.h"
#include "kernel/program_end.h"
#include "kernel/strings.h"
#include "kernel/version.h"
#include "spooler/local_port.h"
#include "spooler/names.h"
#include "spooler/service.h"
#include "spooler/spooler.h"
#include "registry/transaction.h"
#include "spooler/store.h"

namespace vek::spooler {

namespace {

// A monitor's answer to EnumPorts is never larger than this.
constexpr DWORD kMaxPortBuffer = 16u << 20;

struct Slot {
  MonitorPtr monitor;
  bool loading = false;
  std::thread::id loader;
  std::string error;
  std::string failedLibrary;  // not tried again until the registration names another
  std::vector<PortEntry> ports;  // as last enumerated
};

struct State {
  std::mutex lock;
  std::condition_variable changed;
  std::map<std::string, Slot, NameLess> slots;
  std::set<std::string, NameLess> unloading;
  bool generationsKnown = false;  // the monitors belong to these generations
  unsigned rootGeneration = 0;
  DWORD serviceGeneration = 0;
};

State& TheState() {
  static State* state = new State;  // lives until the process ends: job threads may outlive main
  return *state;
}

struct Registration {
  std::string name;
  std::string library;
};

std::vector<Registration> RegisteredMonitors() {
  std::vector<Registration> result;
  registry::Transaction reading(registry::Access::Read);  // one read of the store
  store::Key monitors;
  if (monitors.Open(HKEY_LOCAL_MACHINE, store::kMonitors) != ERROR_SUCCESS) return result;
  for (const std::string& name : store::SubKeys(monitors.get())) {
    store::Key key;
    if (key.Open(monitors.get(), name) != ERROR_SUCCESS) continue;
    std::string library;
    if (store::ReadString(key.get(), "Driver", &library) != ERROR_SUCCESS || library.empty()) continue;
    result.push_back({name, library});
  }
  return result;
}

template <typename Function>
Function Symbol(void* library, const char* name) {
  return reinterpret_cast<Function>(dlsym(library, name));
}

// What failed and, when it said, why.
std::string Failed(const char* what, DWORD error) {
  return error == ERROR_SUCCESS ? std::string(what) : std::string(what) + ": " + ErrorText(error);
}

// Loads and initialises one monitor, or says why it cannot be.
MonitorPtr LoadOne(const Registration& registration, std::string* error) {
  auto monitor = std::make_shared<LoadedMonitor>();
  monitor->name = registration.name;
  monitor->library = registration.library;
  if (IsLocalPortLibrary(registration.library)) {
    monitor->builtin = true;
    monitor->ops = LocalPortMonitor();
    return monitor;
  }

  std::string path = registration.library;
  if (path.front() != '/') path = MachineRoot() + "/" + path;
  dlerror();
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    *error = reason ? reason : "cannot load " + path;
    return nullptr;
  }
  monitor->library_handle = library;
  monitor->shutdown = Symbol<PFN_VEKSHUTDOWNMONITOR>(library, "VekShutdownMonitor");
  auto unload = [&] {
    if (monitor->shutdown) monitor->shutdown();
    dlclose(library);
  };

  std::u16string registryPath = ToWide(std::string(store::kMonitors) + "\\" + registration.name);
  if (auto initialize = Symbol<PFN_INITIALIZEPRINTMONITOR>(library, "InitializePrintMonitor")) {
    SetLastError(ERROR_SUCCESS);
    LPMONITOREX table = initialize(registryPath.data());
    if (table == nullptr) {
      *error = Failed("its InitializePrintMonitor failed", GetLastError());
      unload();
      return nullptr;
    }
    if (table->dwMonitorSize != MONITOR_SIZE_32BIT && table->dwMonitorSize < sizeof(MONITOR)) {
      *error = "its InitializePrintMonitor gave a table of " + std::to_string(table->dwMonitorSize) +
               " bytes";
      unload();
      return nullptr;
    }
    std::memcpy(&monitor->ops, &table->Monitor, sizeof(MONITOR));
  } else if (auto initializeEx = Symbol<PFN_INITIALIZEMONITOREX>(library, "InitializeMonitorEx")) {
    MONITOR_WITHOUT_ADDPORTEX table{};
    SetLastError(ERROR_SUCCESS);
    if (!initializeEx(registryPath.data(), &table)) {
      *error = Failed("its InitializeMonitorEx failed", GetLastError());
      unload();
      return nullptr;
    }
    MONITOR& ops = monitor->ops;
    ops.pfnEnumPorts = table.pfnEnumPorts;
    ops.pfnOpenPort = table.pfnOpenPort;
    ops.pfnStartDocPort = table.pfnStartDocPort;
    ops.pfnWritePort = table.pfnWritePort;
    ops.pfnReadPort = table.pfnReadPort;
    ops.pfnEndDocPort = table.pfnEndDocPort;
    ops.pfnClosePort = table.pfnClosePort;
    ops.pfnAddPort = table.pfnAddPort;
    ops.pfnConfigurePort = table.pfnConfigurePort;
    ops.pfnDeletePort = table.pfnDeletePort;
    ops.pfnGetPrinterDataFromPort = table.pfnGetPrinterDataFromPort;
    ops.pfnSetPortTimeOuts = table.pfnSetPortTimeOuts;
  } else {
    *error = path + " exports no InitializePrintMonitor";
    unload();
    return nullptr;
  }
  const MONITOR& ops = monitor->ops;
  if (!ops.pfnEnumPorts || !ops.pfnOpenPort || !ops.pfnStartDocPort || !ops.pfnWritePort ||
      !ops.pfnEndDocPort || !ops.pfnClosePort) {
    *error = "its table lacks EnumPorts, OpenPort, StartDocPort, WritePort, EndDocPort or ClosePort";
    unload();
    return nullptr;
  }
  return monitor;
}

using Taken = std::vector<std::pair<std::string, MonitorPtr>>;

// Takes the monitors out of the table. With onlyIdle, none at all unless no call
// is in any of them and none is being loaded; false then.
bool Take(State& state, bool onlyIdle, Taken* taken) {
  std::unique_lock guard(state.lock);
  auto loading = [&] {
    return std::any_of(state.slots.begin(), state.slots.end(),
                       [](const auto& entry) { return entry.second.loading; });
  };
  if (onlyIdle) {
    // Every reference but the table's is a call in progress (or a job using it).
    for (const auto& [name, slot] : state.slots)
      if (slot.loading || (slot.monitor && slot.monitor.use_count() > 1)) return false;
  } else {
    state.changed.wait(guard, [&] { return !loading(); });  // its monitor goes too
  }
  for (auto& [name, slot] : state.slots) {
    if (!slot.monitor) continue;
    state.unloading.insert(name);
    taken->emplace_back(name, std::move(slot.monitor));
  }
  state.slots.clear();
  state.generationsKnown = false;
  return true;
}

// Shuts the taken monitors down and unloads them, once every call into them returned.
void Unload(State& state, Taken taken) {
  for (auto& [name, monitor] : taken) {
    while (monitor.use_count() > 1) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (monitor->shutdown) monitor->shutdown();
    if (monitor->library_handle) dlclose(monitor->library_handle);
    monitor.reset();
  }
  std::lock_guard guard(state.lock);
  for (const auto& entry : taken) state.unloading.erase(entry.first);
  state.changed.notify_all();
}

// Monitors loaded for another machine root, or before the service was last started,
// go once nothing uses them; so do the memories of failed loads.
void UnloadIfStale(State& state) {
  unsigned root = MachineRootGeneration();
  DWORD service = SpoolerGeneration();
  {
    std::lock_guard guard(state.lock);
    if (state.generationsKnown && state.rootGeneration == root && state.serviceGeneration == service)
      return;
  }
  Taken taken;
  if (!Take(state, true, &taken)) return;  // later, once the calls and jobs have ended
  Unload(state, std::move(taken));
  std::lock_guard guard(state.lock);
  state.rootGeneration = root;
  state.serviceGeneration = service;
  state.generationsKnown = true;
}

// Reads one string of a monitor's EnumPorts answer: inside the buffer and ended
// inside it. Windows 9x monitors write one byte per character.
bool ReadPortString(const BYTE* buffer, DWORD size, const void* pointer, bool wide,
                    std::optional<std::string>* text) {
  text->reset();
  if (pointer == nullptr) return true;
  auto address = reinterpret_cast<std::uintptr_t>(pointer);
  auto base = reinterpret_cast<std::uintptr_t>(buffer);
  if (address < base || address >= base + size) return false;
  std::size_t offset = address - base;
  std::size_t unit = wide ? 2 : 1;
  std::u16string value;
  for (;; offset += unit) {
    if (offset + unit > size) return false;
    char16_t c = 0;
    if (wide)
      std::memcpy(&c, buffer + offset, 2);
    else
      c = buffer[offset];
    if (c == 0) break;
    value.push_back(c);
  }
  *text = ToNarrow(value);
  return true;
}

bool MonitorWritesWide() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  return !GetVersionExW(&version) || version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

DWORD ParsePorts(const LoadedMonitor& monitor, DWORD level, const BYTE* buffer, DWORD size,
                 DWORD returned, std::vector<PortEntry>* ports) {
  std::size_t record = level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
  if (returned > size / record) return ERROR_INVALID_DATA;
  bool wide = MonitorWritesWide();
  for (DWORD i = 0; i < returned; ++i) {
    PortEntry entry;
    std::optional<std::string> name, monitorName, description;
    if (level == 1) {
      PORT_INFO_1W info;
      std::memcpy(&info, buffer + i * record, sizeof info);
      if (!ReadPortString(buffer, size, info.pName, wide, &name)) return ERROR_INVALID_DATA;
    } else {
      PORT_INFO_2W info;
      std::memcpy(&info, buffer + i * record, sizeof info);
      if (!ReadPortString(buffer, size, info.pPortName, wide, &name) ||
          !ReadPortString(buffer, size, info.pMonitorName, wide, &monitorName) ||
          !ReadPortString(buffer, size, info.pDescription, wide, &description))
        return ERROR_INVALID_DATA;
      entry.type = info.fPortType;
    }
    if (!name || name->empty()) return ERROR_INVALID_DATA;
    entry.name = *name;
    entry.monitor = monitorName && !monitorName->empty() ? *monitorName : monitor.name;
    entry.description = description.value_or("");
    ports->push_back(std::move(entry));
  }
  return ERROR_SUCCESS;
}

DWORD AskPorts(const LoadedMonitor& monitor, std::vector<PortEntry>* ports) {
  DWORD level = 2;
  DWORD size = 0;
  for (int attempt = 0; attempt < 6; ++attempt) {
    std::vector<BYTE> buffer(std::max<DWORD>(size, 1), 0);
    DWORD needed = 0;
    DWORD returned = 0;
    SetLastError(ERROR_SUCCESS);
    BOOL ok = monitor.ops.pfnEnumPorts(nullptr, level, buffer.data(), size, &needed, &returned);
    if (ok) return ParsePorts(monitor, level, buffer.data(), size, returned, ports);
    DWORD error = GetLastError();
    if (error == ERROR_INSUFFICIENT_BUFFER && needed > size && needed <= kMaxPortBuffer) {
      size = needed;
    } else if (error == ERROR_INVALID_LEVEL && level == 2) {
      level = 1;
      size = 0;
    } else {
      return error != ERROR_SUCCESS ? error : ERROR_INVALID_DATA;
    }
  }
  return ERROR_INVALID_DATA;  // its size kept moving
}

}  // namespace

std::vector<MonitorPtr> LoadMonitors() {
  State& state = TheState();
  UnloadIfStale(state);
  std::vector<MonitorPtr> result;
  for (const Registration& registration : RegisteredMonitors()) {
    const std::string& name = registration.name;
    std::unique_lock guard(state.lock);
    // Another thread loading it finishes first; a load from inside its own
    // initialiser finds it loading and goes without it.
    state.changed.wait(guard, [&] {
      auto slot = state.slots.find(name);
      return slot == state.slots.end() || !slot->second.loading ||
             slot->second.loader == std::this_thread::get_id();
    });
    if (state.unloading.count(name)) continue;
    Slot& slot = state.slots[name];
    if (slot.loading) continue;
    if (!slot.monitor && slot.failedLibrary == registration.library) continue;  // failed before
    if (!slot.monitor) {
      slot.loading = true;
      slot.loader = std::this_thread::get_id();
      guard.unlock();
      std::string error;
      MonitorPtr monitor = LoadOne(registration, &error);
      // The program's end shuts down what it loaded (the spooler's own process would).
      if (monitor) AtProgramEnd(Shutdown);
      guard.lock();
      Slot& loaded = state.slots[name];  // the table may have changed meanwhile
      loaded.loading = false;
      loaded.monitor = monitor;
      loaded.error = monitor ? "" : error;
      loaded.failedLibrary = monitor ? "" : registration.library;
      state.changed.notify_all();
      if (!monitor) continue;
    }
    result.push_back(state.slots[name].monitor);
  }
  return result;
}

MonitorPtr FindMonitor(const std::string& name) {
  for (const MonitorPtr& monitor : LoadMonitors())
    if (SameName(monitor->name, name)) return monitor;
  for (const Registration& registration : RegisteredMonitors()) {
    if (SameName(registration.name, name)) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return nullptr;
    }
  }
  SetLastError(ERROR_UNKNOWN_PRINT_MONITOR);
  return nullptr;
}

DWORD MonitorPorts(const MonitorPtr& monitor, std::vector<PortEntry>* ports) {
  ports->clear();
  DWORD error = ERROR_SUCCESS;
  if (monitor->builtin)
    *ports = LocalPorts(monitor->name);
  else
    error = AskPorts(*monitor, ports);
  if (error != ERROR_SUCCESS) {
    ports->clear();
    return error;
  }
  State& state = TheState();
  std::lock_guard guard(state.lock);
  auto slot = state.slots.find(monitor->name);
  if (slot != state.slots.end() && slot->second.monitor == monitor) slot->second.ports = *ports;
  return ERROR_SUCCESS;
}

std::vector<PortEntry> AllPorts() {
  std::vector<PortEntry> all;
  for (const MonitorPtr& monitor : LoadMonitors()) {
    std::vector<PortEntry> ports;
    if (MonitorPorts(monitor, &ports) == ERROR_SUCCESS)
      all.insert(all.end(), ports.begin(), ports.end());
  }
  return all;
}

bool PortKnown(const std::string& port) {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  for (const auto& [name, slot] : state.slots)
    for (const PortEntry& entry : slot.ports)
      if (SameName(entry.name, port)) return true;
  return false;
}

MonitorPtr MonitorOfPort(const std::string& port, std::string* spelling) {
  for (const MonitorPtr& monitor : LoadMonitors()) {
    std::vector<PortEntry> ports;
    if (MonitorPorts(monitor, &ports) != ERROR_SUCCESS) continue;
    for (const PortEntry& entry : ports) {
      if (!SameName(entry.name, port)) continue;
      if (spelling) *spelling = entry.name;
      return monitor;
    }
  }
  return nullptr;
}

std::string LoadError(const std::string& monitor) {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  auto slot = state.slots.find(monitor);
  return slot == state.slots.end() ? "" : slot->second.error;
}

std::vector<std::pair<std::string, std::string>> LoadErrors() {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  std::vector<std::pair<std::string, std::string>> errors;
  for (const auto& [name, slot] : state.slots)
    if (!slot.error.empty()) errors.emplace_back(name, slot.error);
  return errors;
}

void UnloadMonitors() {
  State& state = TheState();
  Taken taken;
  Take(state, false, &taken);
  Unload(state, std::move(taken));
}

}  // namespace vek::spooler
