// Operating-system tests, the spooler's SetPortW with the port states it reports,
// the spooler's sized queries, and the strings of the port enumeration buffer
// (wide on NT, one byte per character on Windows 9x).
#pragma once

#include <algorithm>
#include <vector>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/types.h"

BOOL IsWinNT();
BOOL IsWinNT3();
// As the monitor has always computed it: minor version 16 or above and not 1 or
// above, which no version meets.
BOOL IsWinNT5x();

BOOL SetPortX(LPCWSTR portName, DWORD level, LPBYTE portInfo);
// Clears the port's status, or reports it out of paper (level 3).
void ClearPortStatus(LPCWSTR portName);
void ReportPaperOut(LPCWSTR portName);

// What a port tells the spooler while its job waits on the device: nothing, the
// device out of paper, failing, or busy with another job; or that it took no
// data for the retry time without saying why (out of paper by its code, as the
// write path fails with, in words that claim no more).
enum class PortReport { Clear, PaperOut, DeviceError, Busy, NoData };
BOOL ReportPortState(LPCWSTR portName, PortReport report);

// The spooler's two-call protocol: the size first, then a buffer of that size
// (asked again while the record grows between the calls).
template <typename Call>
bool QuerySized(Call call, std::vector<BYTE>* buffer) {
  DWORD needed = 0;
  for (int attempt = 0; attempt < 4; attempt++) {
    buffer->assign(std::max<DWORD>(needed, 1), 0);
    if (call(needed ? buffer->data() : nullptr, needed, &needed)) return true;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) return false;
  }
  return false;
}

// Bytes per character in the enumeration buffer.
int GetCharSize();
// Copies source with its terminator; returns the bytes written.
int CopyPortString(LPBYTE destination, LPCWSTR source);
