// The terminal lent to started programs: one borrower at a time, the holder lets go
// once for a run of borrowers and gets the terminal back when the last is done,
// also when a borrower ends without giving it back.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <sstream>

#include "kernel/kernel.h"
#include "shell/shell.h"
#include "shell/terminal_lease.h"
#include "shell_test_support.h"
#include "support/temp_root.h"
#include "support/tmux_session.h"

namespace {

using vek::test::ReadFile;

class RecordingHolder : public vek::shell::TerminalHolder {
 public:
  void LendTerminal() override { Note("lend"); }
  void TakeTerminalBack() override { Note("back"); }
  std::vector<std::string> Events() {
    std::lock_guard guard(m_lock);
    return m_events;
  }

 private:
  void Note(const char* event) {
    std::lock_guard guard(m_lock);
    m_events.emplace_back(event);
  }
  std::mutex m_lock;
  std::vector<std::string> m_events;
};

std::vector<std::string> Lines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(ReadFile(path));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::size_t Count(const std::vector<std::string>& lines, const std::string& word) {
  return static_cast<std::size_t>(
      std::count_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(word + " ", 0) == 0; }));
}

PROCESS_INFORMATION StartBorrower(const std::string& log, const std::string& release) {
  std::string line = vek::shell::QuoteProgram(SHELL_CHILD) + " borrow " + log + " " + release;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  EXPECT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
  return started;
}

void Finish(PROCESS_INFORMATION& started) {
  EXPECT_EQ(WaitForSingleObject(started.hProcess, 30000), WAIT_OBJECT_0);
  CloseHandle(started.hProcess);
  CloseHandle(started.hThread);
}

TEST(TerminalLease, BorrowersTakeTurnsAndTheHolderGetsTheTerminalBack) {
  vek::test::TempDir work;
  RecordingHolder holder;
  vek::shell::SetTerminalHolder(&holder);
  const std::string log = work.path() + "/log", release = work.path() + "/release";
  PROCESS_INFORMATION first = StartBorrower(log, release), second = StartBorrower(log, release);
  ASSERT_TRUE(vek::test::WaitFor([&] {
    auto lines = Lines(log);
    return Count(lines, "asking") == 2 && Count(lines, "borrowed") == 1;
  })) << ReadFile(log);
  EXPECT_EQ(holder.Events(), std::vector<std::string>{"lend"});

  vek::test::WriteTextFile(release, "");
  Finish(first);
  Finish(second);
  ASSERT_TRUE(vek::test::WaitFor([&] { return !holder.Events().empty() && holder.Events().back() == "back"; }));
  // Each borrower held the terminal alone: its turn ended before the next began.
  std::vector<std::string> turns;
  for (const std::string& line : Lines(log))
    if (line.rfind("asking", 0) != 0) turns.push_back(line.substr(0, line.find(' ')));
  EXPECT_EQ(turns, (std::vector<std::string>{"borrowed", "returned", "borrowed", "returned"})) << ReadFile(log);
  std::vector<std::string> events = holder.Events();
  for (std::size_t i = 0; i < events.size(); ++i) EXPECT_EQ(events[i], i % 2 ? "back" : "lend");
  vek::shell::SetTerminalHolder(nullptr);
}

TEST(TerminalLease, ABorrowerThatEndsWithoutReturningGivesTheTerminalBack) {
  vek::test::TempDir work;
  RecordingHolder holder;
  vek::shell::SetTerminalHolder(&holder);
  const std::string log = work.path() + "/log";
  PROCESS_INFORMATION started = StartBorrower(log, work.path() + "/never");
  ASSERT_TRUE(vek::test::WaitFor([&] { return Count(Lines(log), "borrowed") == 1; })) << ReadFile(log);
  EXPECT_TRUE(TerminateProcess(started.hProcess, 1));
  Finish(started);
  ASSERT_TRUE(vek::test::WaitFor([&] { return holder.Events().size() == 2; }));
  EXPECT_EQ(holder.Events(), (std::vector<std::string>{"lend", "back"}));
  vek::shell::SetTerminalHolder(nullptr);

  // Without a holder (no front end in this process) the terminal is free at once.
  const std::string free = work.path() + "/free";
  vek::test::WriteTextFile(work.path() + "/go", "");
  PROCESS_INFORMATION unheld = StartBorrower(free, work.path() + "/go");
  Finish(unheld);
  EXPECT_EQ(Count(Lines(free), "borrowed"), 1u) << ReadFile(free);
}

}  // namespace
