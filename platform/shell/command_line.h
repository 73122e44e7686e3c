// Command lines as Windows programs take them: one text, split into the program and
// its arguments by the rules of the C runtime, so that a line built for a Windows
// program reaches one of ours with the same arguments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vek::shell {

// The program named first on a command line: the text between the quotes when it
// starts with one, else everything up to the first space or tab. `rest` receives
// what follows it, leading blanks dropped.
std::string ProgramOf(std::string_view commandLine, std::string_view* rest = nullptr);

// The arguments after the program: blanks separate them; quotes group; "" inside
// quotes is one quote; 2n backslashes before a quote give n and the quote groups,
// 2n+1 give n and a plain quote; other backslashes stay as they are.
std::vector<std::string> ArgumentsOf(std::string_view arguments);

// The program and its arguments (the program first).
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// An argument written so that ArgumentsOf reads it back unchanged.
std::string QuoteArgument(std::string_view argument);

// A program's path for the start of a command line: always between quotes, so a
// path with blanks is one name (a path cannot hold a quote).
std::string QuoteProgram(std::string_view path);

}  // namespace vek::shell
