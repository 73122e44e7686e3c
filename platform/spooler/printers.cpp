// Printers: their records in the store, the handles on them, and the printer calls.
#include "spooler/printers.h"

#include <map>
#include <mutex>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "spooler/api_types.h"
#include "spooler/jobs.h"
#include "spooler/monitors.h"
#include "spooler/names.h"
#include "spooler/pack.h"
#include "spooler/ports.h"
#include "spooler/profile.h"
#include "spooler/service.h"
#include "registry/transaction.h"
#include "spooler/store.h"

namespace vek::spooler {

namespace {

constexpr const char* kDefaultDriver = "Generic / Text Only";
constexpr const char* kDefaultProcessor = "WinPrint";
constexpr const char* kDefaultDatatype = "RAW";
constexpr std::size_t kMaxPrinterName = 220;

// The stored attributes never carry the default mark: the profile entry says
// which printer is the default.
DWORD StoredAttributes(DWORD attributes) { return attributes & ~PRINTER_ATTRIBUTE_DEFAULT; }

void ReadRecord(HKEY key, const std::string& name, PrinterRecord* printer) {
  using store::DwordOr;
  using store::StringOr;
  printer->name = name;
  printer->share = StringOr(key, "Share Name", "");
  printer->port = StringOr(key, "Port", "");
  printer->driver = StringOr(key, "Printer Driver", "");
  printer->comment = StringOr(key, "Description", "");
  printer->location = StringOr(key, "Location", "");
  printer->sepFile = StringOr(key, "Separator File", "");
  printer->printProcessor = StringOr(key, "Print Processor", kDefaultProcessor);
  printer->datatype = StringOr(key, "Datatype", kDefaultDatatype);
  printer->parameters = StringOr(key, "Parameters", "");
  printer->attributes = StoredAttributes(DwordOr(key, "Attributes", 0));
  printer->priority = DwordOr(key, "Priority", DEF_PRIORITY);
  printer->defaultPriority = DwordOr(key, "Default Priority", 0);
  printer->startTime = DwordOr(key, "StartTime", 0);
  printer->untilTime = DwordOr(key, "UntilTime", 0);
  printer->status = DwordOr(key, "Status", 0);
}

DWORD WriteRecord(const PrinterRecord& printer) {
  registry::Transaction transaction;  // other processes see the whole record
  store::Key key;
  if (LONG error = key.Create(HKEY_LOCAL_MACHINE, store::Join(store::kPrinters, printer.name)))
    return static_cast<DWORD>(error);
  HKEY k = key.get();
  LONG error = ERROR_SUCCESS;
  auto text = [&](const char* name, const std::string& value) {
    if (error == ERROR_SUCCESS) error = store::WriteString(k, name, value);
  };
  auto number = [&](const char* name, DWORD value) {
    if (error == ERROR_SUCCESS) error = store::WriteDword(k, name, value);
  };
  text("Name", printer.name);
  text("Share Name", printer.share);
  text("Port", printer.port);
  text("Printer Driver", printer.driver);
  text("Description", printer.comment);
  text("Location", printer.location);
  text("Separator File", printer.sepFile);
  text("Print Processor", printer.printProcessor);
  text("Datatype", printer.datatype);
  text("Parameters", printer.parameters);
  number("Attributes", StoredAttributes(printer.attributes));
  number("Priority", printer.priority);
  number("Default Priority", printer.defaultPriority);
  number("StartTime", printer.startTime);
  number("UntilTime", printer.untilTime);
  number("Status", printer.status);
  key.Close();
  if (error == ERROR_SUCCESS) error = transaction.Commit();
  return static_cast<DWORD>(error);
}

bool ValidPrinterName(const std::string& name) {
  return !name.empty() && name.size() <= kMaxPrinterName &&
         name.find_first_of("\\,") == std::string::npos;
}

// Every port of the list must be a port of some monitor, named by the rule.
DWORD CheckPorts(const std::string& ports) {
  std::vector<std::string> names = SplitPorts(ports);
  if (names.empty()) return ERROR_UNKNOWN_PORT;
  for (const std::string& name : names)
    if (!ValidPortName(name)) return ERROR_UNKNOWN_PORT;
  std::vector<PortEntry> known = AllPorts();
  for (const std::string& name : names) {
    bool found = false;
    for (const PortEntry& entry : known) found = found || SameName(entry.name, name);
    if (!found) return ERROR_UNKNOWN_PORT;
  }
  return ERROR_SUCCESS;
}

void MakeDefault(const PrinterRecord& printer) {
  std::vector<std::string> ports = SplitPorts(printer.port);
  std::string device = printer.name + "," + printer.driver + "," + (ports.empty() ? "" : ports.front());
  WriteProfileStringA("windows", "device", device.c_str());
}

// ---- Handles ----------------------------------------------------------------

std::mutex g_handleLock;
std::map<std::uintptr_t, std::shared_ptr<PrinterHandle>> g_handles;
std::uintptr_t g_nextHandle = 0x50000;

HANDLE NewHandle(const std::string& printer, ACCESS_MASK access) {
  auto object = std::make_shared<PrinterHandle>();
  object->printer = printer;
  object->access = access;
  std::lock_guard guard(g_handleLock);
  std::uintptr_t value = g_nextHandle;
  g_nextHandle += 4;
  g_handles.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

// ---- The calls, for both character types ----------------------------------------

template <typename Char>
void FillInfo1(const PrinterRecord& printer, typename Records<Char>::PrinterInfo1& info,
               StringArea<Char>& strings) {
  info.Flags = PRINTER_ENUM_ICON8;
  info.pDescription = strings.Put(printer.name + "," + printer.driver + "," + printer.comment);
  info.pName = strings.Put(printer.name);
  info.pComment = strings.Put(printer.comment);
}

struct PrinterView {
  PrinterRecord record;
  DWORD attributes;
  DWORD status;
  DWORD jobs;
};

PrinterView View(const PrinterRecord& printer, const std::string& defaultPrinter) {
  PrinterView view{printer, printer.attributes, printer.status, ActiveJobsOfPrinter(printer.name)};
  if (SameName(printer.name, defaultPrinter)) view.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
  for (const std::string& port : SplitPorts(printer.port))
    view.status |= PrinterStatusOfPort(ReadPortStatus(port));
  return view;
}

template <typename Char>
void FillInfo2(const PrinterView& view, typename Records<Char>::PrinterInfo2& info,
               StringArea<Char>& strings) {
  const PrinterRecord& printer = view.record;
  info.pServerName = nullptr;
  info.pPrinterName = strings.Put(printer.name);
  info.pShareName = strings.Put(printer.share);
  info.pPortName = strings.Put(printer.port);
  info.pDriverName = strings.Put(printer.driver);
  info.pComment = strings.Put(printer.comment);
  info.pLocation = strings.Put(printer.location);
  info.pDevMode = nullptr;
  info.pSepFile = strings.Put(printer.sepFile);
  info.pPrintProcessor = strings.Put(printer.printProcessor);
  info.pDatatype = strings.Put(printer.datatype);
  info.pParameters = strings.Put(printer.parameters);
  info.pSecurityDescriptor = nullptr;
  info.Attributes = view.attributes;
  info.Priority = printer.priority;
  info.DefaultPriority = printer.defaultPriority;
  info.StartTime = printer.startTime;
  info.UntilTime = printer.untilTime;
  info.Status = view.status;
  info.cJobs = view.jobs;
  info.AveragePPM = 0;
}

template <typename Char>
BOOL PackPrinters(const std::vector<PrinterRecord>& printers, DWORD level, LPBYTE buffer,
                  DWORD size, LPDWORD needed, LPDWORD returned) {
  using R = Records<Char>;
  if (level == 1) {
    return PackRecords<typename R::PrinterInfo1, Char>(
        printers.size(),
        [&](std::size_t i, typename R::PrinterInfo1& info, StringArea<Char>& strings) {
          FillInfo1<Char>(printers[i], info, strings);
        },
        buffer, size, needed, returned);
  }
  std::string defaultPrinter = DefaultPrinter();
  std::vector<PrinterView> views;
  for (const PrinterRecord& printer : printers) views.push_back(View(printer, defaultPrinter));
  return PackRecords<typename R::PrinterInfo2, Char>(
      views.size(),
      [&](std::size_t i, typename R::PrinterInfo2& info, StringArea<Char>& strings) {
        FillInfo2<Char>(views[i], info, strings);
      },
      buffer, size, needed, returned);
}

template <typename Char>
BOOL EnumPrintersT(DWORD flags, const Char* name, DWORD level, LPBYTE buffer, DWORD size,
                   LPDWORD needed, LPDWORD returned) {
  if (needed == nullptr || returned == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *needed = 0;
  *returned = 0;
  if (level != 1 && level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  if (!CheckRunning()) return FALSE;
  if (!IsLocalServer(name)) {
    SetLastError(ERROR_INVALID_NAME);
    return FALSE;
  }
  std::vector<PrinterRecord> printers;
  if (flags & (PRINTER_ENUM_LOCAL | PRINTER_ENUM_NAME)) {
    printers = ReadPrinters();
  } else if (flags & PRINTER_ENUM_DEFAULT) {
    PrinterRecord printer;
    std::string defaultPrinter = DefaultPrinter();
    if (!defaultPrinter.empty() && ReadPrinter(defaultPrinter, &printer) == ERROR_SUCCESS)
      printers.push_back(printer);
  }
  if (flags & PRINTER_ENUM_SHARED)
    std::erase_if(printers, [](const PrinterRecord& p) { return !(p.attributes & PRINTER_ATTRIBUTE_SHARED); });
  return PackPrinters<Char>(printers, level, buffer, size, needed, returned);
}

template <typename Char>
BOOL OpenPrinterT(const Char* name, LPHANDLE handle, const typename Records<Char>::PrinterDefaults* defaults) {
  if (handle == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *handle = nullptr;
  if (!CheckRunning()) return FALSE;
  std::optional<std::string> text = Text(name);
  PrinterRecord printer;
  if (!text || ReadPrinter(*text, &printer) != ERROR_SUCCESS) {
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return FALSE;
  }
  *handle = NewHandle(printer.name, defaults ? defaults->DesiredAccess : PRINTER_ACCESS_USE);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

// The record a caller's PRINTER_INFO_2 describes, over the current one (null
// strings keep what there is).
template <typename Info>
void Apply(const Info& info, PrinterRecord* printer) {
  auto take = [](auto* text, std::string* field) {
    if (auto value = Text(text)) *field = *value;
  };
  take(info.pShareName, &printer->share);
  take(info.pPortName, &printer->port);
  take(info.pDriverName, &printer->driver);
  take(info.pComment, &printer->comment);
  take(info.pLocation, &printer->location);
  take(info.pSepFile, &printer->sepFile);
  take(info.pPrintProcessor, &printer->printProcessor);
  take(info.pDatatype, &printer->datatype);
  take(info.pParameters, &printer->parameters);
  printer->attributes = info.Attributes;
  printer->priority = info.Priority;
  printer->defaultPriority = info.DefaultPriority;
  printer->startTime = info.StartTime;
  printer->untilTime = info.UntilTime;
}

template <typename Char>
HANDLE AddPrinterT(const Char* server, DWORD level, LPBYTE data) {
  if (level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return nullptr;
  }
  if (data == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!CheckRunning()) return nullptr;
  if (!IsLocalServer(server)) {
    SetLastError(ERROR_INVALID_NAME);
    return nullptr;
  }
  const auto& info = *reinterpret_cast<const typename Records<Char>::PrinterInfo2*>(data);
  std::optional<std::string> name = Text(info.pPrinterName);
  if (!name || !ValidPrinterName(*name)) {
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return nullptr;
  }
  PrinterRecord existing;
  if (ReadPrinter(*name, &existing) == ERROR_SUCCESS) {
    SetLastError(ERROR_PRINTER_ALREADY_EXISTS);
    return nullptr;
  }
  PrinterRecord printer;
  printer.name = *name;
  Apply(info, &printer);
  if (printer.driver.empty()) printer.driver = kDefaultDriver;
  if (printer.printProcessor.empty()) printer.printProcessor = kDefaultProcessor;
  if (printer.datatype.empty()) printer.datatype = kDefaultDatatype;
  if (printer.priority == 0) printer.priority = DEF_PRIORITY;
  if (DWORD error = CheckPorts(printer.port)) {
    SetLastError(error);
    return nullptr;
  }
  if (DWORD error = WriteRecord(printer)) {
    SetLastError(error);
    return nullptr;
  }
  // Like Windows, the first printer becomes the default one.
  PrinterRecord current;
  std::string defaultPrinter = DefaultPrinter();
  if ((info.Attributes & PRINTER_ATTRIBUTE_DEFAULT) || defaultPrinter.empty() ||
      ReadPrinter(defaultPrinter, &current) != ERROR_SUCCESS)
    MakeDefault(printer);
  HANDLE handle = NewHandle(printer.name, PRINTER_ALL_ACCESS);
  SetLastError(ERROR_SUCCESS);
  return handle;
}

template <typename Char>
BOOL GetPrinterT(HANDLE handle, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
  std::shared_ptr<PrinterHandle> object = LookupPrinter(handle);
  if (!object) return FALSE;
  if (needed == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *needed = 0;
  if (level != 1 && level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  PrinterRecord printer;
  if (DWORD error = ReadPrinter(object->printer, &printer)) {
    SetLastError(error);
    return FALSE;
  }
  return PackPrinters<Char>({printer}, level, buffer, size, needed, nullptr);
}

template <typename Char>
BOOL SetPrinterT(HANDLE handle, DWORD level, LPBYTE data, DWORD command) {
  std::shared_ptr<PrinterHandle> object = LookupPrinter(handle);
  if (!object) return FALSE;
  if (level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  if (command != 0) {
    SetLastError(ERROR_INVALID_PRINTER_COMMAND);
    return FALSE;
  }
  if (data == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto& info = *reinterpret_cast<const typename Records<Char>::PrinterInfo2*>(data);
  PrinterRecord printer;
  if (DWORD error = ReadPrinter(object->printer, &printer)) {
    SetLastError(error);
    return FALSE;
  }
  std::optional<std::string> name = Text(info.pPrinterName);
  if (name && !name->empty() && !SameName(*name, printer.name)) {
    SetLastError(ERROR_NOT_SUPPORTED);  // printers are not renamed
    return FALSE;
  }
  std::string oldPort = printer.port;
  Apply(info, &printer);
  // Only a changed port is checked: the monitors' own threads set printers back
  // with their port unchanged, and must not be asked for their ports meanwhile.
  if (printer.port != oldPort) {
    if (DWORD error = CheckPorts(printer.port)) {
      SetLastError(error);
      return FALSE;
    }
  }
  if (DWORD error = WriteRecord(printer)) {
    SetLastError(error);
    return FALSE;
  }
  if ((info.Attributes & PRINTER_ATTRIBUTE_DEFAULT) && !SameName(DefaultPrinter(), printer.name))
    MakeDefault(printer);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

}  // namespace

DWORD ReadPrinter(const std::string& name, PrinterRecord* printer) {
  registry::Transaction reading(registry::Access::Read);  // the record as it stands, in one read
  store::Key printers;
  if (name.empty() || printers.Open(HKEY_LOCAL_MACHINE, store::kPrinters) != ERROR_SUCCESS)
    return ERROR_INVALID_PRINTER_NAME;
  // The key's own spelling is the printer's name.
  for (const std::string& stored : store::SubKeys(printers.get())) {
    if (!SameName(stored, name)) continue;
    store::Key key;
    if (key.Open(printers.get(), stored) != ERROR_SUCCESS) break;
    ReadRecord(key.get(), stored, printer);
    return ERROR_SUCCESS;
  }
  return ERROR_INVALID_PRINTER_NAME;
}

std::vector<PrinterRecord> ReadPrinters() {
  std::vector<PrinterRecord> result;
  registry::Transaction reading(registry::Access::Read);
  store::Key printers;
  if (printers.Open(HKEY_LOCAL_MACHINE, store::kPrinters) != ERROR_SUCCESS) return result;
  for (const std::string& name : store::SubKeys(printers.get())) {
    store::Key key;
    if (key.Open(printers.get(), name) != ERROR_SUCCESS) continue;
    PrinterRecord printer;
    ReadRecord(key.get(), name, &printer);
    result.push_back(std::move(printer));
  }
  return result;
}

std::vector<std::string> SplitPorts(const std::string& ports) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= ports.size()) {
    std::size_t comma = ports.find(',', start);
    if (comma == std::string::npos) comma = ports.size();
    // As written: a port " P1" is not P1.
    std::string name = ports.substr(start, comma - start);
    if (!name.empty()) names.push_back(name);
    start = comma + 1;
  }
  return names;
}

std::string DefaultPrinter() {
  char device[1024];
  GetProfileStringA("windows", "device", "", device, sizeof device);
  std::string text = device;
  return text.substr(0, text.find(','));
}

std::shared_ptr<PrinterHandle> LookupPrinter(HANDLE handle) {
  std::lock_guard guard(g_handleLock);
  auto found = g_handles.find(reinterpret_cast<std::uintptr_t>(handle));
  if (found == g_handles.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return found->second;
}

}  // namespace vek::spooler

using namespace vek::spooler;

BOOL WINAPI EnumPrintersA(DWORD Flags, LPCSTR Name, DWORD Level, LPBYTE pPrinterEnum, DWORD cbBuf,
                          LPDWORD pcbNeeded, LPDWORD pcReturned) {
  return EnumPrintersT<char>(Flags, Name, Level, pPrinterEnum, cbBuf, pcbNeeded, pcReturned);
}
BOOL WINAPI EnumPrintersW(DWORD Flags, LPCWSTR Name, DWORD Level, LPBYTE pPrinterEnum, DWORD cbBuf,
                          LPDWORD pcbNeeded, LPDWORD pcReturned) {
  return EnumPrintersT<char16_t>(Flags, Name, Level, pPrinterEnum, cbBuf, pcbNeeded, pcReturned);
}

BOOL WINAPI OpenPrinterA(LPCSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSA pDefault) {
  return OpenPrinterT<char>(pPrinterName, phPrinter, pDefault);
}
BOOL WINAPI OpenPrinterW(LPCWSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSW pDefault) {
  return OpenPrinterT<char16_t>(pPrinterName, phPrinter, pDefault);
}

BOOL WINAPI ClosePrinter(HANDLE hPrinter) {
  std::shared_ptr<PrinterHandle> object;
  {
    std::lock_guard guard(g_handleLock);
    auto found = g_handles.find(reinterpret_cast<std::uintptr_t>(hPrinter));
    if (found == g_handles.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    object = std::move(found->second);
    g_handles.erase(found);
  }
  if (object->document) AbortJob(object->document);  // a document never ended is dropped
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

HANDLE WINAPI AddPrinterA(LPCSTR pName, DWORD Level, LPBYTE pPrinter) {
  return AddPrinterT<char>(pName, Level, pPrinter);
}
HANDLE WINAPI AddPrinterW(LPCWSTR pName, DWORD Level, LPBYTE pPrinter) {
  return AddPrinterT<char16_t>(pName, Level, pPrinter);
}

BOOL WINAPI GetPrinterA(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded) {
  return GetPrinterT<char>(hPrinter, Level, pPrinter, cbBuf, pcbNeeded);
}
BOOL WINAPI GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded) {
  return GetPrinterT<char16_t>(hPrinter, Level, pPrinter, cbBuf, pcbNeeded);
}

BOOL WINAPI SetPrinterA(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command) {
  return SetPrinterT<char>(hPrinter, Level, pPrinter, Command);
}
BOOL WINAPI SetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command) {
  return SetPrinterT<char16_t>(hPrinter, Level, pPrinter, Command);
}
