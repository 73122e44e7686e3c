// The wizard as a person starts it: in a terminal, with its welcome page and buttons,
// moving through its pages and cancelled with Esc.
#include <gtest/gtest.h>

#include "support/temp_root.h"
#include "support/tmux_session.h"

namespace {

using vek::test::Quote;
using vek::test::TmuxSession;

TEST(WizardTerminal, WelcomePageRendersAndThePagesFollow) {
  if (!vek::test::HaveTmux()) GTEST_SKIP() << "tmux is not installed";
  vek::test::TempDir dir;
  std::string rc = dir.path() + "/rc";
  // The wizard runs without a network: its searches find nothing.
  std::string command = "VEK_UI=terminal VEK_ROOT=" + Quote(dir.path()) + " VEK_BROADCAST=127.0.0.1 LANG=C.UTF-8 " +
                        Quote(VEKWIZARD_PROGRAM) + "; echo $? > " + Quote(rc) + "; echo wizard-ended; exec cat";
  TmuxSession session(command, 120, 45);
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Next >")) << session.Capture();
  std::string welcome = session.Capture();
  EXPECT_NE(welcome.find("Welcome"), std::string::npos) << welcome;
  EXPECT_NE(welcome.find("To continue, click Next."), std::string::npos) << welcome;
  EXPECT_NE(welcome.find("< Back"), std::string::npos);
  EXPECT_NE(welcome.find("Cancel"), std::string::npos);

  session.Keys("Enter");  // Next is the default button
  ASSERT_TRUE(session.WaitForScreen("Select Print Server")) << session.Capture();
  session.Keys("Escape");
  ASSERT_TRUE(session.WaitForScreen("wizard-ended")) << session.Capture();
  EXPECT_EQ(vek::test::ReadFile(rc).substr(0, 1), "0");
}

TEST(WizardTerminal, JapaneseSystemShowsTheJapanesePages) {
  if (!vek::test::HaveTmux()) GTEST_SKIP() << "tmux is not installed";
  vek::test::TempDir dir;
  std::string command = "VEK_UI=terminal VEK_LANGID=0x0411 VEK_ROOT=" + Quote(dir.path()) +
                        " VEK_BROADCAST=127.0.0.1 LANG=C.UTF-8 " +
                        Quote(VEKWIZARD_PROGRAM) + "; echo wizard-ended; exec cat";
  TmuxSession session(command, 120, 45);
  ASSERT_TRUE(session.Started());
  // The sheet's own buttons follow the language too.
  ASSERT_TRUE(session.WaitForScreen("\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xb3\xe3\x82\xbb\xe3\x83\xab")) << session.Capture();
  session.Keys("Escape");
  EXPECT_TRUE(session.WaitForScreen("wizard-ended"));
}

}  // namespace
