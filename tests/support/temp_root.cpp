#include "support/temp_root.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "kernel/machine_root.h"

namespace vek::test {

static std::string MakeTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vek-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

TempDir::TempDir() : m_path(MakeTempFolder()) {}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

TempRoot::TempRoot() : m_path(MakeTempFolder()) { vek::SetMachineRoot(m_path); }

TempRoot::~TempRoot() {
  vek::SetMachineRoot("");
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

}  // namespace vek::test
