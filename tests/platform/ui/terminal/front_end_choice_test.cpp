// The choice of front end at start: none when told so, and none (rather than a
// broken screen) when the terminal cannot be driven.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "framework/front_end.h"
#include "ui/front_end_choice.h"

namespace {

// Sets an environment variable for a scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    setenv(name, value, 1);
  }
  ~ScopedEnv() {
    if (m_old) setenv(m_name, m_old->c_str(), 1);
    else unsetenv(m_name);
  }

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

TEST(TerminalChoice, HeadlessWhenAskedInstallsNothing) {
  ScopedEnv ui("VEK_UI", "headless");
  vek::ui::FrontEndSession session = vek::ui::StartFrontEnd();
  EXPECT_FALSE(session.IsTerminal());
  EXPECT_EQ(vek::framework::CurrentFrontEnd(), nullptr);
}

TEST(TerminalChoice, ATerminalThatCannotBeDrivenLeavesTheProgramHeadless) {
  ScopedEnv ui("VEK_UI", "terminal");
  ScopedEnv term("TERM", "vek-no-such-terminal");
  vek::ui::FrontEndSession session = vek::ui::StartFrontEnd();
  EXPECT_FALSE(session.IsTerminal());
  EXPECT_EQ(vek::framework::CurrentFrontEnd(), nullptr);
  // Message boxes keep their default answer.
  EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_YESNO | MB_DEFBUTTON2), IDNO);
}

}  // namespace
