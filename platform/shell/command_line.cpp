#include "shell/command_line.h"

namespace vek::shell {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view SkipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

}  // namespace

std::string ProgramOf(std::string_view commandLine, std::string_view* rest) {
  std::string_view line = SkipBlanks(commandLine);
  std::string program;
  std::size_t i = 0;
  if (!line.empty() && line[0] == '"') {
    std::size_t close = line.find('"', 1);
    program = std::string(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    i = close == std::string_view::npos ? line.size() : close + 1;
    while (i < line.size() && !IsBlank(line[i])) ++i;  // glued on after the quote: not part of the name
  } else {
    while (i < line.size() && !IsBlank(line[i])) ++i;
    program = std::string(line.substr(0, i));
  }
  if (rest) *rest = SkipBlanks(line.substr(i));
  return program;
}

std::vector<std::string> ArgumentsOf(std::string_view arguments) {
  std::vector<std::string> result;
  std::size_t i = 0;
  const std::size_t n = arguments.size();
  for (;;) {
    while (i < n && IsBlank(arguments[i])) ++i;
    if (i >= n) break;
    std::string argument;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(arguments[i]))) {
      char c = arguments[i];
      if (c == '\\') {
        std::size_t slashes = 0;
        while (i < n && arguments[i] == '\\') {
          ++slashes;
          ++i;
        }
        if (i < n && arguments[i] == '"') {
          argument.append(slashes / 2, '\\');
          if (slashes % 2 == 1) {
            argument += '"';
            ++i;
          }
          // an even count leaves the quote to group, below
        } else {
          argument.append(slashes, '\\');
        }
        continue;
      }
      if (c == '"') {
        if (quoted && i + 1 < n && arguments[i + 1] == '"') {
          argument += '"';
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      argument += c;
      ++i;
    }
    result.push_back(std::move(argument));
  }
  return result;
}

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::string_view rest;
  std::vector<std::string> parts{ProgramOf(commandLine, &rest)};
  for (std::string& argument : ArgumentsOf(rest)) parts.push_back(std::move(argument));
  return parts;
}

std::string QuoteArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) return std::string(argument);
  std::string quoted = "\"";
  std::size_t slashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++slashes;
      continue;
    }
    if (c == '"') {
      quoted.append(slashes * 2 + 1, '\\');
      quoted += '"';
    } else {
      quoted.append(slashes, '\\');
      quoted += c;
    }
    slashes = 0;
  }
  quoted.append(slashes * 2, '\\');
  quoted += '"';
  return quoted;
}

std::string QuoteProgram(std::string_view path) { return "\"" + std::string(path) + "\""; }

}  // namespace vek::shell
