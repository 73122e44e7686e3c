// The commands of vek-spool. They use the spooler's Windows calls as any program
// would, and the store as the setup wizard does for the port hand-over.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/machine_root.h"
#include "kernel/strings.h"
#include "registry/store_check.h"
#include "spooler/names.h"
#include "spooler/ports.h"
#include "spooler/printers.h"
#include "spooler/spooler.h"
#include "spooler/store.h"
#include "spooler/vek_spool.h"
#include "spooler/winspool.h"

namespace vek::spool_tool {

namespace {

using spooler::SameName;
namespace store = spooler::store;

std::string Narrow(const char16_t* text) { return text ? ToNarrow(text) : std::string(); }

constexpr const char* kPortNameRule =
    "is no port name: 1 to 20 characters, none of them ',', '\\' or a control character, and no blank at "
    "either end";

// The spooler's buffer protocol: a first call into a buffer big enough for the
// usual answer, another of the size asked when it was not. Empty on failure.
bool CallWithBuffer(const std::function<BOOL(LPBYTE, DWORD, LPDWORD)>& call, std::vector<BYTE>* buffer,
              DWORD* error) {
  buffer->assign(4096, 0);
  for (int attempt = 0; attempt < 5; ++attempt) {
    DWORD needed = 0;
    if (call(buffer->data(), static_cast<DWORD>(buffer->size()), &needed)) return true;
    *error = GetLastError();
    if (*error != ERROR_INSUFFICIENT_BUFFER) break;
    buffer->assign(needed, 0);
  }
  buffer->clear();
  return false;
}

bool HasPort(const std::vector<PortLine>& ports, const std::string& name) {
  for (const auto& port : ports)
    if (SameName(port.name, name)) return true;
  return false;
}

// The monitors that did not load, one warning each; true when there was one.
bool WarnMonitorErrors() {
  auto errors = spooler::MonitorLoadErrors();
  for (const auto& [monitor, reason] : errors)
    std::fprintf(stderr, "vek-spool: monitor '%s' is not loaded: %s\n", monitor.c_str(), reason.c_str());
  return !errors.empty();
}

std::string ExecutableFolder() {
  std::error_code failed;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
  return failed ? std::string(".") : self.parent_path().string();
}

// The VEK monitor's library: the option, the environment, else next to vek-spool.
std::string MonitorLibrary(const Arguments& args) {
  std::string path = args.Option("--monitor");
  if (path.empty())
    if (const char* library = std::getenv("VEK_MONITOR_LIBRARY")) path = library;
  if (!path.empty()) return std::filesystem::absolute(path).lexically_normal().string();
  std::filesystem::path here = ExecutableFolder();
  std::vector<std::filesystem::path> candidates = {
      here / VEK_MONITOR_DIR / "libDriver.so", here / VEK_MONITOR_DIR / "Driver.so",
      here / "libDriver.so", here / ".." / "lib" / "libDriver.so"};
  for (const auto& candidate : candidates)
    if (std::filesystem::exists(candidate)) return candidate.lexically_normal().string();
  return candidates.front().lexically_normal().string();
}

// The Add Printer program: the option, else next to vek-spool when it is there.
std::string AddPrinterProgram(const Arguments& args) {
  std::string path = args.Option("--add-printer");
  if (!path.empty()) return std::filesystem::absolute(path).lexically_normal().string();
  std::filesystem::path beside = std::filesystem::path(ExecutableFolder()) / "vek-addprinter";
  return std::filesystem::exists(beside) ? beside.lexically_normal().string() : std::string();
}

bool ParseNumber(const std::string& text, unsigned long max, unsigned long* value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 10)
    return false;
  *value = std::stoul(text);
  return *value <= max;
}

bool ParseAddress(const std::string& text, BYTE address[4]) {
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    std::size_t end = i < 3 ? text.find('.', start) : text.size();
    if (end == std::string::npos) return false;
    unsigned long part = 0;
    if (!ParseNumber(text.substr(start, end - start), 255, &part)) return false;
    address[i] = static_cast<BYTE>(part);
    start = end + 1;
  }
  return true;
}

bool ParseMac(const std::string& text, BYTE mac[6]) {
  if (text.size() != 17) return false;
  for (int i = 0; i < 6; ++i) {
    if (i > 0 && text[i * 3 - 1] != ':' && text[i * 3 - 1] != '-') return false;
    std::string pair = text.substr(i * 3, 2);
    if (pair.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
    mac[i] = static_cast<BYTE>(std::stoul(pair, nullptr, 16));
  }
  return true;
}

// Eight hex digits, the network number as it is written: "00004321".
bool ParseNetwork(const std::string& text, BYTE network[4]) {
  if (text.size() != 8 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
  for (int i = 0; i < 4; ++i) network[i] = static_cast<BYTE>(std::stoul(text.substr(i * 2, 2), nullptr, 16));
  return true;
}

// What goes on the wire is 16 characters; a name starting with '*' or a blank is no
// station's.
bool ValidNetbiosName(const std::string& name) {
  if (name.empty() || name.size() > 16 || name[0] == '*' || name[0] == ' ') return false;
  for (unsigned char c : name)
    if (c < 0x20 || c > 0x7E) return false;
  return true;
}

std::string Bytes(std::uint64_t n) { return std::to_string(n); }

// ---- print ---------------------------------------------------------------------------

std::atomic<int> g_interrupts{0};

void OnInterrupt(int) {
  if (g_interrupts.fetch_add(1) > 0) {
    signal(SIGINT, SIG_DFL);
    raise(SIGINT);
  }
}

std::string Progress(const spooler::JobRecord& job) {
  std::string text = "job " + std::to_string(job.id) + " on " + job.printer + ": " + spooler::DescribeJob(job);
  if (job.state == spooler::JobState::Retrying) {
    DWORD limit = spooler::GetRetryPolicy().limit;
    text += ", try " + std::to_string(job.tries) + (limit ? " of " + std::to_string(limit) : "");
  }
  text += ", " + Bytes(job.written) + " / " + Bytes(job.total) + " bytes";
  if (job.total > 0) text += " (" + std::to_string(job.written * 100 / job.total) + "%)";
  return text;
}

// What a failed job's port knows of its print server, in a person's words.
void ExplainFailure(const spooler::JobRecord& job) {
  VekPort port;
  if (!ReadVekPort(job.port, &port) || port.server.empty()) return;
  const std::string at = port.server + " (printer port " + std::to_string(port.portId) + ")";
  if (job.error == ERROR_IO_DEVICE && job.cause == spooler::JobCause::NoConnection) {
    Fail(0, "the print server did not answer at " + at +
                ", or refused the job: check that it is switched on and connected to this network");
  } else if (job.error == ERROR_OUT_OF_PAPER && job.cause == spooler::JobCause::PaperOut) {
    Fail(0, "the print server at " + at + " reported its printer out of paper");
  } else if (job.error == ERROR_OUT_OF_PAPER) {
    Fail(0, "the print server at " + at + " took no data for the port's retry time (" +
                std::to_string(port.retryTimeout) + " s) and did not say why");
  } else if (job.error == ERROR_IO_DEVICE) {
    Fail(0, "the print server at " + at + " reported an error of its printer");
  }
}

int ExitOfJob(const spooler::JobRecord& job) {
  switch (job.state) {
    case spooler::JobState::Printed: return kOk;
    case spooler::JobState::Cancelled: return kJobCancelled;
    default: break;
  }
  if (job.error == ERROR_IO_DEVICE) return kJobDeviceError;
  if (job.error == ERROR_OUT_OF_PAPER) return kJobPaperOut;
  return kJobFailed;
}

// Spools the file to the printer; the job's id, or 0 after printing why not.
DWORD Submit(HANDLE printer, const std::string& file, const std::string& document, int* code) {
  std::ifstream input(file, std::ios::binary);
  std::u16string name = ToWide(document);
  std::u16string datatype = u"RAW";
  DOC_INFO_1W info{name.data(), nullptr, datatype.data()};
  DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
  if (job == 0) {
    *code = FailWith(GetLastError(), "cannot start the document");
    return 0;
  }
  std::vector<char> chunk(64 * 1024);
  while (input) {
    input.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    DWORD got = static_cast<DWORD>(input.gcount());
    DWORD written = 0;
    if (got > 0 && !WritePrinter(printer, chunk.data(), got, &written)) {
      DWORD error = GetLastError();
      AbortPrinter(printer);
      *code = FailWith(error, "cannot spool " + file);
      return 0;
    }
  }
  if (input.bad()) {
    AbortPrinter(printer);
    *code = Fail(kFailed, "cannot read " + file + ": " + std::strerror(errno));
    return 0;
  }
  if (!EndDocPrinter(printer)) {
    *code = FailWith(GetLastError(), "cannot end the document");
    return 0;
  }
  return job;
}

}  // namespace

bool ListPorts(std::vector<PortLine>* ports, DWORD* error) {
  std::vector<BYTE> buffer;
  DWORD count = 0;
  if (!CallWithBuffer(
          [&](LPBYTE data, DWORD size, LPDWORD needed) {
            return EnumPortsW(nullptr, 2, data, size, needed, &count);
          },
          &buffer, error))
    return false;
  const auto* info = reinterpret_cast<const PORT_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i)
    ports->push_back({Narrow(info[i].pPortName), Narrow(info[i].pMonitorName),
                      Narrow(info[i].pDescription), info[i].fPortType});
  return true;
}

int Init(const Arguments& args) {
  std::string library = MonitorLibrary(args);
  std::string error;
  spooler::MachineSetup setup;
  setup.monitorLibrary = library;
  if (DWORD failed = spooler::SetUpMachine(setup, &error)) {
    // A database that cannot be used is left for the user, never made anew over.
    if (registry::IsStoreError(static_cast<LONG>(failed)))
      return FailWith(failed, "cannot set up the machine root at " + MachineRoot());
    return Fail(kFailed, "cannot set up the machine root at " + MachineRoot() + ": " + error);
  }
  std::string addPrinter = AddPrinterProgram(args);
  if (!addPrinter.empty())
    if (DWORD failed = spooler::PlaceAddPrinterProgram(addPrinter))
      return FailWith(failed, "cannot place the Add Printer program at " + spooler::AddPrinterProgramPlace());
  std::printf("Machine root %s is ready.\n", MachineRoot().c_str());
  std::printf("Monitor '%s': %s\n", spooler::kVekMonitorName, library.c_str());
  if (!addPrinter.empty())
    std::printf("Add Printer: %s -> %s\n", spooler::AddPrinterProgramPlace().c_str(), addPrinter.c_str());
  if (!std::filesystem::exists(library))
    std::fprintf(stderr,
                 "vek-spool: warning: %s does not exist yet; its ports are unavailable until it does\n",
                 library.c_str());
  return kOk;
}

int Printers(const Arguments&) {
  std::vector<BYTE> buffer;
  DWORD count = 0;
  DWORD error = 0;
  if (!CallWithBuffer(
          [&](LPBYTE data, DWORD size, LPDWORD needed) {
            return EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, data, size, needed, &count);
          },
          &buffer, &error))
    return FailWith(error, "cannot list the printers");
  if (count == 0) {
    std::printf("No printers.\n");
    return kOk;
  }
  std::printf("  %-32s %-24s %-24s %s\n", "PRINTER", "PORT", "DRIVER", "JOBS");
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    std::printf("%c %-32s %-24s %-24s %u\n", (info[i].Attributes & PRINTER_ATTRIBUTE_DEFAULT) ? '*' : ' ',
                Printable(Narrow(info[i].pPrinterName)).c_str(), Printable(Narrow(info[i].pPortName)).c_str(),
                Printable(Narrow(info[i].pDriverName)).c_str(), info[i].cJobs);
  }
  return kOk;
}

int AddPrinter(const Arguments& args) {
  const std::string& name = args.positional[0];
  const std::string& port = args.positional[1];
  for (const std::string& one : spooler::SplitPorts(port))
    if (!spooler::ValidPortName(one)) return Fail(kUsage, "'" + one + "' " + kPortNameRule);
  std::u16string wideName = ToWide(name);
  std::u16string widePort = ToWide(port);
  std::u16string driver = ToWide(args.Option("--driver"));
  PRINTER_INFO_2W info{};
  info.pPrinterName = wideName.data();
  info.pPortName = widePort.data();
  info.pDriverName = driver.empty() ? nullptr : driver.data();
  HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  if (printer == nullptr) {
    DWORD error = GetLastError();
    if (error == ERROR_UNKNOWN_PORT) {
      WarnMonitorErrors();
      return Fail(kNotFound, "unknown port '" + port + "' (see 'vek-spool ports')");
    }
    if (error == ERROR_PRINTER_ALREADY_EXISTS) return Fail(kExists, "printer '" + name + "' exists already");
    if (error == ERROR_INVALID_PRINTER_NAME)
      return Fail(kUsage, "'" + name + "' is no valid printer name (no '\\' or ',', at most 220 characters)");
    return FailWith(error, "cannot add printer '" + name + "'");
  }
  ClosePrinter(printer);
  std::printf("Added printer '%s' on port %s.\n", name.c_str(), port.c_str());
  return kOk;
}

int Ports(const Arguments&) {
  std::vector<PortLine> ports;
  DWORD error = 0;
  if (!ListPorts(&ports, &error)) return FailWith(error, "cannot list the ports");
  WarnMonitorErrors();
  if (ports.empty()) {
    std::printf("No ports.\n");
    return kOk;
  }
  std::printf("%-24s %-34s %-24s %s\n", "PORT", "MONITOR", "DESCRIPTION", "STATUS");
  for (const auto& port : ports) {
    std::string text = spooler::DescribePortStatus(spooler::ReadPortStatus(port.name));
    std::printf("%-24s %-34s %-24s %s\n", Printable(port.name).c_str(), Printable(port.monitor).c_str(),
                Printable(port.description).c_str(), text.empty() ? "OK" : Printable(text).c_str());
  }
  return kOk;
}

int AddPort(const Arguments& args) {
  // Without a print server to hand over, the monitor's dialog finds one.
  if (args.positional.empty() && args.options.empty()) return AddPortByDialog(args);
  // The transports with their record codes, as the monitor loads them.
  enum class Transport { Udp, Ipx, NetBeui };
  const std::string transportText = args.Option("--transport", "udp");
  Transport transport = Transport::Udp;
  DWORD packetType = kPacketTypeUdp;
  if (transportText == "ipx") {
    transport = Transport::Ipx;
    packetType = kPacketTypeIpx;
  } else if (transportText == "netbeui") {
    transport = Transport::NetBeui;
    packetType = kPacketTypeNetBeui;
  } else if (transportText != "udp") {
    return Fail(kUsage, "unknown transport '" + transportText + "' (udp, ipx or netbeui)");
  }

  BYTE address[4] = {};
  if (transport == Transport::Udp) {
    if (args.positional.empty()) return Fail(kUsage, "a UDP port needs the print server's IPv4 address");
    if (!ParseAddress(args.positional[0], address))
      return Fail(kUsage, "'" + args.positional[0] + "' is no IPv4 address (like 192.168.0.10)");
  } else if (!args.positional.empty()) {
    return Fail(kUsage, std::string(transport == Transport::Ipx ? "an IPX" : "a NetBEUI") +
                            " port takes no IPv4 address ('" + args.positional[0] + "')");
  }
  BYTE mac[6] = {};
  if (args.Has("--mac") && !ParseMac(args.Option("--mac"), mac))
    return Fail(kUsage, "'" + args.Option("--mac") + "' is no MAC address (like 02:4E:57:12:AB:0C)");
  if (transport == Transport::Ipx && !args.Has("--mac"))
    return Fail(kUsage, "an IPX port needs the print server's MAC address (--mac), its node on the network");

  BYTE network[4] = {};
  if (args.Has("--network")) {
    if (transport != Transport::Ipx) return Fail(kUsage, "--network is for --transport ipx");
    if (!ParseNetwork(args.Option("--network"), network))
      return Fail(kUsage, "'" + args.Option("--network") + "' is no IPX network number (8 hex digits, like 00004321)");
  }
  BYTE psName[18] = {};
  std::string netbiosName = args.Option("--netbios-name");
  if (transport == Transport::NetBeui) {
    if (!args.Has("--netbios-name"))
      return Fail(kUsage, "a NetBEUI port needs the print server's NetBIOS name (--netbios-name)");
    if (!ValidNetbiosName(netbiosName))
      return Fail(kUsage, "'" + netbiosName +
                              "' is no NetBIOS name (1 to 16 printable characters, not starting with '*' or a blank)");
    std::memcpy(psName, netbiosName.data(), netbiosName.size());
  } else if (args.Has("--netbios-name")) {
    return Fail(kUsage, "--netbios-name is for --transport netbeui");
  }

  unsigned long model = 1;
  if (args.Has("--model") && !ParseNumber(args.Option("--model"), 1, &model))
    return Fail(kUsage, "the model is 0 (an older device, \"QI\") or 1 (\"NET\")");
  unsigned long portId = 1;
  if (args.Has("--port-id") && !ParseNumber(args.Option("--port-id"), 3, &portId)) portId = 0;
  if (portId < 1) return Fail(kUsage, "the port id is 1, 2 or 3");

  std::vector<PortLine> ports;
  DWORD error = 0;
  if (!ListPorts(&ports, &error)) return FailWith(error, "cannot list the ports");
  std::string name = args.Option("--name");
  if (args.Has("--name")) {
    if (!spooler::ValidPortName(name)) return Fail(kUsage, "'" + name + "' " + kPortNameRule);
    if (HasPort(ports, name)) return Fail(kExists, "port '" + name + "' exists already");
  } else {
    // As the setup wizard names ports: the last three bytes of the MAC and a number.
    for (int n = 1; name.empty() || HasPort(ports, name); ++n) {
      char text[32];
      std::snprintf(text, sizeof text, "VEK%02X%02X%02X-%d", mac[3], mac[4], mac[5], n);
      name = text;
    }
  }

  // The record the monitor takes the new port from, under its TempPort key.
  const std::string monitorKey = store::Join(store::kMonitors, spooler::kVekMonitorName);
  {
    store::Key monitor;
    if (monitor.Open(HKEY_LOCAL_MACHINE, monitorKey) != ERROR_SUCCESS)
      return Fail(kNotFound, "the monitor '" + std::string(spooler::kVekMonitorName) +
                                 "' is not registered (run 'vek-spool init')");
    store::Key record;
    if (LONG failed = record.Create(monitor.get(), "TempPort\\" + name))
      return FailWith(static_cast<DWORD>(failed), "cannot write the port's record");
    HKEY k = record.get();
    LONG failed = store::WriteBinary(k, "Network", network, sizeof network);
    if (!failed) failed = store::WriteBinary(k, "Node", mac, sizeof mac);
    if (!failed) failed = store::WriteBinary(k, "IPAddress", address, sizeof address);
    if (!failed) failed = store::WriteDword(k, "RetryTimeout", 90);
    if (!failed) failed = store::WriteDword(k, "PortID", static_cast<DWORD>(portId));
    if (!failed) failed = store::WriteDword(k, "PacketType", packetType);
    if (!failed) failed = store::WriteBinary(k, "PSName", psName, sizeof psName);
    if (!failed) failed = store::WriteDword(k, "Model", static_cast<DWORD>(model));
    if (failed) {
      store::DeleteTree(HKEY_LOCAL_MACHINE, store::Join(monitorKey, "TempPort"));
      return FailWith(static_cast<DWORD>(failed), "cannot write the port's record");
    }
  }
  store::Key portKey;
  portKey.Create(HKEY_LOCAL_MACHINE, store::Join(store::kPorts, name));

  std::u16string monitorName = ToWide(spooler::kVekMonitorName);
  BOOL added = AddPortW(nullptr, nullptr, monitorName.c_str());
  error = GetLastError();
  store::DeleteTree(HKEY_LOCAL_MACHINE, store::Join(monitorKey, "TempPort"));
  // A port that did not come leaves nothing of it behind.
  ports.clear();
  bool listed = added && ListPorts(&ports, &error) && HasPort(ports, name);
  if (!listed) {
    portKey.Close();
    store::DeleteTree(HKEY_LOCAL_MACHINE, store::Join(store::kPorts, name));
  }
  if (!added) {
    if (error == ERROR_MOD_NOT_FOUND) {
      WarnMonitorErrors();
      return Fail(kNoMonitor, "the monitor cannot add the port: its library does not load");
    }
    if (error == ERROR_SUCCESS) return Fail(kFailed, "the monitor did not add port " + name);
    return FailWith(error, "the monitor did not add port " + name);
  }
  if (!listed) return Fail(kFailed, "the monitor reported success but has no port " + name);
  const std::string server = DescribeServer(packetType, address, network, mac, netbiosName);
  std::printf("Added port %s for %s, printer port %lu.\n", name.c_str(), server.c_str(), portId);
  return kOk;
}

int Print(const Arguments& args) {
  const std::string& printerName = args.positional[0];
  const std::string& file = args.positional[1];
  std::error_code failed;
  const std::filesystem::file_status kind = std::filesystem::status(file, failed);
  if (!std::filesystem::exists(kind)) return Fail(kUsage, "cannot read " + file + ": no such file");
  if (std::filesystem::is_directory(kind)) return Fail(kUsage, "cannot print " + file + ": it is a folder");
  if (!std::filesystem::is_regular_file(kind))
    return Fail(kUsage, "cannot print " + file + ": it is not a regular file (a device, a pipe or a socket)");
  if (std::FILE* probe = std::fopen(file.c_str(), "rb")) {
    std::fclose(probe);
  } else {
    return Fail(kUsage, "cannot read " + file + ": " + std::strerror(errno));
  }
  spooler::RetryPolicy policy = spooler::GetRetryPolicy();
  unsigned long number = 0;
  if (args.Has("--retries")) {
    if (!ParseNumber(args.Option("--retries"), 0xFFFFFFFFu, &number))
      return Fail(kUsage, "--retries takes a number (0: until cancelled)");
    policy.limit = static_cast<DWORD>(number);
  }
  if (args.Has("--retry-interval")) {
    if (!ParseNumber(args.Option("--retry-interval"), 3600000, &number))
      return Fail(kUsage, "--retry-interval takes milliseconds");
    policy.intervalMs = static_cast<DWORD>(number);
  }
  spooler::SetRetryPolicy(policy);

  std::u16string wideName = ToWide(printerName);
  HANDLE printer = nullptr;
  if (!OpenPrinterW(wideName.c_str(), &printer, nullptr)) {
    DWORD error = GetLastError();
    if (error == ERROR_INVALID_PRINTER_NAME)
      return Fail(kNotFound, "unknown printer '" + printerName + "' (see 'vek-spool printers')");
    return FailWith(error, "cannot open printer '" + printerName + "'");
  }
  // The printer's port must be there before its job can reach it.
  std::vector<BYTE> buffer;
  DWORD error = 0;
  CallWithBuffer([&](LPBYTE data, DWORD size, LPDWORD needed) { return GetPrinterW(printer, 2, data, size, needed); },
           &buffer, &error);
  std::string port = buffer.empty() ? "" : Narrow(reinterpret_cast<PRINTER_INFO_2W*>(buffer.data())->pPortName);
  port = port.substr(0, port.find(','));
  std::vector<PortLine> ports;
  if (!ListPorts(&ports, &error)) {
    ClosePrinter(printer);
    return FailWith(error, "cannot list the ports");
  }
  if (!HasPort(ports, port)) {
    ClosePrinter(printer);
    if (WarnMonitorErrors())
      return Fail(kNoMonitor, "port '" + port + "' of printer '" + printerName + "' is unavailable");
    return Fail(kNotFound, "printer '" + printerName + "' is on port '" + port + "', which no monitor has");
  }

  std::string document = args.Option("--document", std::filesystem::path(file).filename().string());
  // Short names keep the job's record within what a monitor's job query reserves.
  if (ToWide(document).size() > 31) document = ToNarrow(ToWide(document).substr(0, 31));
  int code = kOk;
  DWORD job = Submit(printer, file, document, &code);
  ClosePrinter(printer);
  if (job == 0) return code;

  g_interrupts = 0;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  bool terminal = isatty(STDOUT_FILENO);
  bool cancelling = false;
  std::string last;
  std::string lastState;
  auto lastTime = std::chrono::steady_clock::now();
  spooler::JobRecord final;
  auto show = [&](const spooler::JobRecord& record) {
    final = record;
    std::string line = Progress(record);
    if (line == last) return;
    // Into a file or a pipe: a line per state, and the bytes about once a second.
    std::string state = spooler::DescribeJob(record);
    auto now = std::chrono::steady_clock::now();
    if (!terminal && state == lastState && now - lastTime < std::chrono::seconds(1)) return;
    last = line;
    lastState = state;
    lastTime = now;
    if (terminal)
      std::printf("\r\033[K%s", line.c_str());
    else
      std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  };
  while (!spooler::WaitForJob(job, 200, show)) {
    if (g_interrupts > 0 && !cancelling) {
      cancelling = true;
      spooler::CancelJob(job);
    }
  }
  signal(SIGINT, SIG_DFL);
  if (terminal) std::printf("\n");
  // A failure with its code after its words.
  const std::string codeText =
      final.state == spooler::JobState::Failed ? " (error " + std::to_string(final.error) + ")" : "";
  std::printf("job %u: %s%s, %s of %s bytes written\n", job, spooler::DescribeJob(final).c_str(), codeText.c_str(),
              Bytes(final.written).c_str(), Bytes(final.total).c_str());
  std::fflush(stdout);
  if (final.state == spooler::JobState::Failed) ExplainFailure(final);
  return ExitOfJob(final);
}

int Jobs(const Arguments&) {
  std::vector<spooler::JobRecord> jobs = spooler::ListJobs();
  if (jobs.empty()) {
    std::printf("No jobs.\n");
    return kOk;
  }
  std::printf("%-6s %-24s %-30s %-22s %s\n", "JOB", "PRINTER", "STATE", "BYTES", "DOCUMENT");
  for (const auto& job : jobs) {
    std::string bytes = Bytes(job.written) + "/" + Bytes(job.total);
    std::printf("%-6u %-24s %-30s %-22s %s\n", job.id, Printable(job.printer).c_str(),
                spooler::DescribeJob(job).c_str(), bytes.c_str(), Printable(job.document).c_str());
  }
  return kOk;
}

int Cancel(const Arguments& args) {
  unsigned long id = 0;
  if (!ParseNumber(args.positional[0], 0xFFFFFFFFu, &id) || id == 0)
    return Fail(kUsage, "'" + args.positional[0] + "' is no job number");
  spooler::JobRecord job;
  if (!spooler::ReadJob(static_cast<DWORD>(id), &job)) return Fail(kNotFound, "no job " + args.positional[0]);
  if (spooler::IsFinal(job.state)) {
    std::printf("Job %lu has ended already: %s.\n", id, spooler::DescribeJob(job).c_str());
    return kOk;
  }
  if (!spooler::CancelJob(static_cast<DWORD>(id))) return FailWith(GetLastError(), "cannot cancel job");
  std::printf("Job %lu is being cancelled.\n", id);
  return kOk;
}

}  // namespace vek::spool_tool
