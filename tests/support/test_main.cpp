#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  // Nothing a test sends may leave the machine: a broadcast that no test has
  // mapped goes to loopback, never to 255.255.255.255 on the real network. The
  // programs a test starts inherit it.
  setenv("VEK_BROADCAST", "127.255.255.255", 0);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
