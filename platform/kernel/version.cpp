#include "kernel/version.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/locale_language.h"

namespace {

struct Settings {
  vek::OsVersion version;
  LANGID user;
  LANGID system;
};

vek::OsVersion VersionFromEnvironment() {
  const char* text = std::getenv("VEK_WINVER");
  std::string name = text ? text : "xp";
  if (name == "95") return {VER_PLATFORM_WIN32_WINDOWS, 4, 0, 950};
  if (name == "9x" || name == "98") return {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 1998};
  if (name == "me") return {VER_PLATFORM_WIN32_WINDOWS, 4, 90, 3000};
  if (name == "nt3") return {VER_PLATFORM_WIN32_NT, 3, 51, 1057};
  if (name == "nt4") return {VER_PLATFORM_WIN32_NT, 4, 0, 1381};
  if (name == "2000") return {VER_PLATFORM_WIN32_NT, 5, 0, 2195};
  unsigned major = 0, minor = 0;
  char family[8] = {};
  int fields = std::sscanf(name.c_str(), "%u.%u/%7s", &major, &minor, family);
  if (fields >= 2) {
    bool nine = fields == 3 && std::strcmp(family, "9x") == 0;
    return {nine ? VER_PLATFORM_WIN32_WINDOWS : VER_PLATFORM_WIN32_NT, major, minor, 1000};
  }
  return {VER_PLATFORM_WIN32_NT, 5, 1, 2600};  // "xp" and anything unknown
}

LANGID LanguageFromEnvironment() {
  if (const char* id = std::getenv("VEK_LANGID")) {
    char* end = nullptr;
    unsigned long value = std::strtoul(id, &end, 0);
    if (end != id && value <= 0xFFFF) return static_cast<LANGID>(value);
  }
  // The language the user reads messages in, as the locale names it.
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* locale = std::getenv(variable);
    if (locale && *locale) return vek::LanguageOfLocale(locale);
  }
  return MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
}

std::mutex g_lock;
std::optional<Settings> g_settings;

Settings Current() {
  std::lock_guard guard(g_lock);
  if (!g_settings) {
    LANGID language = LanguageFromEnvironment();
    g_settings = Settings{VersionFromEnvironment(), language, language};
  }
  return *g_settings;
}

template <typename Info>
BOOL FillVersion(Info* info) {
  if (info == nullptr || info->dwOSVersionInfoSize != sizeof(Info)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  vek::OsVersion v = Current().version;
  info->dwMajorVersion = v.major;
  info->dwMinorVersion = v.minor;
  info->dwBuildNumber = v.platformId == VER_PLATFORM_WIN32_NT ? v.build : ((v.major << 24) | (v.minor << 16) | v.build);
  info->dwPlatformId = v.platformId;
  std::memset(info->szCSDVersion, 0, sizeof(info->szCSDVersion));
  return TRUE;
}

}  // namespace

static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(sizeof(OSVERSIONINFOW) == 276);

BOOL GetVersionExA(LPOSVERSIONINFOA info) { return FillVersion(info); }
BOOL GetVersionExW(LPOSVERSIONINFOW info) { return FillVersion(info); }

DWORD GetVersion() {
  vek::OsVersion v = Current().version;
  DWORD low = v.major | (v.minor << 8);
  if (v.platformId == VER_PLATFORM_WIN32_NT) return low | ((v.build & 0x7FFF) << 16);
  return low | 0x80000000u;
}

LANGID GetUserDefaultLangID() { return Current().user; }
LANGID GetSystemDefaultLangID() { return Current().system; }
LCID GetUserDefaultLCID() { return Current().user; }
LCID GetSystemDefaultLCID() { return Current().system; }

namespace vek {

void SetOsVersion(const OsVersion& version) {
  Settings settings = Current();
  settings.version = version;
  std::lock_guard guard(g_lock);
  g_settings = settings;
}

void SetLanguage(LANGID user, LANGID system) {
  Settings settings = Current();
  settings.user = user;
  settings.system = system;
  std::lock_guard guard(g_lock);
  g_settings = settings;
}

void ResetOsVersionAndLanguage() {
  std::lock_guard guard(g_lock);
  g_settings.reset();
}

}  // namespace vek
