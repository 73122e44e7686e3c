// Setting up a machine root for the spooler and the system's programs.
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "kernel/error_text.h"
#include "kernel/errors.h"
#include "kernel/machine_root.h"
#include "net/netbios_segment.h"
#include "shell/path_mapping.h"
#include "spooler/local_port.h"
#include "spooler/spool_folder.h"
#include "spooler/spooler.h"
#include "spooler/store.h"
#include "spooler/winsvc.h"

namespace vek::spooler {

namespace {

constexpr const char* kClientProtocols = "SOFTWARE\\Microsoft\\Rpc\\ClientProtocols";

// Runs the steps in order until one fails, naming it in *error.
class Steps {
 public:
  explicit Steps(std::string* error) : m_error(error) {}
  template <typename Step>
  Steps& Then(const std::string& what, Step step) {
    if (m_result == ERROR_SUCCESS) {
      m_result = static_cast<DWORD>(step());
      if (m_result != ERROR_SUCCESS && m_error) *m_error = what + ": " + ErrorText(m_result);
    }
    return *this;
  }
  DWORD result() const { return m_result; }

 private:
  std::string* m_error;
  DWORD m_result = ERROR_SUCCESS;
};

bool HasValue(HKEY key, const char* name) {
  return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG CreateKeys(std::initializer_list<const char*> paths) {
  for (const char* path : paths) {
    store::Key key;
    if (LONG error = key.Create(HKEY_LOCAL_MACHINE, path)) return error;
  }
  return ERROR_SUCCESS;
}

LONG RegisterMonitor(const std::string& name, const std::string& library, bool replaceLibrary) {
  store::Key key;
  if (LONG error = key.Create(HKEY_LOCAL_MACHINE, store::Join(store::kMonitors, name))) return error;
  if (!library.empty() && (replaceLibrary || !HasValue(key.get(), "Driver")))
    if (LONG error = store::WriteString(key.get(), "Driver", library)) return error;
  return ERROR_SUCCESS;
}

LONG RegisterVekMonitor(const std::string& library) {
  if (LONG error = RegisterMonitor(kVekMonitorName, library, true)) return error;
  store::Key key;
  if (LONG error = key.Open(HKEY_LOCAL_MACHINE, store::Join(store::kMonitors, kVekMonitorName))) return error;
  if (!HasValue(key.get(), "PrintMonitor"))
    if (LONG error = store::WriteString(key.get(), "PrintMonitor", kVekMonitorDisplayName)) return error;
  // The setup wizard accepts the monitor only with a one-byte "Version" of 2.
  const BYTE version = 2;
  return store::WriteBinary(key.get(), "Version", &version, 1);
}

LONG SetUpService() {
  store::Key key;
  if (LONG error = key.Create(HKEY_LOCAL_MACHINE, store::kSpoolerService)) return error;
  if (!HasValue(key.get(), "DisplayName"))
    if (LONG error = store::WriteString(key.get(), "DisplayName", "Print Spooler")) return error;
  if (!HasValue(key.get(), "State"))
    if (LONG error = store::WriteDword(key.get(), "State", SERVICE_RUNNING)) return error;
  return ERROR_SUCCESS;
}

// RPC over NetBIOS installed and bound to the LANAs this machine's NetBIOS layer
// has: what the monitor looks for to use NetBEUI.
LONG SetUpNetbios() {
  store::Key protocols;
  if (LONG error = protocols.Create(HKEY_LOCAL_MACHINE, kClientProtocols)) return error;
  if (!HasValue(protocols.get(), "ncacn_ip_tcp"))
    if (LONG error = store::WriteString(protocols.get(), "ncacn_ip_tcp", "rpcrt4.dll")) return error;
  for (const vek::net::NetbiosRegistryValue& value : vek::net::NetbiosRegistryValues()) {
    store::Key key;
    if (LONG error = key.Create(HKEY_LOCAL_MACHINE, value.key.c_str())) return error;
    if (!HasValue(key.get(), value.name.c_str()))
      if (LONG error = store::WriteString(key.get(), value.name.c_str(), value.text)) return error;
  }
  return ERROR_SUCCESS;
}

}  // namespace

// A link to the program: the build's program runs from the machine's system folder.
DWORD PlaceAddPrinterProgram(const std::string& program) {
  std::filesystem::path place = AddPrinterProgramPlace();
  std::error_code failed;
  std::filesystem::create_directories(place.parent_path(), failed);
  if (failed) return ERROR_PATH_NOT_FOUND;
  std::filesystem::remove(place, failed);
  std::filesystem::create_symlink(std::filesystem::absolute(program), place, failed);
  return failed ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
}

std::string AddPrinterProgramPlace() {
  return (std::filesystem::path(vek::shell::HostPath(vek::shell::SystemDirectory())) / "RunDLL32.exe").string();
}

bool MachineRootReady() {
  struct stat info {};
  std::string root = MachineRoot();
  return stat(root.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         stat((root + "/registry.db").c_str(), &info) == 0;
}

DWORD SetUpMachine(const MachineSetup& setup, std::string* error) {
  std::string root = MachineRoot();
  return Steps(error)
      .Then("cannot create " + root,
            [&] {
              std::error_code failed;
              std::filesystem::create_directories(root, failed);
              if (failed) return ERROR_PATH_NOT_FOUND;
              if (DWORD error = MakeSpoolFolder("ports")) return error;
              return MakeSpoolFolder("local");
            })
      .Then("cannot create the spooler's keys",
            [] { return CreateKeys({store::kPrinters, store::kMonitors, store::kPorts, store::kJobs}); })
      .Then("cannot register the Local Port monitor",
            [] { return RegisterMonitor(kLocalPortMonitor, kLocalPortLibrary, false); })
      .Then("cannot register the VEK monitor", [&] { return RegisterVekMonitor(setup.monitorLibrary); })
      .Then("cannot set up the Spooler service", [] { return SetUpService(); })
      .Then("cannot set up the NetBIOS values", [] { return SetUpNetbios(); })
      .result();
}

}  // namespace vek::spooler
