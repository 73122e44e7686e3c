// The registry functions in both forms. Each form is one template over the
// character type; the two entry points of a function differ only in that type.
#include <algorithm>
#include <string>
#include <vector>

#include "registry/api_results.h"
#include "registry/key_operations.h"
#include "registry/registry.h"
#include "registry/text_form.h"

namespace vek::registry {
namespace {

FILETIME ToFileTime(std::int64_t written) {
  auto bits = static_cast<std::uint64_t>(written);
  return FILETIME{static_cast<DWORD>(bits & 0xFFFFFFFFu), static_cast<DWORD>(bits >> 32)};
}

template <typename Char>
std::basic_string_view<Char> View(const std::basic_string<Char>& text) {
  return text;
}

template <typename Char>
LONG OpenSubKey(HKEY key, const Char* subKey, PHKEY result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  return OpenKeyPath(key, TextForm<Char>::Name(subKey), result);
}

template <typename Char>
LONG CreateSubKey(HKEY key, const Char* subKey, const Char* className, PHKEY result,
                  LPDWORD disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  return CreateKeyPath(key, TextForm<Char>::Name(subKey), TextForm<Char>::Name(className), result,
                       disposition);
}

template <typename Char>
LONG QueryValue(HKEY key, const Char* name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                LPDWORD size) {
  if (reserved != nullptr || (data != nullptr && size == nullptr)) return ERROR_INVALID_PARAMETER;
  ValueRow value;
  if (LONG error = ReadValue(key, TextForm<Char>::Name(name), &value)) return error;
  std::vector<BYTE> out = TextForm<Char>::DataOut(value.type, std::move(value.data));
  LONG result = CopyData(out, data, size);
  if (type != nullptr && (result == ERROR_SUCCESS || result == static_cast<LONG>(ERROR_MORE_DATA)))
    *type = value.type;
  return result;
}

template <typename Char>
LONG SetValue(HKEY key, const Char* name, DWORD type, const BYTE* data, DWORD size) {
  if (data == nullptr && size != 0) return ERROR_INVALID_PARAMETER;
  std::span<const BYTE> given;
  if (data != nullptr) given = std::span<const BYTE>(data, size);
  return WriteValue(key, TextForm<Char>::Name(name), type, TextForm<Char>::DataIn(type, given));
}

template <typename Char>
LONG EnumKey(HKEY key, DWORD index, Char* name, LPDWORD nameCount, LPDWORD reserved,
             Char* className, LPDWORD classCount, PFILETIME written) {
  if (name == nullptr || nameCount == nullptr || reserved != nullptr)
    return ERROR_INVALID_PARAMETER;
  if (className != nullptr && classCount == nullptr) return ERROR_INVALID_PARAMETER;
  KeyRow row;
  if (LONG error = ReadSubKeyAt(key, index, &row)) return error;
  auto outName = TextForm<Char>::Out(row.name);
  auto outClass = TextForm<Char>::Out(row.className);
  // Check everything fits before writing anything.
  if (outName.size() >= *nameCount) return ERROR_MORE_DATA;
  if (className != nullptr && outClass.size() >= *classCount) return ERROR_MORE_DATA;
  CopyName(View(outName), name, nameCount);
  if (className != nullptr) {
    CopyName(View(outClass), className, classCount);
  } else if (classCount != nullptr) {
    *classCount = static_cast<DWORD>(outClass.size());
  }
  if (written != nullptr) *written = ToFileTime(row.written);
  return ERROR_SUCCESS;
}

template <typename Char>
LONG EnumValue(HKEY key, DWORD index, Char* name, LPDWORD nameCount, LPDWORD reserved, LPDWORD type,
               LPBYTE data, LPDWORD size) {
  if (name == nullptr || nameCount == nullptr || reserved != nullptr)
    return ERROR_INVALID_PARAMETER;
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  ValueRow row;
  if (LONG error = ReadValueAt(key, index, &row)) return error;
  auto outName = TextForm<Char>::Out(row.name);
  std::vector<BYTE> outData = TextForm<Char>::DataOut(row.type, std::move(row.data));
  if (outName.size() >= *nameCount) return ERROR_MORE_DATA;
  // Data too large for the buffer: the size needed and the type, nothing else.
  LONG result = CopyData(outData, data, size);
  if (type != nullptr) *type = row.type;
  if (result != ERROR_SUCCESS) return result;
  return CopyName(View(outName), name, nameCount);
}

template <typename Char>
LONG DeleteSubKey(HKEY key, const Char* subKey) {
  if (subKey == nullptr) return ERROR_INVALID_PARAMETER;
  return DeleteKeyPath(key, TextForm<Char>::Name(subKey));
}

template <typename Char>
LONG DeleteValue(HKEY key, const Char* name) {
  return DeleteValueNamed(key, TextForm<Char>::Name(name));
}

template <typename Char>
LONG QueryInfo(HKEY key, Char* className, LPDWORD classCount, LPDWORD reserved, LPDWORD subKeys,
               LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values,
               LPDWORD maxValueNameLength, LPDWORD maxValueLength, LPDWORD securitySize,
               PFILETIME written) {
  if (reserved != nullptr || (className != nullptr && classCount == nullptr))
    return ERROR_INVALID_PARAMETER;
  KeyContents contents;
  if (LONG error = ReadKeyContents(key, &contents)) return error;
  auto outClass = TextForm<Char>::Out(contents.key.className);
  if (className != nullptr && outClass.size() >= *classCount) return ERROR_MORE_DATA;

  std::size_t longestSubKey = 0;
  std::size_t longestClass = 0;
  for (const KeyRow& row : contents.subKeys) {
    longestSubKey = std::max(longestSubKey, TextForm<Char>::Out(row.name).size());
    longestClass = std::max(longestClass, TextForm<Char>::Out(row.className).size());
  }
  std::size_t longestValueName = 0;
  std::size_t longestData = 0;
  for (ValueRow& row : contents.values) {
    longestValueName = std::max(longestValueName, TextForm<Char>::Out(row.name).size());
    longestData =
        std::max(longestData, TextForm<Char>::DataOut(row.type, std::move(row.data)).size());
  }

  if (className != nullptr) {
    CopyName(View(outClass), className, classCount);
  } else if (classCount != nullptr) {
    *classCount = static_cast<DWORD>(outClass.size());
  }
  if (subKeys != nullptr) *subKeys = static_cast<DWORD>(contents.subKeys.size());
  if (maxSubKeyLength != nullptr) *maxSubKeyLength = static_cast<DWORD>(longestSubKey);
  if (maxClassLength != nullptr) *maxClassLength = static_cast<DWORD>(longestClass);
  if (values != nullptr) *values = static_cast<DWORD>(contents.values.size());
  if (maxValueNameLength != nullptr) *maxValueNameLength = static_cast<DWORD>(longestValueName);
  if (maxValueLength != nullptr) *maxValueLength = static_cast<DWORD>(longestData);
  if (securitySize != nullptr) *securitySize = 0;
  if (written != nullptr) *written = ToFileTime(contents.key.written);
  return ERROR_SUCCESS;
}

}  // namespace
}  // namespace vek::registry

using namespace vek::registry;

// Options, access rights and security are accepted and not kept: every handle
// may do everything, and volatile keys persist like the others.

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
  return Report(OpenSubKey(hKey, lpSubKey, phkResult));
}
LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
  return Report(OpenSubKey(hKey, lpSubKey, phkResult));
}
LONG RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
  return Report(OpenSubKey(hKey, lpSubKey, phkResult));
}
LONG RegOpenKeyW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult) {
  return Report(OpenSubKey(hKey, lpSubKey, phkResult));
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPCSTR lpClass, DWORD, REGSAM,
                     const SECURITY_ATTRIBUTES*, PHKEY phkResult, LPDWORD lpdwDisposition) {
  return Report(CreateSubKey(hKey, lpSubKey, lpClass, phkResult, lpdwDisposition));
}
LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPCWSTR lpClass, DWORD, REGSAM,
                     const SECURITY_ATTRIBUTES*, PHKEY phkResult, LPDWORD lpdwDisposition) {
  return Report(CreateSubKey(hKey, lpSubKey, lpClass, phkResult, lpdwDisposition));
}
LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
  return Report(CreateSubKey<char>(hKey, lpSubKey, nullptr, phkResult, nullptr));
}
LONG RegCreateKeyW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult) {
  return Report(CreateSubKey<char16_t>(hKey, lpSubKey, nullptr, phkResult, nullptr));
}

LONG RegCloseKey(HKEY hKey) { return Report(CloseKeyHandle(hKey)); }

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData) {
  return Report(QueryValue(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData));
}
LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData) {
  return Report(QueryValue(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData));
}
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
  return Report(SetValue(hKey, lpValueName, dwType, lpData, cbData));
}
LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
  return Report(SetValue(hKey, lpValueName, dwType, lpData, cbData));
}

LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName) {
  return Report(EnumKey<char>(hKey, dwIndex, lpName, &cchName, nullptr, nullptr, nullptr, nullptr));
}
LONG RegEnumKeyW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, DWORD cchName) {
  return Report(
      EnumKey<char16_t>(hKey, dwIndex, lpName, &cchName, nullptr, nullptr, nullptr, nullptr));
}
LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
  return Report(EnumKey(hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass, lpcchClass,
                        lpftLastWriteTime));
}
LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPWSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
  return Report(EnumKey(hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass, lpcchClass,
                        lpftLastWriteTime));
}
LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  return Report(
      EnumValue(hKey, dwIndex, lpValueName, lpcchValueName, lpReserved, lpType, lpData, lpcbData));
}
LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  return Report(
      EnumValue(hKey, dwIndex, lpValueName, lpcchValueName, lpReserved, lpType, lpData, lpcbData));
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) { return Report(DeleteSubKey(hKey, lpSubKey)); }
LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) { return Report(DeleteSubKey(hKey, lpSubKey)); }
LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  return Report(DeleteValue(hKey, lpValueName));
}
LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
  return Report(DeleteValue(hKey, lpValueName));
}

LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                      LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                      LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                      LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
  return Report(QueryInfo(hKey, lpClass, lpcchClass, lpReserved, lpcSubKeys, lpcbMaxSubKeyLen,
                          lpcbMaxClassLen, lpcValues, lpcbMaxValueNameLen, lpcbMaxValueLen,
                          lpcbSecurityDescriptor, lpftLastWriteTime));
}
LONG RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                      LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                      LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                      LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
  return Report(QueryInfo(hKey, lpClass, lpcchClass, lpReserved, lpcSubKeys, lpcbMaxSubKeyLen,
                          lpcbMaxClassLen, lpcValues, lpcbMaxValueNameLen, lpcbMaxValueLen,
                          lpcbSecurityDescriptor, lpftLastWriteTime));
}
