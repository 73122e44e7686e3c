// Printers as the store keeps them, and the handles this process has open on them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kernel/types.h"
#include "spooler/winspool.h"

namespace vek::spooler {

class Job;

struct PrinterRecord {
  std::string name;
  std::string share;
  std::string port;  // one port or several, separated by commas
  std::string driver;
  std::string comment;
  std::string location;
  std::string sepFile;
  std::string printProcessor;
  std::string datatype;
  std::string parameters;
  DWORD attributes = 0;  // as stored: never PRINTER_ATTRIBUTE_DEFAULT
  DWORD priority = DEF_PRIORITY;
  DWORD defaultPriority = 0;
  DWORD startTime = 0;
  DWORD untilTime = 0;
  DWORD status = 0;
};

// ERROR_INVALID_PRINTER_NAME when there is no such printer.
DWORD ReadPrinter(const std::string& name, PrinterRecord* printer);
std::vector<PrinterRecord> ReadPrinters();
// The names of a comma-separated port list, each as it is written.
std::vector<std::string> SplitPorts(const std::string& ports);
// The printer named by the profile's "windows"/"device" entry ("" when none).
std::string DefaultPrinter();

struct PrinterHandle {
  std::string printer;  // as the store spells it
  ACCESS_MASK access = 0;
  std::shared_ptr<Job> document;  // being spooled on this handle
};

// The handle's object, or null with ERROR_INVALID_HANDLE.
std::shared_ptr<PrinterHandle> LookupPrinter(HANDLE handle);

}  // namespace vek::spooler
