// Starting programs. CreateProcess gives a process handle that WaitForSingleObject
// waits on (signalled when the program has ended) and GetExitCodeProcess reads
// (STILL_ACTIVE until then); CloseHandle lets it go, the program runs on. The program
// is found as program_search.h says, gets its arguments split as command_line.h
// says, inherits none of this process's descriptors but the terminal's, and runs on
// the same machine: the same machine root and the same user language.
#pragma once

#include "kernel/types.h"

constexpr DWORD STARTF_USESHOWWINDOW = 0x00000001;
constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;
constexpr DWORD ERROR_DIRECTORY = 267;

struct STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
};
using LPSTARTUPINFOA = STARTUPINFOA*;

struct PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;  // waits and reads like the process: it is its only thread
  DWORD dwProcessId;
  DWORD dwThreadId;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

// The program is `applicationName` when given (taken as it is: no search, no
// ".exe"), else the first name on `commandLine`. `environment` is a block of
// "NAME=value" texts ending in an empty one, or null for this process's. FALSE with
// ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED (not a program),
// ERROR_BAD_EXE_FORMAT, ERROR_DIRECTORY (no such current directory) or
// ERROR_INVALID_PARAMETER (also for CREATE_SUSPENDED, which is not offered). A
// program ended by a signal reads as exit code 128 + the signal's number.
BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                    LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                    LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                    LPPROCESS_INFORMATION processInformation);
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
// Ends the program; its exit code becomes `exitCode`.
BOOL TerminateProcess(HANDLE process, UINT exitCode);
DWORD GetProcessId(HANDLE process);

// Starts a command line without keeping a handle. Above 31 when it started, else
// ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_BAD_FORMAT or 0.
UINT WinExec(LPCSTR commandLine, UINT showCommand);
