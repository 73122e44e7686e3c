#include "spooler/store.h"

#include "kernel/errors.h"

namespace vek::spooler::store {

LONG Key::Open(HKEY root, const std::string& path) {
  Close();
  return RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &m_key);
}

LONG Key::Create(HKEY root, const std::string& path, DWORD* disposition) {
  Close();
  return RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                         nullptr, &m_key, disposition);
}

void Key::Close() {
  if (m_key != nullptr) RegCloseKey(m_key);
  m_key = nullptr;
}

namespace {

// The value's raw bytes, at most maxBytes of them, in one read: a larger value
// does not fit the buffer and is refused.
LONG ReadRaw(HKEY key, const char* name, DWORD* type, std::vector<BYTE>* data, DWORD maxBytes) {
  data->assign(maxBytes, 0);
  DWORD size = maxBytes;
  LONG error = RegQueryValueExA(key, name, nullptr, type, data->empty() ? nullptr : data->data(), &size);
  if (error == ERROR_MORE_DATA) return ERROR_INVALID_DATA;
  if (error != ERROR_SUCCESS) return error;
  if (size > maxBytes) return ERROR_INVALID_DATA;  // no buffer to fill: only the size came
  data->resize(size);
  return ERROR_SUCCESS;
}

}  // namespace

LONG StringOf(const registry::ValueRow* value, std::string* text) {
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  if (value->data.size() > kMaxString) return ERROR_INVALID_DATA;
  if (value->type != REG_SZ && value->type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
  const std::vector<BYTE>& data = value->data;
  std::size_t length = 0;
  while (length < data.size() && data[length] != 0) ++length;
  text->assign(reinterpret_cast<const char*>(data.data()), length);
  return ERROR_SUCCESS;
}

LONG DwordOf(const registry::ValueRow* value, DWORD* number) {
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  const std::vector<BYTE>& data = value->data;
  if (value->type != REG_DWORD || data.size() != sizeof(DWORD)) return ERROR_INVALID_DATA;
  *number = static_cast<DWORD>(data[0]) | static_cast<DWORD>(data[1]) << 8 |
            static_cast<DWORD>(data[2]) << 16 | static_cast<DWORD>(data[3]) << 24;
  return ERROR_SUCCESS;
}

LONG ReadString(HKEY key, const char* name, std::string* value) {
  registry::ValueRow row;
  if (LONG error = ReadRaw(key, name, &row.type, &row.data, kMaxString)) return error;
  return StringOf(&row, value);
}

LONG ReadDword(HKEY key, const char* name, DWORD* value) {
  registry::ValueRow row;
  if (LONG error = ReadRaw(key, name, &row.type, &row.data, sizeof(DWORD))) return error;
  return DwordOf(&row, value);
}

LONG ReadBinary(HKEY key, const char* name, std::vector<BYTE>* value, DWORD maxBytes) {
  DWORD type = 0;
  return ReadRaw(key, name, &type, value, maxBytes);
}

std::string StringOr(HKEY key, const char* name, const std::string& fallback) {
  std::string value;
  return ReadString(key, name, &value) == ERROR_SUCCESS ? value : fallback;
}

DWORD DwordOr(HKEY key, const char* name, DWORD fallback) {
  DWORD value = 0;
  return ReadDword(key, name, &value) == ERROR_SUCCESS ? value : fallback;
}

LONG WriteString(HKEY key, const char* name, const std::string& value) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1));
}

LONG WriteDword(HKEY key, const char* name, DWORD value) {
  BYTE data[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                  static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
  return RegSetValueExA(key, name, 0, REG_DWORD, data, sizeof data);
}

LONG WriteBinary(HKEY key, const char* name, const void* data, DWORD size) {
  return RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
}

std::vector<std::string> SubKeys(HKEY key) {
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD length = sizeof name;
    LONG error = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (error == ERROR_MORE_DATA) continue;  // a name no record of the spooler has
    if (error != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

LONG DeleteTree(HKEY root, const std::string& path) {
  Key key;
  LONG error = key.Open(root, path);
  if (error == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (error != ERROR_SUCCESS) return error;
  for (const std::string& child : SubKeys(key.get()))
    if (LONG failed = DeleteTree(root, Join(path, child))) return failed;
  key.Close();
  error = RegDeleteKeyA(root, path.c_str());
  return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
}

std::string Join(const std::string& parent, const std::string& child) { return parent + "\\" + child; }

}  // namespace vek::spooler::store
