#include "ui/terminal/terminal_restore.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace vek::ui::terminal {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGABRT};

// Only what a signal handler may touch: plain storage, written before arming.
struct Saved {
  termios modes{};
  bool haveModes = false;
  char reset[512] = {};
  std::size_t resetLength = 0;
  struct sigaction previous[std::size(kSignals)] = {};
  bool installed[std::size(kSignals)] = {};
};
Saved g_saved;
std::atomic<bool> g_armed{false};
std::atomic<void (*)()> g_atExit{nullptr};

void RestoreNow() {
  if (!g_armed.exchange(false)) return;
  if (g_saved.resetLength) {
    ssize_t ignored = write(STDOUT_FILENO, g_saved.reset, g_saved.resetLength);
    (void)ignored;
  }
  if (g_saved.haveModes) tcsetattr(STDIN_FILENO, TCSANOW, &g_saved.modes);
}

void OnSignal(int signal) {
  RestoreNow();
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    if (kSignals[i] != signal || !g_saved.installed[i]) continue;
    sigaction(signal, &g_saved.previous[i], nullptr);
    g_saved.installed[i] = false;
    const struct sigaction& previous = g_saved.previous[i];
    if (!(previous.sa_flags & SA_SIGINFO) && previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
      previous.sa_handler(signal);  // the program's own handler decides
      return;
    }
  }
  raise(signal);  // the default action, now the handler is gone
}

void AtExit() {
  if (auto shutdown = g_atExit.exchange(nullptr)) shutdown();
  RestoreNow();
}

}  // namespace

void PrepareTerminalRestore() {
  g_saved.haveModes = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &g_saved.modes) == 0;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    if (g_saved.installed[i]) continue;
    struct sigaction current{};
    sigaction(kSignals[i], nullptr, &current);
    if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_IGN) continue;  // an ignored signal stays so
    struct sigaction handler{};
    handler.sa_handler = OnSignal;
    sigemptyset(&handler.sa_mask);
    handler.sa_flags = 0;
    if (sigaction(kSignals[i], &handler, &g_saved.previous[i]) == 0) g_saved.installed[i] = true;
  }
}

void ArmTerminalRestore(const std::string& resetSequence, void (*atExit)()) {
  g_saved.resetLength = std::min(resetSequence.size(), sizeof g_saved.reset);
  std::memcpy(g_saved.reset, resetSequence.data(), g_saved.resetLength);
  g_atExit = atExit;
  static bool registered = std::atexit(AtExit) == 0;
  (void)registered;
  g_armed = true;
}

void DisarmTerminalRestore() {
  g_armed = false;
  g_atExit = nullptr;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    if (!g_saved.installed[i]) continue;
    sigaction(kSignals[i], &g_saved.previous[i], nullptr);
    g_saved.installed[i] = false;
  }
}

}  // namespace vek::ui::terminal
