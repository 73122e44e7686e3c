#include "road_wait_line.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace {

std::size_t Columns() {
  winsize size{};
  return ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

}  // namespace

void RoadWaitLine::Start(const std::string& text) {
  Stop();
  if (!isatty(STDERR_FILENO)) {
    std::fprintf(stderr, "%s ...\n", text.c_str());
    return;
  }
  m_running = true;
  m_thread = std::thread([this, text] { Turn(text); });
}

void RoadWaitLine::Turn(const std::string& text) {
  static const char kTurns[] = {'|', '/', '-', '\\'};
  const auto start = std::chrono::steady_clock::now();
  std::unique_lock lock(m_lock);
  // A wait over at once shows nothing.
  if (m_changed.wait_for(lock, std::chrono::milliseconds(400), [this] { return !m_running; })) return;
  for (int turn = 0; m_running; turn++) {
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
    std::string mark = " " + std::string(1, kTurns[turn % 4]) + " " + std::to_string(seconds.count()) + " s";
    // Within one row, so that the next draw covers it whole.
    std::string shown = text;
    std::size_t room = Columns() > mark.size() + 1 ? Columns() - mark.size() - 1 : 0;
    if (shown.size() > room) shown = shown.substr(0, room > 3 ? room - 3 : 0) + "...";
    std::fprintf(stderr, "\r\033[K%s%s", shown.c_str(), mark.c_str());
    std::fflush(stderr);
    m_changed.wait_for(lock, std::chrono::milliseconds(250), [this] { return !m_running; });
  }
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
}

void RoadWaitLine::Stop() {
  {
    std::lock_guard guard(m_lock);
    m_running = false;
  }
  m_changed.notify_all();
  if (m_thread.joinable()) m_thread.join();
}
