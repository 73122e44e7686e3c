// A printer added to the spooler, and a document printed as a program prints it:
// through the spooler to a printer, the job run by this process and waited for.
// Header only, for tests that link the platform.
#pragma once

#include <string>

#include "spooler/spooler.h"
#include "spooler/winspool.h"

namespace vek::test {

// Adds a printer on a port of the machine's spooler; false when the spooler refused.
inline bool AddLocalPrinter(std::string name, std::string port = "LPT1:") {
  PRINTER_INFO_2A info{};
  info.pPrinterName = name.data();
  info.pPortName = port.data();
  HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  if (printer == nullptr) return false;
  ClosePrinter(printer);
  return true;
}

// True when the job was spooled and ended printed.
inline bool PrintThroughSpooler(const std::string& printer, const std::string& data, DWORD timeoutMs = 60000) {
  HANDLE handle = nullptr;
  if (!OpenPrinterA(printer.c_str(), &handle, nullptr)) return false;
  std::string document = "test document";
  DOC_INFO_1A info{document.data(), nullptr, nullptr};
  DWORD job = StartDocPrinterA(handle, 1, reinterpret_cast<LPBYTE>(&info));
  DWORD written = 0;
  bool spooled = job != 0 &&
                 WritePrinter(handle, const_cast<char*>(data.data()), static_cast<DWORD>(data.size()), &written) &&
                 written == data.size() && EndDocPrinter(handle);
  ClosePrinter(handle);
  spooler::JobRecord last;
  if (!spooled || !spooler::WaitForJob(job, timeoutMs, [&](const spooler::JobRecord& record) { last = record; }))
    return false;
  return last.state == spooler::JobState::Printed;
}

}  // namespace vek::test
