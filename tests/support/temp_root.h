// A fresh machine root in a temporary folder for the life of a test.
#pragma once

#include <string>

namespace vek::test {

class TempRoot {
 public:
  TempRoot();
  ~TempRoot();
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

// A folder removed again at destruction, without touching the machine root.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

}  // namespace vek::test
