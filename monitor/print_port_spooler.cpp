// The spooler queries of the status thread: is the job being deleted, how many
// jobs wait for the printer.
#include <algorithm>
#include <vector>

#include "debug_log.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/sync.h"
#include "print_port.h"
#include "system_helpers.h"

BOOL CPrintPort::IsJobDeleted() {
  if (m_hPrinter == nullptr) return FALSE;
  std::vector<BYTE> buffer;
  bool ok = QuerySized(
      [&](LPBYTE data, DWORD size, LPDWORD needed) { return GetJobW(m_hPrinter, m_JobId, 1, data, size, needed); },
      &buffer);
  if (!ok) {
    theDebugLog.Trace("[%s]::IsJobDeleted() = %d", m_PortName, GetLastError());
    return FALSE;
  }
  const auto* job = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
  if (job->Status & JOB_STATUS_DELETING) {
    theDebugLog.Trace("[%s]::IsJobDeleted() Job Deleted", m_PortName);
    m_bJobDeleted = TRUE;
    SetEvent(m_hWakeEvent);
    return TRUE;
  }
  return FALSE;
}

BOOL CPrintPort::JobsInQueue() {
  m_JobsInQueue = 0;
  if (m_hPrinter == nullptr) return FALSE;
  std::vector<BYTE> buffer;
  bool ok = QuerySized(
      [&](LPBYTE data, DWORD size, LPDWORD needed) { return GetPrinterW(m_hPrinter, 2, data, size, needed); },
      &buffer);
  if (!ok) return FALSE;
  m_JobsInQueue = static_cast<int>(reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data())->cJobs);
  theDebugLog.Trace("[%s]::JobsInQueue() %d Jobs In Queue", m_PortName, m_JobsInQueue.load());
  return TRUE;
}
