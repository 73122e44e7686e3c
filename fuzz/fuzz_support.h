// What the fuzz targets that write to the registry share: a reader that takes
// an input byte by byte (zero once it runs out), and a machine root of the
// fuzzer's own, in memory where the system has it, removed at exit.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>

#include "kernel/machine_root.h"

namespace vek::fuzz {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
  bool Empty() const { return m_bytes.empty(); }
  std::uint8_t Byte() {
    if (m_bytes.empty()) return 0;
    const std::uint8_t b = m_bytes[0];
    m_bytes = m_bytes.subspan(1);
    return b;
  }

 private:
  std::span<const std::uint8_t> m_bytes;
};

// The registry writes every value through to its database: memory makes that
// cheap. Aborts when no folder can be made.
inline void UseOwnMachineRoot() {
  static std::string root;
  std::error_code error;
  std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                   ? std::filesystem::path("/dev/shm")
                                   : std::filesystem::temp_directory_path();
  std::string pattern = (base / "vek-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  root = pattern;
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  });
  SetMachineRoot(root);
}

}  // namespace vek::fuzz
