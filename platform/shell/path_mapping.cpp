#include "shell/path_mapping.h"

#include <unistd.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/machine_root.h"
#include "kernel/strings.h"
#include "kernel/version.h"

namespace vek::shell {
namespace {

namespace fs = std::filesystem;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasDrive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

// The components of a path, "." dropped and ".." taking the one before it away;
// `floor` keeps ".." from climbing above the start (a drive's root).
std::vector<std::string> Components(std::string_view path, bool floor) {
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i < path.size()) {
    while (i < path.size() && IsSeparator(path[i])) ++i;
    std::size_t start = i;
    while (i < path.size() && !IsSeparator(path[i])) ++i;
    std::string_view part = path.substr(start, i - start);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty() && parts.back() != "..") parts.pop_back();
      else if (!floor) parts.emplace_back("..");
      continue;
    }
    parts.emplace_back(part);
  }
  return parts;
}

// The entry of a folder that has the name, as written when it exists so, else one
// that differs only in case, else the name as written.
std::string MatchName(const fs::path& folder, const std::string& name) {
  std::error_code error;
  if (fs::symlink_status(folder / name, error).type() != fs::file_type::not_found && !error) return name;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error);
  if (error) return name;
  for (const fs::directory_entry& entry : it) {
    std::string candidate = entry.path().filename().string();
    if (CompareNoCase(candidate, name) == 0) return candidate;
  }
  return name;
}

std::string Resolve(fs::path base, const std::vector<std::string>& parts) {
  for (const std::string& part : parts) base /= part == ".." ? part : MatchName(base, part);
  return base.string();
}

// Whether a host path lies in a drive's folder of the machine root: the drive's
// letter, and where the path goes on inside that folder.
bool OnDrive(const std::string& hostPath, char* letter, std::size_t* rest) {
  const std::string drives = MachineRoot() + "/drives/";
  if (hostPath.compare(0, drives.size(), drives) != 0 || hostPath.size() == drives.size()) return false;
  *letter = hostPath[drives.size()];
  *rest = drives.size() + 1;
  return std::isalpha(static_cast<unsigned char>(*letter)) && (*rest == hostPath.size() || hostPath[*rest] == '/');
}

// The folder of the drive that holds a host folder, or the folder itself when
// it lies on none of the machine's drives.
fs::path DriveRootOf(const fs::path& folder) {
  char letter = 0;
  std::size_t rest = 0;
  const std::string text = folder.string();
  return OnDrive(text, &letter, &rest) ? fs::path(text.substr(0, rest)) : folder;
}

bool IsNineFamily() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

UINT CopyOut(const std::string& text, LPSTR buffer, UINT size) {
  if (buffer == nullptr || size <= text.size()) return static_cast<UINT>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<UINT>(text.size());
}

}  // namespace

std::string DriveFolder(char letter) {
  return MachineRoot() + "/drives/" + static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
}

std::string HostPath(std::string_view path) {
  if (path.empty()) return {};
  if (path.front() == '/') return std::string(path);
  if (path.size() >= 2 && path[0] == '\\' && IsSeparator(path[1])) return {};  // a network path
  if (HasDrive(path)) return Resolve(DriveFolder(path[0]), Components(path.substr(2), true));
  if (path.front() == '\\') return Resolve(DriveFolder('c'), Components(path, true));
  std::error_code error;
  fs::path base = fs::current_path(error);
  if (error) base.clear();
  // ".." climbs no higher than the drive the current folder lies on, as on
  // Windows; a current folder outside the drives (the setup CD's) is a drive
  // root of its own. No relative path leads out to the host's programs.
  const fs::path floor = DriveRootOf(base);
  std::vector<std::string> parts = Components(path, false);
  std::size_t up = 0;
  while (up < parts.size() && parts[up] == "..") {
    if (base != floor) base = base.parent_path();
    ++up;
  }
  parts.erase(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(up));
  return Resolve(base, parts);
}

std::string HostPathUnder(const std::string& hostFolder, std::string_view relativePath) {
  return Resolve(hostFolder, Components(relativePath, true));
}

std::string WindowsPathOf(const std::string& hostPath) {
  char letter = 0;
  std::size_t rest = 0;
  if (!OnDrive(hostPath, &letter, &rest)) return hostPath;
  std::string windows(1, static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
  windows += ":\\";
  for (const std::string& part : Components(std::string_view(hostPath).substr(rest), true)) {
    if (windows.back() != '\\') windows += '\\';
    windows += part;
  }
  return windows;
}

std::string WindowsDirectory() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  bool ntFolder = GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion <= 5 &&
                  !(info.dwMajorVersion == 5 && info.dwMinorVersion >= 1);
  return ntFolder ? "C:\\WINNT" : "C:\\WINDOWS";
}

std::string SystemDirectory() { return WindowsDirectory() + (IsNineFamily() ? "\\SYSTEM" : "\\system32"); }

std::string ProgramFolder() {
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.parent_path().string();
}

}  // namespace vek::shell

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) { return vek::shell::CopyOut(vek::shell::WindowsDirectory(), buffer, size); }

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) { return vek::shell::CopyOut(vek::shell::SystemDirectory(), buffer, size); }
