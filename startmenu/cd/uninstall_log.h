// The uninstall log the CD's driver setup leaves in the installation folder
// ("Uninst.isu") and the uninstaller reads: the product and what was installed,
// one "Name=value" line each. Only paths on a drive ("C:\...") are taken, so a log
// cannot lead the uninstaller anywhere but into the machine's drives.
#pragma once

#include <string>
#include <vector>

namespace vek::cd {

struct UninstallLog {
  std::string product;
  std::vector<std::string> files;    // removed first
  std::vector<std::string> folders;  // then removed when empty, deepest first
};

std::string WriteUninstallLog(const UninstallLog& log);
// False when the text is no uninstall log (no product line); lines of no known
// kind and paths not on a drive are skipped.
bool ReadUninstallLog(const std::string& text, UninstallLog* log);

}  // namespace vek::cd
