// The operating-system version and language the system's code sees.
// Both come from the environment so either family's code paths and the Japanese
// resources can be run:
//   VEK_WINVER  "9x" (4.10, Windows 98), "me" (4.90), "nt3" (3.51), "nt4" (4.0),
//               "2000" (5.0), "xp" (5.1, the default) or "MAJOR.MINOR[/9x]"
//   VEK_LANGID  a language id (decimal or 0x hex); else LANG: ja* gives Japanese
#pragma once

#include "kernel/types.h"

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
};
struct OSVERSIONINFOW {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  WCHAR szCSDVersion[128];
};
using LPOSVERSIONINFOA = OSVERSIONINFOA*;
using LPOSVERSIONINFOW = OSVERSIONINFOW*;

// Fails with ERROR_INSUFFICIENT_BUFFER unless the size field is that of the structure.
BOOL GetVersionExA(LPOSVERSIONINFOA info);
BOOL GetVersionExW(LPOSVERSIONINFOW info);
DWORD GetVersion();

constexpr WORD LANG_NEUTRAL = 0x00;
constexpr WORD LANG_ENGLISH = 0x09;
constexpr WORD LANG_JAPANESE = 0x11;
constexpr WORD SUBLANG_DEFAULT = 0x01;
constexpr WORD SUBLANG_ENGLISH_US = 0x01;
constexpr LANGID MAKELANGID(WORD primary, WORD sub) { return static_cast<LANGID>((sub << 10) | primary); }
constexpr WORD PRIMARYLANGID(LANGID id) { return static_cast<WORD>(id & 0x3FF); }
constexpr WORD SUBLANGID(LANGID id) { return static_cast<WORD>(id >> 10); }

LANGID GetUserDefaultLangID();
LANGID GetSystemDefaultLangID();
LCID GetUserDefaultLCID();
LCID GetSystemDefaultLCID();

namespace vek {

struct OsVersion {
  DWORD platformId;
  DWORD major;
  DWORD minor;
  DWORD build;
};

// Overrides for tests; Reset goes back to the environment's values.
void SetOsVersion(const OsVersion& version);
void SetLanguage(LANGID user, LANGID system);
void ResetOsVersionAndLanguage();

}  // namespace vek
