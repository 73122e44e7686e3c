#include <gtest/gtest.h>

#include <cstring>

#include "kernel/kernel.h"

namespace {

TEST(GlobalMemory, ZeroFilledLockableAndFreedOnce) {
  std::size_t live = vek::LiveMemoryBlocks();
  HGLOBAL block = GlobalAlloc(GHND, 1300);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(vek::LiveMemoryBlocks(), live + 1);
  auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
  ASSERT_NE(bytes, nullptr);
  for (int i = 0; i < 1300; ++i) ASSERT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(GlobalSize(block), 1300u);
  EXPECT_EQ(GlobalHandle(bytes), block);
  EXPECT_FALSE(GlobalUnlock(block));  // lock count back to 0
  EXPECT_EQ(GetLastError(), NO_ERROR);
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(vek::LiveMemoryBlocks(), live);
  // A second free is refused with the handle returned, not a double free.
  EXPECT_EQ(GlobalFree(block), block);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(GlobalHandle(bytes), nullptr);
}

TEST(LocalMemory, ZeroInitAndZeroSize) {
  auto* p = static_cast<char*>(LocalAlloc(LPTR, 64));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::memcmp(p, std::string(64, '\0').data(), 64), 0);
  EXPECT_EQ(LocalFree(p), nullptr);
  HLOCAL empty = LocalAlloc(LPTR, 0);
  EXPECT_NE(empty, nullptr);
  EXPECT_EQ(LocalSize(empty), 0u);
  EXPECT_EQ(LocalFree(empty), nullptr);
  EXPECT_EQ(LocalFree(nullptr), nullptr);
}

}  // namespace
