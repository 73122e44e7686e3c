#include "startmenu/cd/uninstall_log.h"

#include <cctype>
#include <sstream>

namespace vek::cd {
namespace {

bool OnDrive(const std::string& path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\';
}

}  // namespace

std::string WriteUninstallLog(const UninstallLog& log) {
  std::string text = "Product=" + log.product + "\r\n";
  for (const std::string& file : log.files) text += "File=" + file + "\r\n";
  for (const std::string& folder : log.folders) text += "Folder=" + folder + "\r\n";
  return text;
}

bool ReadUninstallLog(const std::string& text, UninstallLog* log) {
  UninstallLog result;
  std::istringstream lines(text);
  bool haveProduct = false;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string name = line.substr(0, equals), value = line.substr(equals + 1);
    if (name == "Product" && !value.empty()) {
      result.product = value;
      haveProduct = true;
    } else if (name == "File" && OnDrive(value)) {
      result.files.push_back(value);
    } else if (name == "Folder" && OnDrive(value)) {
      result.folders.push_back(value);
    }
  }
  if (!haveProduct) return false;
  *log = std::move(result);
  return true;
}

}  // namespace vek::cd
