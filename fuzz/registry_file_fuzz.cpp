// The registry's database file, as a user's disk may hold it: a sound database
// of the store, then cut short and overwritten here and there by the input.
// Whatever the file holds, opening the store, reading keys and values and
// writing one must not fail but by an error; and a file the store refuses is
// left exactly as it was, its refusal naming it.
//
// Input: one byte whose low bits cut the file (0: not cut; else to that many
// 256ths of its length), then edits of 4 bytes each: a 2-byte little-endian
// offset (within the file), a length (mod 64), a fill byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>

#include "fuzz_support.h"
#include "kernel/errors.h"
#include "kernel/machine_root.h"
#include "registry/registry.h"
#include "registry/store_check.h"

namespace {

std::string g_root;
std::string g_sound;  // the bytes of a sound database

std::string DatabasePath() { return g_root + "/registry.db"; }

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Another root, so that the store lets go of this one's file (and folds its log in).
void LetGo() {
  static const std::string elsewhere = g_root + "/elsewhere";
  std::filesystem::create_directories(elsewhere);
  vek::SetMachineRoot(elsewhere);
  if (vek::registry::CheckStore() != ERROR_SUCCESS) std::abort();
  vek::SetMachineRoot(g_root);
}

// Reads what the store has, as the spooler does, and writes one value.
void Use() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\Print", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    char name[64];
    for (DWORD index = 0; index < 8; ++index) {
      DWORD length = sizeof name;
      if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    }
    BYTE data[64];
    DWORD type = 0, size = sizeof data;
    RegQueryValueExA(key, "Text", nullptr, &type, data, &size);
    DWORD value = 7;
    RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vek::fuzz::UseOwnMachineRoot();
  g_root = vek::MachineRoot();
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "System\\Print", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    std::abort();
  const std::string text(3000, 't');
  RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  for (int i = 0; i < 20; ++i) {
    HKEY child = nullptr;
    const std::string name = "Printer " + std::to_string(i);
    if (RegCreateKeyExA(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr) != ERROR_SUCCESS)
      std::abort();
    RegSetValueExA(child, "Port", 0, REG_SZ, reinterpret_cast<const BYTE*>("VEK12AB0C-1"), 12);
    RegCloseKey(child);
  }
  RegCloseKey(key);
  LetGo();
  g_sound = ReadBytes(DatabasePath());
  if (g_sound.size() < 4096) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vek::fuzz::ByteReader input(std::span<const std::uint8_t>(data, size));
  std::string bytes = g_sound;
  if (const std::uint8_t cut = input.Byte(); cut != 0) bytes.resize(bytes.size() * cut / 256);
  while (!input.Empty() && !bytes.empty()) {
    std::size_t offset = input.Byte();
    offset |= static_cast<std::size_t>(input.Byte()) << 8;
    offset %= bytes.size();
    const std::size_t length = input.Byte() % 64;
    const char fill = static_cast<char>(input.Byte());
    for (std::size_t i = offset; i < offset + length && i < bytes.size(); ++i) bytes[i] = fill;
  }
  std::error_code ignored;
  std::filesystem::remove(DatabasePath() + "-wal", ignored);
  std::filesystem::remove(DatabasePath() + "-shm", ignored);
  WriteBytes(DatabasePath(), bytes);

  vek::SetMachineRoot(g_root);  // opened afresh
  const LONG opened = vek::registry::CheckStore();
  if (opened != ERROR_SUCCESS) {
    if (!vek::registry::IsStoreError(opened)) __builtin_trap();
    if (vek::registry::DescribeStoreError(opened).find(DatabasePath()) == std::string::npos) __builtin_trap();
    Use();
    LetGo();
    if (ReadBytes(DatabasePath()) != bytes) __builtin_trap();  // refused, and left as it was
  } else {
    Use();
    LetGo();
  }
  return 0;
}
