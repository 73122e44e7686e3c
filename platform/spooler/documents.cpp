// The document calls on a printer handle: what they spool becomes a job.
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "spooler/api_types.h"
#include "spooler/jobs.h"
#include "spooler/printers.h"
#include "spooler/service.h"

using namespace vek::spooler;

template <typename Char>
static DWORD StartDocPrinterT(HANDLE hPrinter, DWORD level, LPBYTE data) {
  std::shared_ptr<PrinterHandle> printer = LookupPrinter(hPrinter);
  if (!printer) return 0;
  if (level != 1) {
    SetLastError(ERROR_INVALID_LEVEL);
    return 0;
  }
  if (data == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!CheckRunning()) return 0;
  if (printer->document) {
    SetLastError(ERROR_BUSY);  // one document at a time per handle
    return 0;
  }
  const auto& info = *reinterpret_cast<const typename Records<Char>::DocInfo1*>(data);
  if (info.pOutputFile != nullptr && info.pOutputFile[0] != 0) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return 0;
  }
  PrinterRecord record;
  if (DWORD error = ReadPrinter(printer->printer, &record)) {
    SetLastError(error);
    return 0;
  }
  std::string datatype = Text(info.pDatatype).value_or("");
  if (datatype.empty()) datatype = record.datatype;
  DWORD error = ERROR_SUCCESS;
  std::shared_ptr<Job> job = CreateJob(record.name, Text(info.pDocName).value_or(""), datatype, &error);
  if (!job) {
    SetLastError(error);
    return 0;
  }
  printer->document = job;
  SetLastError(ERROR_SUCCESS);
  return JobId(*job);
}

DWORD WINAPI StartDocPrinterA(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo) {
  return StartDocPrinterT<char>(hPrinter, Level, pDocInfo);
}
DWORD WINAPI StartDocPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo) {
  return StartDocPrinterT<char16_t>(hPrinter, Level, pDocInfo);
}

BOOL WINAPI WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten) {
  std::shared_ptr<PrinterHandle> printer = LookupPrinter(hPrinter);
  if (!printer) return FALSE;
  if (pcWritten == nullptr || (pBuf == nullptr && cbBuf > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *pcWritten = 0;
  if (!printer->document) {
    SetLastError(ERROR_SPL_NO_STARTDOC);
    return FALSE;
  }
  if (DWORD error = AppendToJob(*printer->document, pBuf, cbBuf)) {
    SetLastError(error);
    return FALSE;
  }
  *pcWritten = cbBuf;
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL WINAPI EndDocPrinter(HANDLE hPrinter) {
  std::shared_ptr<PrinterHandle> printer = LookupPrinter(hPrinter);
  if (!printer) return FALSE;
  if (!printer->document) {
    SetLastError(ERROR_SPL_NO_STARTDOC);
    return FALSE;
  }
  std::shared_ptr<Job> job = std::move(printer->document);
  printer->document.reset();
  if (DWORD error = SubmitJob(job)) {
    SetLastError(error);
    return FALSE;
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL WINAPI AbortPrinter(HANDLE hPrinter) {
  std::shared_ptr<PrinterHandle> printer = LookupPrinter(hPrinter);
  if (!printer) return FALSE;
  if (!printer->document) {
    SetLastError(ERROR_SPL_NO_STARTDOC);
    return FALSE;
  }
  AbortJob(printer->document);
  printer->document.reset();
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}


