#include "spooler/profile.h"

#include <algorithm>
#include <string>
#include <vector>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "registry/registry.h"
#include "spooler/store.h"

namespace {

using vek::spooler::store::Join;
using vek::spooler::store::Key;
using vek::spooler::store::kProfileSections;

// Copies text into the caller's buffer, cut to fit and terminated; a list ends with
// a second zero. Returns what GetProfileString reports.
DWORD CopyOut(const std::string& text, bool list, LPSTR out, DWORD size) {
  if (out == nullptr || size == 0) return 0;
  DWORD ends = list ? 2 : 1;
  if (size < ends) {
    out[0] = '\0';
    return 0;
  }
  if (text.size() + ends <= size) {
    std::copy(text.begin(), text.end(), out);
    out[text.size()] = '\0';
    if (list) out[text.size() + 1] = '\0';
    return static_cast<DWORD>(text.size());
  }
  DWORD kept = size - ends;
  std::copy(text.begin(), text.begin() + kept, out);
  out[kept] = '\0';
  if (list) out[kept + 1] = '\0';
  return size - ends;
}

std::string List(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    text += name;
    text.push_back('\0');
  }
  if (!text.empty()) text.pop_back();  // the last terminator comes from CopyOut
  return text;
}

std::vector<std::string> ValueNames(HKEY key) {
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD length = sizeof name;
    LONG error = RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (error == ERROR_MORE_DATA) continue;
    if (error != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

}  // namespace

DWORD GetProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                        LPSTR lpReturnedString, DWORD nSize) {
  SetLastError(ERROR_SUCCESS);
  if (lpAppName == nullptr) {
    Key sections;
    std::vector<std::string> names;
    if (sections.Open(HKEY_CURRENT_USER, kProfileSections) == ERROR_SUCCESS)
      names = vek::spooler::store::SubKeys(sections.get());
    return CopyOut(List(names), true, lpReturnedString, nSize);
  }
  Key section;
  bool open = section.Open(HKEY_CURRENT_USER, Join(kProfileSections, lpAppName)) == ERROR_SUCCESS;
  if (lpKeyName == nullptr)
    return CopyOut(List(open ? ValueNames(section.get()) : std::vector<std::string>{}), true,
                   lpReturnedString, nSize);
  std::string value;
  if (!open || vek::spooler::store::ReadString(section.get(), lpKeyName, &value) != ERROR_SUCCESS) {
    value = lpDefault ? lpDefault : "";
    while (!value.empty() && value.back() == ' ') value.pop_back();
    SetLastError(ERROR_FILE_NOT_FOUND);
  }
  return CopyOut(value, false, lpReturnedString, nSize);
}

BOOL WriteProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString) {
  if (lpAppName == nullptr || *lpAppName == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string path = Join(kProfileSections, lpAppName);
  LONG error = ERROR_SUCCESS;
  if (lpKeyName == nullptr) {
    error = vek::spooler::store::DeleteTree(HKEY_CURRENT_USER, path);
  } else {
    Key section;
    if (lpString == nullptr) {
      if (section.Open(HKEY_CURRENT_USER, path) == ERROR_SUCCESS) {
        error = RegDeleteValueA(section.get(), lpKeyName);
        if (error == ERROR_FILE_NOT_FOUND) error = ERROR_SUCCESS;
      }
    } else {
      error = section.Create(HKEY_CURRENT_USER, path);
      if (error == ERROR_SUCCESS) error = vek::spooler::store::WriteString(section.get(), lpKeyName, lpString);
    }
  }
  if (error != ERROR_SUCCESS) {
    SetLastError(static_cast<DWORD>(error));
    return FALSE;
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}
