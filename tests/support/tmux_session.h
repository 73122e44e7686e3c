// A program running in a real terminal: a detached tmux session on a server of its
// own (so parallel tests stay apart), typed into and read back.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace vek::test {

bool HaveTmux();
// The text in single quotes for the shell.
std::string Quote(const std::string& text);
std::string ReadFile(const std::string& path);
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(15));

// Where a text is on a captured screen, in cells (wide characters take two).
struct Cell {
  int x = -1;
  int y = -1;
};
int CellsOf(const std::string& utf8);
Cell Find(const std::string& screen, const std::string& text);

class TmuxSession {
 public:
  explicit TmuxSession(const std::string& command, int columns = 120, int rows = 40);
  ~TmuxSession();
  TmuxSession(const TmuxSession&) = delete;
  TmuxSession& operator=(const TmuxSession&) = delete;
  bool Started() const { return m_started; }

  std::string Capture() const;
  // With the attributes as escape sequences.
  std::string CaptureStyled() const;
  std::string Display(const std::string& format) const;
  void Keys(const std::string& keys) const;
  void Type(const std::string& text) const;
  // A press and release of the left button, as the terminal reports them (X10 encoding).
  void Click(Cell at) const;
  void Resize(int columns, int rows) const;
  bool WaitForScreen(const std::string& text) const;
  bool WaitForScreenWithout(const std::string& text) const;

 private:
  std::string Base() const;
  int Run(const std::string& arguments) const;
  std::string Output(const std::string& arguments) const;

  std::string m_socket;
  bool m_started = false;
};

}  // namespace vek::test
