// The front end a program runs with, chosen at start: the terminal when VEK_UI is
// "terminal", or when standard input and output are terminals and VEK_UI is not
// "headless"; otherwise none (headless: modal loops just wait for messages, message
// boxes take their default answer or a test's).
#pragma once

#include <memory>

namespace vek::ui {

namespace terminal {
class TerminalFrontEnd;
}

// Holds the chosen front end; giving it up restores the terminal.
class FrontEndSession {
 public:
  FrontEndSession();
  explicit FrontEndSession(std::unique_ptr<terminal::TerminalFrontEnd> terminal);
  FrontEndSession(FrontEndSession&& other) noexcept;
  FrontEndSession& operator=(FrontEndSession&& other) noexcept;
  ~FrontEndSession();

  bool IsTerminal() const { return m_terminal != nullptr; }
  // Restores the terminal now (the destructor does it otherwise).
  void End();

 private:
  std::unique_ptr<terminal::TerminalFrontEnd> m_terminal;
};

[[nodiscard]] FrontEndSession StartFrontEnd();

}  // namespace vek::ui
