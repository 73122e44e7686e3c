// Helpers shared by the NetBIOS tests: a segment of the test's own (so parallel
// test processes never hear each other), random names, and the NCBs the tests
// issue.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kernel/sync.h"
#include "net/netbios.h"
#include "net/netbios_segment.h"

namespace vek::net::test {

class NetbiosTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::uint16_t m_port = 0;  // LANA 0's segment; LANA 1 is on the next port
};

// 15 random characters: names no other test uses.
std::string RandomName();
// The name padded with blanks to 16 bytes, as names go on the wire.
std::string Padded(const std::string& name);

NCB Block(UCHAR command, UCHAR lana);
UCHAR Reset(UCHAR lana, UCHAR names = 0);
// *number receives the name number on success.
UCHAR AddName(UCHAR lana, const std::string& name, UCHAR* number = nullptr);
UCHAR AddGroupName(UCHAR lana, const std::string& name, UCHAR* number = nullptr);
UCHAR DeleteName(UCHAR lana, const std::string& name);
UCHAR SendDatagram(UCHAR lana, UCHAR from, const std::string& to, const std::string& data);

// An asynchronous NCBDGRECV with its own buffer and manual-reset event.
class PendingReceive {
 public:
  PendingReceive(UCHAR lana, UCHAR number, WORD size);
  ~PendingReceive();
  PendingReceive(const PendingReceive&) = delete;
  PendingReceive& operator=(const PendingReceive&) = delete;

  // Issues it; returns what Netbios returned.
  UCHAR Arm();
  // Waits for the event; false when it did not come within limit.
  bool Wait(DWORD limitMs = 5000);
  bool Signalled() { return Wait(0); }
  std::string Data() const;

  NCB ncb{};
  HANDLE event = nullptr;
  std::vector<UCHAR> buffer;
};

}  // namespace vek::net::test
