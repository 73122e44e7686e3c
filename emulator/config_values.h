// Readers of single configuration values. Each returns false with a short reason
// in *why (no line number: the caller adds where).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vek::emu::config {

// The value text of "key = value": trimmed, and cut at a '#' that starts a
// comment; a double-quoted value keeps its blanks and '#', and may escape \" and
// \\.
bool UnquoteValue(const std::string& raw, std::string* value, std::string* why);

bool ReadNumber(const std::string& text, std::uint64_t max, std::uint64_t* value, std::string* why);
bool ReadByte(const std::string& text, std::uint8_t* value, std::string* why);
bool ReadBool(const std::string& text, bool* value, std::string* why);
bool ReadMac(const std::string& text, std::array<std::uint8_t, 6>* mac, std::string* why);
// Host order.
bool ReadIpv4(const std::string& text, std::uint32_t* address, std::string* why);
// Hex digits, optionally separated by blanks or colons.
bool ReadHexBytes(const std::string& text, std::vector<std::uint8_t>* bytes, std::string* why);
// Comma-separated items, each trimmed; an empty text gives no items.
std::vector<std::string> SplitList(const std::string& text, const std::string& separators = ",");
std::string Trim(const std::string& text);
std::string Lower(std::string text);

}  // namespace vek::emu::config
