// scripts/demo given wrong arguments: each stops before it builds or starts
// anything, with exit code 3, a line that says what is wrong, and the usage.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_root.h"

namespace vek::test {
namespace {

struct Outcome {
  int code = -1;
  std::string out;
  std::vector<std::string> errorLines;
};

Outcome RunDemo(const std::string& arguments, const std::string& folder) {
  const std::string errors = folder + "/stderr";
  const std::string command = "'" VEK_SOURCE_DIR "/scripts/demo' " + arguments + " 2>'" + errors + "' </dev/null";
  Outcome outcome;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return outcome;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe)) outcome.out += buffer;
  const int status = pclose(pipe);
  outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream file(errors);
  for (std::string line; std::getline(file, line);) outcome.errorLines.push_back(line);
  return outcome;
}

TEST(DemoArguments, EachWrongArgumentSaysWhatIsWrongAndTheUsage) {
  TempDir folder;
  const std::string directory = folder.path() + "/a-folder";
  ASSERT_EQ(0, std::system(("mkdir '" + directory + "'").c_str()));
  struct Case {
    std::string arguments;
    std::string says;
  } cases[] = {
      {"--print-only --generation", "demo: --generation needs a value"},
      {"--print-only --transport", "demo: --transport needs a value"},
      {"--print-only --generation 2", "demo: --generation takes 0 or 1, not '2'"},
      {"--print-only --transport=tcp", "demo: --transport takes udp, ipx or netbeui, not 'tcp'"},
      {"--print-only '" + directory + "'", "demo: " + directory + " is a folder, not a file to print"},
      {"--print-only /dev/null", "demo: /dev/null is not a regular file (a device, a pipe or a socket)"},
      {"--print-only '" + folder.path() + "/missing.prn'", "demo: no such file: " + folder.path() + "/missing.prn"},
      {"--print-only /etc/hostname /etc/hostname", "demo: one file to print, not two (/etc/hostname and /etc/hostname)"},
      {"--generation 0", "demo: a file, --generation and --transport go with --print-only"},
      {"--terminal --print-only", "demo: --terminal and --print-only exclude each other"},
      {"--terminal", "demo: --terminal needs a terminal"},
      {"--frobnicate", "demo: unknown option --frobnicate"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    Outcome outcome = RunDemo(c.arguments, folder.path());
    EXPECT_EQ(3, outcome.code);
    EXPECT_EQ("", outcome.out) << "nothing set up or built";
    ASSERT_EQ(2u, outcome.errorLines.size());
    EXPECT_EQ(c.says, outcome.errorLines[0]);
    EXPECT_EQ(0u, outcome.errorLines[1].rfind("usage: scripts/demo [--terminal | --print-only [FILE]", 0))
        << outcome.errorLines[1];
  }
}

}  // namespace
}  // namespace vek::test
