// The job queue: what it takes, what it hands out ahead, what it lets go, and
// the same answers as a plain deque under random use.
#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <vector>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/memory.h"
#include "ring_buffer.h"

namespace {

std::vector<BYTE> Bytes(int n, int first = 0) {
  std::vector<BYTE> out(static_cast<std::size_t>(n));
  for (int i = 0; i < n; i++) out[static_cast<std::size_t>(i)] = static_cast<BYTE>(first + i);
  return out;
}

TEST(RingBuffer, ASixteenByteBufferHoldsFifteen) {
  XRingBuffer queue;
  ASSERT_TRUE(queue.Create(16));
  std::vector<BYTE> data = Bytes(20);
  EXPECT_EQ(15, queue.Write(data.data(), 20));
  EXPECT_EQ(0, queue.Write(data.data(), 20));
  EXPECT_EQ(15, queue.GetCount());
  EXPECT_EQ(0, queue.GetFreeSpace());
  EXPECT_STREQ("XRingBuffer", queue.GetName());
}

TEST(RingBuffer, WritingUpToTheEndWrapsTheWriteIndexToZero) {
  XRingBuffer queue;
  ASSERT_TRUE(queue.Create(16));
  std::vector<BYTE> data = Bytes(16);
  ASSERT_EQ(10, queue.Write(data.data(), 10));
  ASSERT_EQ(10, queue.Skip(10));
  EXPECT_EQ(6, queue.Write(data.data(), 6));
  EXPECT_EQ(0, queue.m_Write);
}

TEST(RingBuffer, PeekReadsAheadWithoutConsuming) {
  XRingBuffer queue;
  ASSERT_TRUE(queue.Create(64));
  std::vector<BYTE> data = Bytes(10, 100);
  queue.Write(data.data(), 10);
  BYTE out[100] = {};
  EXPECT_EQ(6, queue.Peek(out, 100, 4));
  EXPECT_EQ(std::vector<BYTE>(data.begin() + 4, data.end()), std::vector<BYTE>(out, out + 6));
  EXPECT_EQ(10, queue.GetCount());
  EXPECT_EQ(0, queue.Peek(out, 100, 10));
}

TEST(RingBuffer, WritesAndPeeksAcrossTheEndKeepQueueOrder) {
  XRingBuffer queue;
  ASSERT_TRUE(queue.Create(16));
  std::vector<BYTE> first = Bytes(12);
  queue.Write(first.data(), 12);
  queue.Skip(10);
  std::vector<BYTE> second = Bytes(10, 50);
  EXPECT_EQ(10, queue.Write(second.data(), 10));  // wraps
  BYTE out[12] = {};
  ASSERT_EQ(12, queue.Peek(out, 12, 0));
  std::vector<BYTE> expected = {10, 11};
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(expected, std::vector<BYTE>(out, out + 12));
}

TEST(RingBuffer, SkipTakesAtMostWhatIsQueued) {
  XRingBuffer queue;
  ASSERT_TRUE(queue.Create(32));
  std::vector<BYTE> data = Bytes(10);
  queue.Write(data.data(), 10);
  EXPECT_EQ(10, queue.Skip(100));
  EXPECT_EQ(0, queue.GetCount());
}

TEST(RingBuffer, WithoutStorageEveryDataCallFailsWithInvalidData) {
  XRingBuffer queue;
  BYTE byte = 1;
  SetLastError(0);
  EXPECT_EQ(0, queue.Write(&byte, 1));
  EXPECT_EQ(ERROR_INVALID_DATA, GetLastError());
  SetLastError(0);
  EXPECT_EQ(0, queue.Peek(&byte, 1, 0));
  EXPECT_EQ(ERROR_INVALID_DATA, GetLastError());
  SetLastError(0);
  EXPECT_EQ(0, queue.Skip(1));
  EXPECT_EQ(ERROR_INVALID_DATA, GetLastError());
  SetLastError(0);
  EXPECT_EQ(0, queue.GetCount());
  EXPECT_EQ(ERROR_INVALID_DATA, GetLastError());
  SetLastError(0);
  EXPECT_EQ(0, queue.GetFreeSpace());
  EXPECT_EQ(ERROR_INVALID_DATA, GetLastError());
  queue.Reset();
  EXPECT_TRUE(queue.Free());
}

TEST(RingBuffer, CreateStartsEmptyEvenAfterUse) {
  XRingBuffer queue;
  ASSERT_TRUE(queue.Create(64));
  std::vector<BYTE> data = Bytes(50);
  queue.Write(data.data(), 50);
  queue.Skip(20);
  // Old indices would lie beyond the new, smaller storage.
  ASSERT_TRUE(queue.Create(8));
  EXPECT_EQ(0, queue.GetCount());
  EXPECT_EQ(7, queue.Write(data.data(), 50));
  BYTE out[7] = {};
  EXPECT_EQ(7, queue.Peek(out, 7, 0));
  EXPECT_EQ(std::vector<BYTE>(data.begin(), data.begin() + 7), std::vector<BYTE>(out, out + 7));
}

TEST(RingBuffer, SizesThatHoldNothingAreRefused) {
  XRingBuffer queue;
  for (int size : {-5, 0, 1}) {
    EXPECT_FALSE(queue.Create(size)) << size;
    EXPECT_EQ(nullptr, queue.m_pBuffer);
    EXPECT_EQ(0, queue.m_Size);
  }
  EXPECT_TRUE(queue.Create(2));
  BYTE b[2] = {1, 2};
  EXPECT_EQ(1, queue.Write(b, 2));
}

TEST(RingBuffer, NegativeLengthsAndOffsetsTakeNothing) {
  XRingBuffer queue;
  ASSERT_TRUE(queue.Create(16));
  std::vector<BYTE> data = Bytes(8);
  queue.Write(data.data(), 8);
  BYTE out[8] = {};
  EXPECT_EQ(0, queue.Write(data.data(), -1));
  EXPECT_EQ(0, queue.Peek(out, -1, 0));
  EXPECT_EQ(0, queue.Peek(out, 4, -3));
  EXPECT_EQ(0, queue.Skip(-2));
  EXPECT_EQ(8, queue.GetCount());
}

TEST(RingBuffer, StorageIsOneBlockFreedWithTheBuffer) {
  std::size_t before = vek::LiveMemoryBlocks();
  {
    XRingBuffer queue;
    ASSERT_TRUE(queue.Create(0x60000));
    EXPECT_EQ(before + 1, vek::LiveMemoryBlocks());
    ASSERT_TRUE(queue.Create(100));
    EXPECT_EQ(before + 1, vek::LiveMemoryBlocks());
  }
  EXPECT_EQ(before, vek::LiveMemoryBlocks());
}

TEST(RingBuffer, AgreesWithADequeUnderRandomUse) {
  for (unsigned seed : {1u, 2u, 3u, 42u}) {
    std::mt19937 random(seed);
    const int size = 1 + 1 + static_cast<int>(random() % 300);
    XRingBuffer queue;
    ASSERT_TRUE(queue.Create(size));
    std::deque<BYTE> model;
    BYTE next = 0;
    for (int step = 0; step < 20000; step++) {
      int length = static_cast<int>(random() % static_cast<unsigned>(size + 20)) - 5;
      switch (random() % 3) {
        case 0: {
          std::vector<BYTE> data(static_cast<std::size_t>(std::max(length, 0)));
          for (BYTE& b : data) b = next++;
          int expected = std::clamp(length, 0, size - 1 - static_cast<int>(model.size()));
          ASSERT_EQ(expected, queue.Write(data.data(), length)) << "seed " << seed << " step " << step;
          model.insert(model.end(), data.begin(), data.begin() + expected);
          break;
        }
        case 1: {
          int offset = static_cast<int>(random() % static_cast<unsigned>(size + 2)) - 1;
          std::vector<BYTE> out(static_cast<std::size_t>(std::max(length, 0)) + 1, 0xEE);
          int got = queue.Peek(out.data(), length, offset);
          int count = static_cast<int>(model.size());
          int expected = length <= 0 || offset < 0 || offset >= count ? 0 : std::min(length, count - offset);
          ASSERT_EQ(expected, got) << "seed " << seed << " step " << step;
          for (int i = 0; i < got; i++) ASSERT_EQ(model[static_cast<std::size_t>(offset + i)], out[static_cast<std::size_t>(i)]);
          break;
        }
        default: {
          int expected = std::clamp(length, 0, static_cast<int>(model.size()));
          ASSERT_EQ(expected, queue.Skip(length));
          model.erase(model.begin(), model.begin() + expected);
          break;
        }
      }
      ASSERT_EQ(static_cast<int>(model.size()), queue.GetCount());
      ASSERT_EQ(size - 1 - static_cast<int>(model.size()), queue.GetFreeSpace());
    }
  }
}

}  // namespace
