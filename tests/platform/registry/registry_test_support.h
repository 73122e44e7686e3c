// Helpers shared by the registry tests.
#pragma once

#include <sys/types.h>
#include <sys/wait.h>
#include <sqlite3.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "kernel/errors.h"
#include "registry/registry.h"

namespace vek::test {

// Registry calls return LONG; the kernel's codes are DWORD.
constexpr LONG Code(DWORD error) { return static_cast<LONG>(error); }

// Closes the key it holds.
class ScopedKey {
 public:
  ScopedKey() = default;
  ~ScopedKey() { Reset(); }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  HKEY get() const { return m_key; }
  PHKEY out() {
    Reset();
    return &m_key;
  }
  void Reset() {
    if (m_key != nullptr) RegCloseKey(m_key);
    m_key = nullptr;
  }
  // Gives the handle up without closing it.
  HKEY Release() {
    HKEY key = m_key;
    m_key = nullptr;
    return key;
  }

 private:
  HKEY m_key = nullptr;
};

inline LONG CreateKey(HKEY parent, const char* path, ScopedKey* key, DWORD* disposition = nullptr) {
  return RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                         key->out(), disposition);
}

inline LONG SetDword(HKEY key, const char* name, DWORD value) {
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value);
}

inline LONG GetDword(HKEY key, const char* name, DWORD* value) {
  DWORD type = 0;
  DWORD size = sizeof *value;
  LONG error = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  if (error == Code(ERROR_SUCCESS) && (type != REG_DWORD || size != sizeof *value))
    return Code(ERROR_INVALID_DATA);
  return error;
}

// A narrow string value with its terminator.
inline LONG SetString(HKEY key, const char* name, const std::string& text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1));
}

// What SQLite's own check of the database file says: "ok" when it is whole.
inline std::string IntegrityCheck(const std::string& path) {
  sqlite3* db = nullptr;
  std::string result = "cannot open";
  if (sqlite3_open(path.c_str(), &db) == SQLITE_OK) {
    sqlite3_stmt* check = nullptr;
    result = "cannot check";
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK &&
        sqlite3_step(check) == SQLITE_ROW)
      result = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
    sqlite3_finalize(check);
  }
  sqlite3_close(db);
  return result;
}

// Runs work in a forked child that exits with its result, never returning here.
inline pid_t StartChild(const std::function<int()>& work) {
  pid_t pid = fork();
  if (pid == 0) _exit(work());
  return pid;
}

// The child's exit code, or -1 when it did not exit normally.
inline int WaitChild(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace vek::test
