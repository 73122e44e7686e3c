// The terminal watcher: it signals waiting input once, and again only when the
// reader has re-armed it.
#include <gtest/gtest.h>

#include <unistd.h>

#include "kernel/errors.h"
#include "kernel/sync.h"
#include "ui/terminal/stdin_watcher.h"

namespace {

using vek::ui::terminal::StdinWatcher;

TEST(TerminalWatcher, SignalsInputOnceUntilRearmedAndStops) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  {
    StdinWatcher watcher(fds[0]);
    ASSERT_TRUE(watcher.Running());
    EXPECT_EQ(WaitForSingleObject(watcher.Event(), 0), WAIT_TIMEOUT);
    ASSERT_EQ(write(fds[1], "k", 1), 1);
    EXPECT_EQ(WaitForSingleObject(watcher.Event(), 5000), WAIT_OBJECT_0);
    // Unread input does not signal again before the reader is done.
    EXPECT_EQ(WaitForSingleObject(watcher.Event(), 50), WAIT_TIMEOUT);
    watcher.Rearm();
    EXPECT_EQ(WaitForSingleObject(watcher.Event(), 5000), WAIT_OBJECT_0);  // still unread
    char byte = 0;
    ASSERT_EQ(read(fds[0], &byte, 1), 1);
    watcher.Rearm();
    EXPECT_EQ(WaitForSingleObject(watcher.Event(), 50), WAIT_TIMEOUT);
    watcher.Stop();
    EXPECT_FALSE(watcher.Running());
  }
  close(fds[0]);
  close(fds[1]);
}

}  // namespace
