// A fresh machine root with the monitor started on it, as the spooler starts it,
// and helpers for ports, bytes and waits.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "monitor_globals.h"
#include "net/netbios_segment.h"
#include "port_list.h"
#include "print_port.h"
#include "registry/registry.h"
#include "spooler/spooler.h"
#include "spooler/winspool.h"
#include "support/job_data.h"
#include "support/loopback_subnet.h"
#include "support/temp_root.h"

extern "C" LPMONITOREX InitializePrintMonitor(LPWSTR pRegistryRoot);
extern "C" BOOL InitializeMonitorEx(LPWSTR pRegistryRoot, MONITOR_WITHOUT_ADDPORTEX* pMonitor);
extern "C" BOOL InitializeMonitor(LPWSTR pRegistryRoot);
extern "C" void VekShutdownMonitor();

namespace vek::test {

inline const std::u16string kMonitorPath =
    u"System\\CurrentControlSet\\Control\\Print\\Monitors\\TARVEX VEK Network Printer Port";
inline const std::string kMonitorKeyNarrow =
    "System\\CurrentControlSet\\Control\\Print\\Monitors\\TARVEX VEK Network Printer Port";

template <typename Condition>
bool WaitUntil(Condition condition, int ms = 10000) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}



// Registry values of the monitor's key, written before the monitor starts.
inline void WriteMonitorDword(const char* name, DWORD value) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMonitorKeyNarrow.c_str(), 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &key, nullptr));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4));
  RegCloseKey(key);
}

class MonitorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A NetBIOS segment of the test's own, LANA 0 only (the machine set-up seeds it).
    std::string segment = "127.255.255.255:" + std::to_string(RandomSegmentPort());
    ASSERT_TRUE(net::SetNetbiosSegment(segment.c_str()));
    ASSERT_TRUE(net::SetNetbiosLanas("0"));
    net::SetNetbiosClaimPeriod(30);
    std::string error;
    ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({}, &error)) << error;
    BeforeStart();
    StartMonitor();
  }
  void TearDown() override {
    VekShutdownMonitor();
    spooler::Shutdown();
    net::ResetNetbiosConfiguration();
  }
  virtual void BeforeStart() {}

  void StartMonitor() {
    std::u16string path = kMonitorPath;
    ASSERT_NE(nullptr, InitializePrintMonitor(path.data()));
  }

  // A port in the list, not saved.
  CPrintPort* AddPort(const std::u16string& name, int packetType = PACKET_TYPE_UDP, int model = 1) {
    auto* port = new CPrintPort;
    std::memcpy(port->m_PortName, name.c_str(), (name.size() + 1) * sizeof(char16_t));
    port->m_PacketType = packetType;
    port->m_Model = model;
    port->m_PortID = 1;
    port->m_RetryTimeout = 30;
    AddPrintPort(port);
    return port;
  }

  // A printer the port's job can open (on the built-in local port).
  void AddPrinter(const std::string& name) {
    std::u16string wideName = ToWide(name), port = u"LPT1:";
    PRINTER_INFO_2W info{};
    info.pPrinterName = wideName.data();
    info.pPortName = port.data();
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(nullptr, printer) << GetLastError();
    ClosePrinter(printer);
  }

  TempRoot m_root;
};

}  // namespace vek::test
