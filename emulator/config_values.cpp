#include "emulator/config_values.h"

#include <cctype>

namespace vek::emu::config {

std::string Trim(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) begin++;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) end--;
  return text.substr(begin, end - begin);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A '#' at the start or after a blank begins a comment.
static std::string StripComment(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); i++)
    if (text[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(text[i - 1])))) return text.substr(0, i);
  return text;
}

bool UnquoteValue(const std::string& raw, std::string* value, std::string* why) {
  std::string text = Trim(raw);
  if (text.empty() || text[0] != '"') {
    *value = Trim(StripComment(text));
    return true;
  }
  std::string out;
  for (std::size_t i = 1; i < text.size(); i++) {
    char c = text[i];
    if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
      out += text[++i];
    } else if (c == '"') {
      if (!Trim(StripComment(text.substr(i + 1))).empty()) {
        *why = "text after the closing quote";
        return false;
      }
      *value = out;
      return true;
    } else {
      out += c;
    }
  }
  *why = "missing closing quote";
  return false;
}

bool ReadNumber(const std::string& text, std::uint64_t max, std::uint64_t* value, std::string* why) {
  std::string t = Lower(Trim(text));
  int base = 10;
  std::size_t i = 0;
  if (t.size() > 2 && t[0] == '0' && t[1] == 'x') {
    base = 16;
    i = 2;
  }
  if (i >= t.size()) {
    *why = "'" + text + "' is not a number";
    return false;
  }
  std::uint64_t result = 0;
  for (; i < t.size(); i++) {
    const char c = t[i];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0) {
      *why = "'" + text + "' is not a number";
      return false;
    }
    result = result * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (result > max) {
      *why = "'" + text + "' is above " + std::to_string(max);
      return false;
    }
  }
  *value = result;
  return true;
}

bool ReadByte(const std::string& text, std::uint8_t* value, std::string* why) {
  std::uint64_t n = 0;
  if (!ReadNumber(text, 255, &n, why)) return false;
  *value = static_cast<std::uint8_t>(n);
  return true;
}

bool ReadBool(const std::string& text, bool* value, std::string* why) {
  const std::string t = Lower(Trim(text));
  if (t == "yes" || t == "on" || t == "true" || t == "1") {
    *value = true;
    return true;
  }
  if (t == "no" || t == "off" || t == "false" || t == "0") {
    *value = false;
    return true;
  }
  *why = "'" + text + "' is not yes/no, on/off, true/false or 1/0";
  return false;
}

bool ReadMac(const std::string& text, std::array<std::uint8_t, 6>* mac, std::string* why) {
  std::vector<std::string> parts = SplitList(text, ":-");
  if (parts.size() != 6) {
    *why = "'" + text + "' is not a MAC address like 02:4E:57:00:00:01";
    return false;
  }
  for (std::size_t i = 0; i < 6; i++) {
    std::uint64_t n = 0;
    std::string ignored;
    if (parts[i].empty() || parts[i].size() > 2 || !ReadNumber("0x" + parts[i], 255, &n, &ignored)) {
      *why = "'" + text + "' is not a MAC address like 02:4E:57:00:00:01";
      return false;
    }
    (*mac)[i] = static_cast<std::uint8_t>(n);
  }
  return true;
}

bool ReadIpv4(const std::string& text, std::uint32_t* address, std::string* why) {
  std::vector<std::string> parts = SplitList(text, ".");
  std::uint32_t result = 0;
  bool ok = parts.size() == 4;
  for (std::size_t i = 0; ok && i < 4; i++) {
    std::uint64_t n = 0;
    std::string ignored;
    ok = !parts[i].empty() && parts[i].size() <= 3 && std::isdigit(static_cast<unsigned char>(parts[i][0])) &&
         ReadNumber(parts[i], 255, &n, &ignored);
    result = (result << 8) | static_cast<std::uint32_t>(n);
  }
  if (!ok) {
    *why = "'" + text + "' is not a dotted IPv4 address";
    return false;
  }
  *address = result;
  return true;
}

bool ReadHexBytes(const std::string& text, std::vector<std::uint8_t>* bytes, std::string* why) {
  std::string digits;
  for (char c : text) {
    if (std::isspace(static_cast<unsigned char>(c)) || c == ':') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) {
      *why = "'" + text + "' is not hex bytes";
      return false;
    }
    digits += c;
  }
  if (digits.size() % 2 != 0) {
    *why = "'" + text + "' has an odd number of hex digits";
    return false;
  }
  bytes->clear();
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    std::uint64_t n = 0;
    ReadNumber("0x" + digits.substr(i, 2), 255, &n, why);
    bytes->push_back(static_cast<std::uint8_t>(n));
  }
  return true;
}

std::vector<std::string> SplitList(const std::string& text, const std::string& separators) {
  std::vector<std::string> items;
  if (Trim(text).empty()) return items;
  std::string current;
  for (char c : text) {
    if (separators.find(c) != std::string::npos) {
      items.push_back(Trim(current));
      current.clear();
    } else {
      current += c;
    }
  }
  items.push_back(Trim(current));
  return items;
}

}  // namespace vek::emu::config
