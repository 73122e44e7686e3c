// The port enumeration's two calls, for every level, both character widths and
// several port counts: the size asked for, an exact fit, every string inside the
// caller's buffer, nothing written past it.
#include <tuple>

#include "kernel/version.h"
#include "monitor_test_support.h"
#include "port_workers.h"

namespace vek::test {
namespace {

constexpr std::size_t kGuard = 64;

struct Case {
  DWORD level;
  bool nt;
  int ports;
};

class EnumPorts : public MonitorTest, public ::testing::WithParamInterface<Case> {
 protected:
  void BeforeStart() override {
    if (!GetParam().nt) SetOsVersion({VER_PLATFORM_WIN32_WINDOWS, 4, 10, 2222});
  }
  void TearDown() override {
    MonitorTest::TearDown();
    ResetOsVersionAndLanguage();
  }
};

std::u16string NameOf(int i) { return u"VEK12AB0" + std::u16string(1, static_cast<char16_t>(u'C' + i)) + u"-1"; }

// Reads a string of the buffer in the enumeration's width.
std::u16string Read(const void* text, bool nt) {
  std::u16string out;
  if (nt) {
    for (const char16_t* p = static_cast<const char16_t*>(text); *p; ++p) out += *p;
  } else {
    for (const char* p = static_cast<const char*>(text); *p; ++p) out += static_cast<char16_t>(*p);
  }
  return out;
}

TEST_P(EnumPorts, TwoCallsFillAnExactBuffer) {
  const Case c = GetParam();
  ASSERT_EQ(c.nt ? TRUE : FALSE, g_bWinNT);
  for (int i = 0; i < c.ports; i++) {
    CPrintPort* port = AddPort(NameOf(i), i % 2 ? PACKET_TYPE_IPX : PACKET_TYPE_UDP);
    const BYTE ip[4] = {192, 168, 0, static_cast<BYTE>(10 + i)};
    std::memcpy(port->m_IPAddress, ip, 4);
    port->m_PortID = static_cast<signed char>(1 + i);
  }
  DWORD needed = 0xDEAD, returned = 0xDEAD;
  BYTE probe[1] = {0xCC};
  BOOL first = XYZEnumPorts(nullptr, c.level, probe, 0, &needed, &returned);
  const DWORD charSize = c.nt ? 2 : 1;
  DWORD expected = 0;
  for (int i = 0; i < c.ports; i++) {
    DWORD name = static_cast<DWORD>(NameOf(i).size() + 1) * charSize;
    if (c.level == 1) expected += sizeof(PORT_INFO_1W) + name;
    if (c.level == 2) {
      std::u16string description =
          i % 2 ? u"IPX,PID:" + std::u16string(1, char16_t(u'1' + i))
                : u"192.168.0." + std::u16string(1, char16_t(u'1')) + std::u16string(1, char16_t(u'0' + i)) +
                      u",PID:" + std::u16string(1, char16_t(u'1' + i));
      expected += sizeof(PORT_INFO_2W) + name + static_cast<DWORD>(32 * charSize) +
                  static_cast<DWORD>(description.size() + 1) * charSize;
    }
  }
  EXPECT_EQ(expected, needed);
  if (c.level == 0) {
    EXPECT_TRUE(first);
    EXPECT_EQ(static_cast<DWORD>(c.ports), returned);
    return;
  }
  if (needed > 0) {
    EXPECT_FALSE(first);
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ(0u, returned);
  } else {
    EXPECT_TRUE(first);
  }
  EXPECT_EQ(0xCC, probe[0]);

  std::vector<BYTE> buffer(needed + kGuard, 0xCC);
  ASSERT_TRUE(XYZEnumPorts(nullptr, c.level, buffer.data(), needed, &needed, &returned));
  EXPECT_EQ(static_cast<DWORD>(c.ports), returned);
  for (std::size_t i = needed; i < buffer.size(); i++) ASSERT_EQ(0xCC, buffer[i]) << "guard byte " << i;
  auto inside = [&](const void* p) {
    auto address = static_cast<const BYTE*>(p);
    return address >= buffer.data() && address < buffer.data() + needed;
  };
  for (int i = 0; i < c.ports; i++) {
    if (c.level == 1) {
      PORT_INFO_1W info;
      std::memcpy(&info, buffer.data() + i * sizeof info, sizeof info);
      ASSERT_TRUE(inside(info.pName));
      EXPECT_EQ(NameOf(i), Read(info.pName, c.nt));
    } else {
      PORT_INFO_2W info;
      std::memcpy(&info, buffer.data() + i * sizeof info, sizeof info);
      ASSERT_TRUE(inside(info.pPortName) && inside(info.pMonitorName) && inside(info.pDescription));
      EXPECT_EQ(NameOf(i), Read(info.pPortName, c.nt));
      EXPECT_EQ(u"TARVEX VEK Network Printer Port", Read(info.pMonitorName, c.nt));
      EXPECT_EQ(0u, info.fPortType);
      EXPECT_EQ(0u, info.Reserved);
      // Port name highest, then the monitor name, then the description.
      EXPECT_GT(reinterpret_cast<const BYTE*>(info.pPortName), reinterpret_cast<const BYTE*>(info.pMonitorName));
      EXPECT_GT(reinterpret_cast<const BYTE*>(info.pMonitorName), reinterpret_cast<const BYTE*>(info.pDescription));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(LevelsWidthsAndCounts, EnumPorts,
                         ::testing::Values(Case{0, true, 0}, Case{0, true, 3}, Case{1, true, 0}, Case{1, true, 1},
                                           Case{1, true, 3}, Case{2, true, 0}, Case{2, true, 1}, Case{2, true, 3},
                                           Case{1, false, 0}, Case{1, false, 1}, Case{1, false, 3},
                                           Case{2, false, 0}, Case{2, false, 1}, Case{2, false, 3}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return "Level" + std::to_string(info.param.level) + (info.param.nt ? "NT" : "9x") +
                                  std::to_string(info.param.ports) + "Ports";
                         });

class EnumPortsErrors : public MonitorTest {};

TEST_F(EnumPortsErrors, BadArgumentsAreRefused) {
  DWORD needed = 0, returned = 0;
  BYTE buffer[512];
  EXPECT_FALSE(XYZEnumPorts(nullptr, 1, buffer, sizeof buffer, nullptr, &returned));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_FALSE(XYZEnumPorts(nullptr, 1, buffer, sizeof buffer, &needed, nullptr));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_FALSE(XYZEnumPorts(nullptr, 3, buffer, sizeof buffer, &needed, &returned));
  EXPECT_EQ(ERROR_INVALID_LEVEL, GetLastError());
  // A size without a buffer.
  EXPECT_FALSE(XYZEnumPorts(nullptr, 1, nullptr, 100, &needed, &returned));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  AddPort(u"P");
  EXPECT_FALSE(XYZEnumPorts(nullptr, 2, nullptr, 0, &needed, &returned));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
}

TEST_F(EnumPortsErrors, ABufferOneByteShortIsRefusedUntouched) {
  AddPort(u"P1");
  AddPort(u"P2");
  DWORD needed = 0, returned = 0;
  XYZEnumPorts(nullptr, 2, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed, 0xCC);
  EXPECT_FALSE(XYZEnumPorts(nullptr, 2, buffer.data(), needed - 1, &needed, &returned));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
  for (BYTE b : buffer) ASSERT_EQ(0xCC, b);
}

TEST_F(EnumPortsErrors, TheEnumerationProbesTheTransportsOnce) {
  g_SupportedProtocols = 0;
  DWORD needed = 0, returned = 0;
  XYZEnumPorts(nullptr, 0, nullptr, 0, &needed, &returned);
  EXPECT_TRUE(g_SupportedProtocols.load() & PROTOCOL_UDP);
}

}  // namespace
}  // namespace vek::test
