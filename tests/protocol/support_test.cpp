// The counted global-memory helpers, socket start-up and the trace sink.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kernel/memory.h"
#include "net/winsock.h"
#include "protocol/counted_memory.h"
#include "protocol/trace.h"
#include "protocol/winsock_startup.h"
#include "protocol/xudp_socket.h"

namespace {

std::vector<std::string> g_lines;
void Collect(LPCSTR line) { g_lines.push_back(line); }

class TraceCapture {
 public:
  TraceCapture() {
    g_lines.clear();
    SetTraceSink(Collect);
  }
  ~TraceCapture() { SetTraceSink(nullptr); }
};

TEST(CountedMemory, AllocatesZeroedBlocksAndCountsThem) {
  const LONG allocated = g_CountedBlocksAllocated, live = g_CountedBlocksLive;
  auto* block = static_cast<BYTE*>(CountedGlobalAlloc(300, GMEM_ZEROINIT));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 300; i++) ASSERT_EQ(block[i], 0);
  EXPECT_EQ(g_CountedBlocksAllocated, allocated + 1);
  EXPECT_EQ(g_CountedBlocksLive, live + 1);
  EXPECT_EQ(CountedGlobalFree(block), nullptr);
  EXPECT_EQ(g_CountedBlocksAllocated, allocated + 1);
  EXPECT_EQ(g_CountedBlocksLive, live);
}

TEST(CountedMemory, MoveableBlocksAreUnlockedAndFreed) {
  const LONG live = g_CountedBlocksLive;
  const std::size_t blocks = vek::LiveMemoryBlocks();
  void* block = CountedGlobalAlloc(16, GHND);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(CountedGlobalFree(block), nullptr);
  EXPECT_EQ(g_CountedBlocksLive, live);
  EXPECT_EQ(vek::LiveMemoryBlocks(), blocks);
}

TEST(CountedMemory, FreeingNullTouchesNoCounter) {
  const LONG allocated = g_CountedBlocksAllocated, live = g_CountedBlocksLive;
  EXPECT_EQ(CountedGlobalFree(nullptr), nullptr);
  EXPECT_EQ(g_CountedBlocksAllocated, allocated);
  EXPECT_EQ(g_CountedBlocksLive, live);
  EXPECT_EQ(CountedGlobalAlloc(-1, GMEM_ZEROINIT), nullptr);
}

TEST(CountedMemory, AForeignBlockIsNotCountedAsFreed) {
  const LONG live = g_CountedBlocksLive;
  int notOurs = 0;
  EXPECT_EQ(CountedGlobalFree(&notOurs), &notOurs);
  EXPECT_EQ(g_CountedBlocksLive, live);
}

TEST(Trace, SilentByDefaultAndFormattedIntoAnInstalledSink) {
  g_lines.clear();
  DebugTrace("nothing %d", 1);
  SocketTrace("nothing");
  EXPECT_TRUE(g_lines.empty());
  TraceCapture capture;
  DebugTrace("PrintServer.m_NodeID : %02X:%02X\r\n", 0x02, 0x4E);
  SocketTrace("fixed text");
  XUDPSocket socket;
  socket.Trace("through the socket");
  ASSERT_EQ(g_lines.size(), 3u);
  EXPECT_EQ(g_lines[0], "PrintServer.m_NodeID : 02:4E\r\n");
  EXPECT_EQ(g_lines[1], "fixed text");
  EXPECT_EQ(g_lines[2], "through the socket");
}

TEST(Startup, WinsockStartsAndUdpIsThere) {
  ASSERT_TRUE(StartupWinsock());
  TraceCapture capture;
  EXPECT_TRUE(XUDPSocket::LoadUDP());
  ASSERT_EQ(g_lines.size(), 1u);
  EXPECT_EQ(g_lines[0], "XUDPSocket::LoadUDP() UDP Support");
  WSACleanup();
}

TEST(Startup, WithoutWinsockUdpIsMissing) {
  TraceCapture capture;
  EXPECT_FALSE(XUDPSocket::LoadUDP());
  ASSERT_EQ(g_lines.size(), 1u);
  EXPECT_EQ(g_lines[0], "XUDPSocket::LoadUDP() UDP Unsupport");
}

}  // namespace
