#include "support/tmux_session.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace vek::test {

bool HaveTmux() { return std::system("command -v tmux >/dev/null 2>&1") == 0; }

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // polling interval, not a synchronisation
  }
  return true;
}

int CellsOf(const std::string& utf8) {
  int cells = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    auto byte = static_cast<unsigned char>(utf8[i]);
    std::size_t length = byte < 0x80 ? 1 : (byte >> 5) == 0x6 ? 2 : (byte >> 4) == 0xE ? 3 : 4;
    char32_t c = length == 1 ? byte : byte & (0x3F >> (length - 1));
    for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
    cells += (c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFF60) ? 2 : 1;
    i += length;
  }
  return cells;
}

Cell Find(const std::string& screen, const std::string& text) {
  std::istringstream lines(screen);
  std::string line;
  for (int y = 0; std::getline(lines, line); ++y)
    if (std::size_t at = line.find(text); at != std::string::npos) return Cell{CellsOf(line.substr(0, at)), y};
  return Cell{};
}

TmuxSession::TmuxSession(const std::string& command, int columns, int rows) {
  static std::atomic<int> counter{0};
  m_socket = "vek-term-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
  m_started = Run("-f /dev/null new-session -d -s demo -x " + std::to_string(columns) + " -y " + std::to_string(rows) +
                  " " + Quote(command)) == 0;
}

TmuxSession::~TmuxSession() { Run("kill-server"); }

std::string TmuxSession::Capture() const { return Output("capture-pane -p -t demo"); }
std::string TmuxSession::CaptureStyled() const { return Output("capture-pane -p -e -t demo"); }
std::string TmuxSession::Display(const std::string& format) const {
  return Output("display-message -p -t demo " + Quote(format));
}
void TmuxSession::Keys(const std::string& keys) const { Run("send-keys -t demo " + keys); }
void TmuxSession::Type(const std::string& text) const { Run("send-keys -t demo -l " + Quote(text)); }

void TmuxSession::Click(Cell at) const {
  char bytes[96];
  std::snprintf(bytes, sizeof bytes, "1b 5b 4d 20 %02x %02x 1b 5b 4d 23 %02x %02x", 33 + at.x, 33 + at.y, 33 + at.x,
                33 + at.y);
  Run(std::string("send-keys -t demo -H ") + bytes);
}

void TmuxSession::Resize(int columns, int rows) const {
  Run("resize-window -t demo -x " + std::to_string(columns) + " -y " + std::to_string(rows));
}

bool TmuxSession::WaitForScreen(const std::string& text) const {
  return WaitFor([&] { return Capture().find(text) != std::string::npos; });
}

bool TmuxSession::WaitForScreenWithout(const std::string& text) const {
  return WaitFor([&] { return Capture().find(text) == std::string::npos; });
}

std::string TmuxSession::Base() const { return "tmux -u -L " + m_socket + " "; }

int TmuxSession::Run(const std::string& arguments) const {
  return std::system((Base() + arguments + " >/dev/null 2>&1").c_str());
}

std::string TmuxSession::Output(const std::string& arguments) const {
  std::string output;
  if (FILE* pipe = popen((Base() + arguments + " 2>/dev/null").c_str(), "r")) {
    std::array<char, 4096> buffer;
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) output.append(buffer.data(), n);
    pclose(pipe);
  }
  return output;
}

}  // namespace vek::test
