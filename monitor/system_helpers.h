// Operating-system tests, the spooler's SetPortW, and the strings of the port
// enumeration buffer (wide on NT, one byte per character on Windows 9x).
#pragma once

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

// Bytes per character in the enumeration buffer.
int GetCharSize();
// Copies source with its terminator; returns the bytes written.
int CopyPortString(LPBYTE destination, LPCWSTR source);
