// What the port tells the spooler about its device while a job waits on it. The
// write path fails with out of paper or a device error, which the spooler shows
// as the job's state; the start's busy retries and the end's drain return
// nothing until they are done, so the same states go to the spooler as the
// port's status, which it shows for the job waiting on the port.
#include "kernel/clock.h"
#include "kernel/errors.h"
#include "monitor_globals.h"
#include "print_port.h"

// As the write path: a known device error fails a write at the status kick, and
// silence alone fails it after the retry time-out (with out of paper's code, but
// not in its words: the device did not say so).
PortReport CPrintPort::SilenceReport(DWORD sinceSend) const {
  int deviceError = m_ErrorCode.load();
  if (sinceSend > kStatusKickMs && deviceError == static_cast<int>(ERROR_OUT_OF_PAPER)) return PortReport::PaperOut;
  if (sinceSend > kStatusKickMs && deviceError != 0) return PortReport::DeviceError;
  if (sinceSend > static_cast<DWORD>(m_RetryTimeout) * 1000) return PortReport::NoData;
  return PortReport::Clear;
}

void CPrintPort::ReportDeviceState(PortReport report, DWORD repeatMs) {
  // The spooler takes port states on Windows NT, as it takes the cleared status.
  if (!g_bWinNT || g_bWinNT3) return;
  DWORD now = GetTickCount();
  if (m_Reported == static_cast<int>(report)) {
    bool again = report != PortReport::Clear && repeatMs != INFINITE && now - m_ReportTick >= repeatMs;
    if (!again) return;
  }
  // A report the spooler refused is not made again at every call.
  ReportPortState(m_PortName, report);
  m_Reported = static_cast<int>(report);
  m_ReportTick = now;
}

// The port's status is cleared at the job's end: nothing to say until the next.
void CPrintPort::ForgetReportedState() { m_Reported = static_cast<int>(PortReport::Clear); }
