// Command lines split as the C runtime of Windows programs splits them, and built so
// that they split back into the same arguments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/command_line.h"

namespace {

using vek::shell::ArgumentsOf;
using vek::shell::ProgramOf;
using vek::shell::QuoteArgument;
using Args = std::vector<std::string>;

TEST(CommandLine, ArgumentsFollowTheRuntimeRules) {
  struct Case {
    const char* line;
    Args arguments;
  };
  const Case cases[] = {
      {R"("a b c" d e)", {"a b c", "d", "e"}},
      {R"("ab\"c" "\\" d)", {"ab\"c", "\\", "d"}},
      {R"(a\\\b d"e f"g h)", {R"(a\\\b)", "de fg", "h"}},
      {R"(a\\\"b c d)", {R"(a\"b)", "c", "d"}},
      {R"(a\\\\"b c" d e)", {R"(a\\b c)", "d", "e"}},
      {R"(a"b"" c d)", {"ab\" c d"}},
      {"  \t spaced \t out  ", {"spaced", "out"}},
      {R"("")", {""}},
      {R"("unterminated quote)", {"unterminated quote"}},
      {R"(trailing\)", {"trailing\\"}},
      {"", {}},
      // The uninstaller's line: options glued to quoted paths with blanks.
      {R"(-a -f"C:\Program Files\Tarvex\TARVEX VEK Wizard\Uninst.isu" -c"C:\Program Files\Tarvex\TARVEX VEK Wizard\Loader.dll")",
       {"-a", R"(-fC:\Program Files\Tarvex\TARVEX VEK Wizard\Uninst.isu)",
        R"(-cC:\Program Files\Tarvex\TARVEX VEK Wizard\Loader.dll)"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ArgumentsOf(c.line), c.arguments) << c.line;
}

TEST(CommandLine, TheProgramIsTheQuotedNameOrTheFirstWord) {
  struct Case {
    const char* line;
    const char* program;
    const char* rest;
  };
  const Case cases[] = {
      {R"("C:\Program Files\Tarvex\TARVEX VEK Wizard\TARVEX VEK Wizard.exe")",
       R"(C:\Program Files\Tarvex\TARVEX VEK Wizard\TARVEX VEK Wizard.exe)", ""},
      {R"("C:\WINDOWS\IsUninst.exe" -a -f"x")", R"(C:\WINDOWS\IsUninst.exe)", R"(-a -f"x")"},
      // Unquoted, a path with blanks ends at the first blank: why paths are quoted.
      {R"(C:\Program Files\Tarvex\Setup.exe)", R"(C:\Program)", R"(Files\Tarvex\Setup.exe)"},
      {"RunDLL32 SHELL32.DLL,SHHelpShortcuts_RunDLL AddPrinter", "RunDLL32", "SHELL32.DLL,SHHelpShortcuts_RunDLL AddPrinter"},
      {"  arp -d *", "arp", "-d *"},
      {R"("C:\a b\prog.exe"glued on)", R"(C:\a b\prog.exe)", "on"},
      {R"("unterminated)", "unterminated", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    std::string_view rest;
    EXPECT_EQ(ProgramOf(c.line, &rest), c.program) << c.line;
    EXPECT_EQ(rest, c.rest) << c.line;
  }
  EXPECT_EQ(vek::shell::SplitCommandLine(R"("C:\x y\p.exe" "one two" three)"), (Args{R"(C:\x y\p.exe)", "one two", "three"}));
}

TEST(CommandLine, QuotedArgumentsSplitBackUnchanged) {
  const Args arguments = {"",           "plain",       "two words",  "tab\there",     "quote\"inside",
                          "trailing\\", "trailing\\\\", "\\\"",       "C:\\Program Files\\", "\"",
                          "\\\\server\\share\\", "a\\\\\"b",  "\"\"",       "100%",          "-f\"C:\\x y\""};
  std::string line;
  for (const std::string& argument : arguments) line += QuoteArgument(argument) + " ";
  EXPECT_EQ(ArgumentsOf(line), arguments) << line;
  EXPECT_EQ(QuoteArgument("plain"), "plain");
  EXPECT_EQ(QuoteArgument("C:\\Program Files\\"), "\"C:\\Program Files\\\\\"");
  EXPECT_EQ(vek::shell::QuoteProgram("C:\\Program Files\\x.exe"), "\"C:\\Program Files\\x.exe\"");
}

}  // namespace
