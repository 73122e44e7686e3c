// The demo dialog in a real terminal: tmux runs it detached, the test types into
// it and reads the screen back. Each test has a tmux server of its own.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <string_view>
#include <thread>
#include <vector>

#include "support/temp_root.h"
#include "support/tmux_session.h"

namespace {

using vek::test::Cell;
using vek::test::CellsOf;
using vek::test::Find;
using vek::test::HaveTmux;
using vek::test::Quote;
using vek::test::ReadFile;
using vek::test::TmuxSession;
using vek::test::WaitFor;

// Runs the demo in the session's shell, keeping the pane open when it ends so the
// screen after it can be read; its exit code lands in a file.
std::string DemoCommand(const std::string& result, const std::string& extra = "") {
  std::string demo = Quote(VEK_TERMINAL_DEMO) + " " + Quote(result) + extra;
  return "trap true INT; VEK_UI=terminal " + demo + "; echo $? > " + Quote(result + ".rc") + "; echo demo-ended; exec cat";
}

std::string Trim(std::string text) {
  text.erase(text.find_last_not_of(" \n") + 1);
  return text;
}

// Each test: the demo in a tmux session of its own, its result file in a
// folder of its own; skipped where tmux is not installed.
class TerminalTmux : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
  }
  TmuxSession& Start(const std::string& command) { return m_session.emplace(command); }

  vek::test::TempDir m_dir;
  const std::string m_result = m_dir.path() + "/result";

 private:
  std::optional<TmuxSession> m_session;
};

TEST_F(TerminalTmux, TheDemoDialogTakesTypedInputAndEndsWithOk) {
  TmuxSession& session = Start(DemoCommand(m_result));
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Terminal Demo")) << session.Capture();
  std::string screen = session.Capture();
  for (const char* text : {"Name:", "Enable logging", "Raw", "Server", "Address", "Alpha", "192.168.0.10", "Beta",
                           "[ OK ]", "[ Cancel ]"})
    EXPECT_NE(screen.find(text), std::string::npos) << text << "\n" << screen;
  // The Japanese label takes two cells a character: the bar after it is in place.
  std::size_t label = screen.find("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe3\x83\xa9\xe3\x83\x99\xe3\x83\xab|");
  EXPECT_NE(label, std::string::npos) << screen;

  // OK without a name: the warning box, answered with Enter.
  session.Keys("Enter");
  ASSERT_TRUE(session.WaitForScreen("Please enter a name.")) << session.Capture();
  EXPECT_NE(session.Capture().find("Warning"), std::string::npos);
  session.Keys("Enter");
  ASSERT_TRUE(session.WaitForScreenWithout("Please enter a name.")) << session.Capture();

  session.Type("hello");
  ASSERT_TRUE(session.WaitForScreen("hello")) << session.Capture();
  // The cursor stands after the typed text.
  Cell typed = Find(session.Capture(), "hello");
  EXPECT_EQ(Trim(session.Display("#{cursor_flag} #{cursor_x},#{cursor_y}")),
            "1 " + std::to_string(typed.x + 5) + "," + std::to_string(typed.y));
  session.Keys("Tab");
  session.Keys("Space");
  ASSERT_TRUE(session.WaitForScreen("[x] Enable logging")) << session.Capture();
  session.Keys("Tab");
  session.Keys("Down");
  ASSERT_TRUE(session.WaitForScreen("LPR")) << session.Capture();
  session.Keys("Tab");
  session.Keys("Down");
  session.Keys("Down");
  session.Keys("Enter");
  ASSERT_TRUE(WaitFor([&] { return Trim(ReadFile(m_result + ".rc")) == "0"; })) << session.Capture();
  EXPECT_EQ(Trim(ReadFile(m_result)), "result=OK name=hello check=1 mode=LPR server=Beta");
  ASSERT_TRUE(session.WaitForScreen("demo-ended"));
  EXPECT_EQ(Trim(session.Display("#{alternate_on}")), "0");  // the normal screen is back
}

TEST_F(TerminalTmux, AWizardSheetShowsOnePageAtATimeAndFinishes) {
  TmuxSession& session = Start(DemoCommand(m_result, " --sheet"));
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Welcome to the terminal wizard.")) << session.Capture();
  std::string screen = session.Capture();
  EXPECT_NE(screen.find("Demo Wizard"), std::string::npos);
  // What the page painted: its picture, in the picture's colour (0x336699 is colour
  // 60 of 256), with its title on it.
  EXPECT_NE(session.CaptureStyled().find("48;5;60m"), std::string::npos);
  EXPECT_NE(screen.find("Side picture"), std::string::npos);
  EXPECT_NE(screen.find("[ Next > ]"), std::string::npos);
  EXPECT_EQ(screen.find("Finish"), std::string::npos);
  EXPECT_NE(session.CaptureStyled().find("\x1b[2m[ < Back ]"), std::string::npos);  // disabled: dimmed

  session.Keys("Enter");  // Next, the default button
  ASSERT_TRUE(session.WaitForScreen("Printer name:")) << session.Capture();
  screen = session.Capture();
  EXPECT_EQ(screen.find("Welcome to the terminal wizard."), std::string::npos);
  EXPECT_EQ(screen.find("Side picture"), std::string::npos);
  EXPECT_NE(screen.find("[ Finish ]"), std::string::npos);
  session.Type("Printer 1");
  ASSERT_TRUE(session.WaitForScreen("Printer 1")) << session.Capture();
  session.Keys("Enter");  // Finish
  ASSERT_TRUE(WaitFor([&] { return Trim(ReadFile(m_result + ".rc")) == "0"; })) << session.Capture();
  EXPECT_EQ(Trim(ReadFile(m_result)), "result=Finish printer=Printer 1");
}

// A long piece of work under the wait cursor shows on the key line while the
// program cannot draw its windows.
TEST_F(TerminalTmux, ALongWaitSaysSoOnTheLastLine) {
  TmuxSession& session = Start(DemoCommand(m_result));
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Terminal Demo")) << session.Capture();
  session.Type("slow");
  ASSERT_TRUE(session.WaitForScreen("slow")) << session.Capture();
  session.Keys("Enter");
  ASSERT_TRUE(session.WaitForScreen("Please wait")) << session.Capture();
  ASSERT_TRUE(WaitFor([&] { return Trim(ReadFile(m_result + ".rc")) == "0"; })) << session.Capture();
}

// Lines of a captured screen.
std::vector<std::string> Lines(const std::string& screen) {
  std::vector<std::string> lines;
  std::istringstream in(screen);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A frame of the spinner on a line from cell `from` to cell `to`, if any.
std::optional<char> SpinnerBetween(const std::string& line, int from, int to) {
  for (std::size_t at = 0; at < line.size(); ++at) {
    if (std::string_view("|/-\\").find(line[at]) == std::string_view::npos) continue;
    int x = CellsOf(line.substr(0, at));
    if (x >= from && x < to) return line[at];
  }
  return std::nullopt;
}

// A long wait keeps the screen moving while the program's thread is busy: the
// busy window's animation and the key line's spinner turn for as long as the wait
// lasts, and a terminal resized meanwhile is laid out again at once.
TEST_F(TerminalTmux, ALongWaitKeepsTheScreenMovingAndFollowsAResize) {
  TmuxSession& session = Start(DemoCommand(m_result));
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Terminal Demo")) << session.Capture();
  session.Type("busy");
  ASSERT_TRUE(session.WaitForScreen("busy")) << session.Capture();
  session.Keys("Enter");
  ASSERT_TRUE(session.WaitForScreen("Working...")) << session.Capture();
  std::set<char> animation, spinner;
  std::string screen;
  EXPECT_TRUE(WaitFor([&] {
    screen = session.Capture();
    std::vector<std::string> lines = Lines(screen);
    Cell working = Find(screen, "Working...");
    for (int y = working.y + 1; y >= 1 && y <= working.y + 2 && y < static_cast<int>(lines.size()); ++y)
      if (std::optional<char> frame = SpinnerBetween(lines[static_cast<std::size_t>(y)], working.x, working.x + 10))
        animation.insert(*frame);
    if (!lines.empty() && lines.back().find("Please wait") != std::string::npos)
      if (std::optional<char> frame = SpinnerBetween(lines.back(), 0, 2)) spinner.insert(*frame);
    return animation.size() >= 3 && spinner.size() >= 3;
  })) << "animation frames " << animation.size() << ", spinner frames " << spinner.size() << "\n" << screen;

  // The busy window and the key line are laid out again in the smaller terminal.
  session.Resize(70, 20);
  EXPECT_TRUE(WaitFor([&] {
    screen = session.Capture();
    std::vector<std::string> lines = Lines(screen);
    return lines.size() == 20 && lines[19].find("Please wait") != std::string::npos &&
           Find(screen, "Busy").y >= 0 && Find(screen, "Working...").y >= 0;
  })) << screen;
  std::ofstream(m_result + ".go") << "go\n";
  ASSERT_TRUE(session.WaitForScreenWithout("Working...")) << session.Capture();
  session.Keys("Escape");
  ASSERT_TRUE(WaitFor([&] { return Trim(ReadFile(m_result + ".rc")) == "1"; })) << session.Capture();
}

TEST_F(TerminalTmux, WithoutColoursPicturesAreNamedAndTheKeysAreNamedBelow) {
  TmuxSession& session = Start("export TERM=xterm-mono; " + DemoCommand(m_result, " --sheet"));
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Welcome to the terminal wizard.")) << session.Capture();
  std::string screen = session.Capture();
  EXPECT_NE(screen.find("Side picture"), std::string::npos) << screen;
  EXPECT_EQ(session.CaptureStyled().find("48;5;"), std::string::npos);
  // The last line names the keys: moving, the default button, and Cancel; a page
  // without a control of its own leaves the focus on Next.
  std::string last = screen.substr(0, screen.find_last_not_of("\n") + 1);
  last = last.substr(last.rfind('\n') + 1);
  EXPECT_EQ(Trim(last), " Tab move   Enter Next >   Esc Cancel   Space press") << screen;
  session.Keys("Escape");
  ASSERT_TRUE(WaitFor([&] { return !Trim(ReadFile(m_result + ".rc")).empty(); })) << session.Capture();
}

TEST_F(TerminalTmux, MouseClicksCheckPickSelectAndPress) {
  TmuxSession& session = Start(DemoCommand(m_result));
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Terminal Demo")) << session.Capture();
  std::string screen = session.Capture();

  session.Click(Find(screen, "[ ] Enable"));
  ASSERT_TRUE(session.WaitForScreen("[x] Enable logging")) << session.Capture();
  session.Click(Find(screen, "Raw"));  // the list drops down
  ASSERT_TRUE(session.WaitForScreen("IPP")) << session.Capture();
  session.Click(Find(session.Capture(), "IPP"));
  ASSERT_TRUE(session.WaitForScreenWithout("LPR")) << session.Capture();  // closed again
  EXPECT_NE(session.Capture().find("IPP"), std::string::npos);
  session.Click(Find(screen, "Alpha"));
  session.Click(Find(screen, "Name:"));  // a label takes no click
  Cell name = Find(screen, "Name:");
  session.Click(Cell{name.x + 12, name.y});  // into the field
  session.Type("mouse");
  ASSERT_TRUE(session.WaitForScreen("mouse")) << session.Capture();
  session.Click(Find(screen, "[ OK ]"));
  ASSERT_TRUE(WaitFor([&] { return Trim(ReadFile(m_result + ".rc")) == "0"; })) << session.Capture();
  EXPECT_EQ(Trim(ReadFile(m_result)), "result=OK name=mouse check=1 mode=IPP server=Alpha");
}

// While a modal dialog is up and its thread busy, clicks on the window under it
// are not kept for later: when the dialog ends they do not reach that window.
TEST_F(TerminalTmux, ClicksUnderABusyModalDialogReachNothingAfterIt) {
  TmuxSession& session = Start(DemoCommand(m_result));
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Terminal Demo")) << session.Capture();
  const Cell cancel = Find(session.Capture(), "[ Cancel ]");
  session.Type("busy");
  ASSERT_TRUE(session.WaitForScreen("busy")) << session.Capture();
  session.Keys("Enter");
  ASSERT_TRUE(session.WaitForScreen("Working...")) << session.Capture();
  ASSERT_TRUE(session.WaitForScreen("Please wait")) << session.Capture();
  session.Click(Cell{cancel.x + 3, cancel.y});  // the demo's Cancel, under the busy dialog
  std::ofstream(m_result + ".go") << "go\n";
  ASSERT_TRUE(session.WaitForScreenWithout("Working...")) << session.Capture();
  // Typed after the click: once it shows, the click was dealt with.
  session.Type("x");
  ASSERT_TRUE(session.WaitForScreen("busyx")) << session.Capture();
  EXPECT_TRUE(ReadFile(m_result + ".rc").empty()) << "the click under the dialog cancelled the demo";
  session.Keys("Escape");
  ASSERT_TRUE(WaitFor([&] { return Trim(ReadFile(m_result + ".rc")) == "1"; })) << session.Capture();
}

TEST_F(TerminalTmux, TheScreenFollowsTheTerminalsSize) {
  TmuxSession& session = Start(DemoCommand(m_result));
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Terminal Demo")) << session.Capture();
  int wide = Find(session.Capture(), "[ Cancel ]").x;
  session.Resize(50, 16);
  // Scaled down to fit: the buttons move in, the frame ends inside 50 columns.
  ASSERT_TRUE(WaitFor([&] {
    Cell cancel = Find(session.Capture(), "Cancel");
    return cancel.x >= 0 && cancel.x < wide && cancel.x < 50;
  })) << session.Capture();
  std::istringstream lines(session.Capture());
  std::string line;
  int rows = 0;
  while (std::getline(lines, line)) {
    EXPECT_LE(CellsOf(line), 50) << line;
    ++rows;
  }
  EXPECT_LE(rows, 16);
  for (const char* text : {"Terminal Demo", "Name:", "Enable logging", "Alpha", "OK"})
    EXPECT_NE(session.Capture().find(text), std::string::npos) << text;
  session.Keys("Escape");
  ASSERT_TRUE(WaitFor([&] { return Trim(ReadFile(m_result + ".rc")) == "1"; })) << session.Capture();
  EXPECT_EQ(Trim(ReadFile(m_result)), "result=Cancel");
}

TEST_F(TerminalTmux, ControlCRestoresTheTerminalAndEndsTheProgram) {
  TmuxSession& session = Start(DemoCommand(m_result));
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Terminal Demo")) << session.Capture();
  EXPECT_EQ(Trim(session.Display("#{alternate_on}")), "1");
  session.Keys("C-c");
  ASSERT_TRUE(WaitFor([&] { return !Trim(ReadFile(m_result + ".rc")).empty(); })) << session.Capture();
  EXPECT_EQ(Trim(ReadFile(m_result + ".rc")), "130");  // ended by SIGINT
  ASSERT_TRUE(session.WaitForScreen("demo-ended"));
  EXPECT_EQ(Trim(session.Display("#{alternate_on}")), "0");
  EXPECT_EQ(Trim(session.Display("#{cursor_flag}")), "1");
}

TEST_F(TerminalTmux, ExitWhileTheScreenIsInUseRestoresTheTerminal) {
  TmuxSession& session = Start(DemoCommand(m_result, " --exit-on-cancel"));
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Terminal Demo")) << session.Capture();
  session.Keys("Escape");
  ASSERT_TRUE(WaitFor([&] { return !Trim(ReadFile(m_result + ".rc")).empty(); })) << session.Capture();
  EXPECT_EQ(Trim(ReadFile(m_result + ".rc")), "7");
  ASSERT_TRUE(session.WaitForScreen("demo-ended"));
  EXPECT_EQ(Trim(session.Display("#{alternate_on}")), "0");
  EXPECT_EQ(Trim(session.Display("#{cursor_flag}")), "1");
}

}  // namespace
