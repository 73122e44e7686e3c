#include "ui/front_end_choice.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "framework/front_end.h"
#include "ui/terminal/terminal_front_end.h"

namespace vek::ui {

FrontEndSession::FrontEndSession() = default;

FrontEndSession::FrontEndSession(std::unique_ptr<terminal::TerminalFrontEnd> terminal) : m_terminal(std::move(terminal)) {
  if (m_terminal) vek::framework::SetFrontEnd(m_terminal.get());
}

FrontEndSession::FrontEndSession(FrontEndSession&& other) noexcept : m_terminal(std::move(other.m_terminal)) {}

FrontEndSession& FrontEndSession::operator=(FrontEndSession&& other) noexcept {
  if (this != &other) {
    End();
    m_terminal = std::move(other.m_terminal);
  }
  return *this;
}

FrontEndSession::~FrontEndSession() { End(); }

void FrontEndSession::End() {
  if (!m_terminal) return;
  m_terminal->Shutdown();  // also takes it out of the framework
  m_terminal.reset();
}

FrontEndSession StartFrontEnd() {
  const char* choice = std::getenv("VEK_UI");
  bool forced = choice && std::strcmp(choice, "terminal") == 0;
  bool headless = choice && std::strcmp(choice, "headless") == 0;
  if (headless || (!forced && !(isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)))) return FrontEndSession();
  return FrontEndSession(terminal::TerminalFrontEnd::Open());
}

}  // namespace vek::ui
