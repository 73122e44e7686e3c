// Helpers of the shell tests: files in the machine root's drives, and the current
// folder for a test's lifetime.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace vek::test {

inline void WriteTextFile(const std::string& path, const std::string& text, bool executable = false) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << text;
  if (executable)
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
}

// Copies a program to a place; its folders are made as needed.
inline void InstallProgram(const std::string& program, const std::string& path) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::filesystem::copy_file(program, path, std::filesystem::copy_options::overwrite_existing);
}

class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& path) : m_saved(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~CurrentFolder() {
    std::error_code ignored;
    std::filesystem::current_path(m_saved, ignored);
  }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  std::filesystem::path m_saved;
};

}  // namespace vek::test
