// The spooler's records in the registry store: key paths, and value reads that
// check type and size before they trust what they read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kernel/types.h"
#include "registry/key_store.h"
#include "registry/registry.h"

namespace vek::spooler::store {

// HKLM paths.
inline constexpr const char* kPrint = "System\\CurrentControlSet\\Control\\Print";
inline constexpr const char* kPrinters = "System\\CurrentControlSet\\Control\\Print\\Printers";
inline constexpr const char* kMonitors = "System\\CurrentControlSet\\Control\\Print\\Monitors";
inline constexpr const char* kPorts = "System\\CurrentControlSet\\Control\\Print\\Ports";
inline constexpr const char* kJobs = "System\\CurrentControlSet\\Control\\Print\\Jobs";
inline constexpr const char* kSpoolerService = "System\\CurrentControlSet\\Services\\Spooler";
// HKCU path of the profile sections.
inline constexpr const char* kProfileSections = "Software\\Microsoft\\Windows NT\\CurrentVersion";

// Longest string value the spooler reads back (bytes, terminator included).
inline constexpr DWORD kMaxString = 4096;

// An open key, closed at the end of its scope.
class Key {
 public:
  Key() = default;
  ~Key() { Close(); }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  Key(Key&& other) noexcept : m_key(other.m_key) { other.m_key = nullptr; }

  LONG Open(HKEY root, const std::string& path);
  LONG Create(HKEY root, const std::string& path, DWORD* disposition = nullptr);
  void Close();
  HKEY get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
};

// ERROR_FILE_NOT_FOUND when missing, ERROR_INVALID_DATA when of the wrong type or
// size. Strings stop at their first zero.
LONG ReadString(HKEY key, const char* name, std::string* value);
LONG ReadDword(HKEY key, const char* name, DWORD* value);
LONG ReadBinary(HKEY key, const char* name, std::vector<BYTE>* value, DWORD maxBytes);
// The same checks on a value read with others (registry/subkey_values.h); a
// missing one is a null pointer.
LONG StringOf(const registry::ValueRow* value, std::string* text);
LONG DwordOf(const registry::ValueRow* value, DWORD* number);
// Reads with a fallback for a missing or unusable value.
std::string StringOr(HKEY key, const char* name, const std::string& fallback);
DWORD DwordOr(HKEY key, const char* name, DWORD fallback);

LONG WriteString(HKEY key, const char* name, const std::string& value);
LONG WriteDword(HKEY key, const char* name, DWORD value);
LONG WriteBinary(HKEY key, const char* name, const void* data, DWORD size);

// Names of the subkeys, in the store's order.
std::vector<std::string> SubKeys(HKEY key);
// Removes a key with everything under it; a missing key is no error.
LONG DeleteTree(HKEY root, const std::string& path);

std::string Join(const std::string& parent, const std::string& child);

}  // namespace vek::spooler::store
