// The wizard's pages from the TCP/IP page on, without a search: a record made
// from an emulated device's information reply, put in the found-server list and
// loaded into the settings as the server list's Next does, and the sheet driven
// headless to the TCP/IP page.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "emulator/info_reply.h"
#include "protocol/device_lab.h"
#include "protocol/print_server_list.h"
#include "protocol/secure_config.h"
#include "support/wizard_sheet_run.h"
#include "wizard/load_settings.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

namespace vek::test {

// A record of the device as the search leaves it, found over UDP at address
// (host order; 0: the broadcast address, as for a device found late).
inline CPrintServer* ListServer(const emu::DeviceConfig& device, std::uint32_t address) {
  const std::vector<std::uint8_t> reply = emu::BuildInformationReply(device);
  auto* ps = new CPrintServer;
  EXPECT_TRUE(ps->ParseReply(reply.data(), static_cast<int>(reply.size())));
  ps->m_Transport = PS_TRANSPORT_UDP;
  const std::uint32_t network = address == 0 ? 0xFFFFFFFFu : htonl(address);
  std::memcpy(ps->m_IPAddress, &network, 4);
  g_PrintServerList.AddTail(ps);
  return ps;
}

// The settings of the chosen server, loaded as the server list's Next loads
// them, and the password key a login with password leaves.
inline void ChooseServer(CPrintServer* ps, const char* password) {
  using namespace WizardSettings;
  ResetDeviceSettings();
  m_SelectedRow = 0;
  m_NoModify = 0;
  std::memcpy(m_ServerNodeID, ps->m_NodeID, 6);
  LoadServerSettings(ps);
  std::memset(g_PasswordKey, 0, sizeof(g_PasswordKey));
  std::memcpy(g_PasswordKey, password, strnlen(password, sizeof(g_PasswordKey)));
  g_PasswordKeyLength = sizeof(g_PasswordKey);
}

inline std::uint32_t HostOrder(const BYTE* address) {
  std::uint32_t network;
  std::memcpy(&network, address, 4);
  return ntohl(network);
}

// The TCP/IP page's place in the sheet, where a run without a search starts.
constexpr UINT kTcpipPageIndex = 8;

// From the login page (or the page it leads to) to the TCP/IP page, through the
// wireless pages of a wireless server.
inline bool DriveToTcpip(SheetRun& run) {
  for (int step = 0; step < 8 && run.Page() != IDD_WIZARD_TCPIP; step++) run.driver.Next();
  return run.Page() == IDD_WIZARD_TCPIP;
}

// Types a static address on the TCP/IP page.
inline void TypeStatic(SheetRun& run, const std::string& address, const std::string& mask, const std::string& gateway) {
  run.driver.Click(IDC_DHCP2);
  run.driver.Type(IDC_IP_ADDRESS, address);
  run.driver.Type(IDC_SUBNET_MASK, mask);
  run.driver.Type(IDC_GATEWAY, gateway);
}

// Empties the found-server list and the chosen server at the end of a test.
struct ChosenServerCleanup {
  ~ChosenServerCleanup() {
    WizardSettings::m_pSelectedPS = nullptr;
    g_PrintServerList.DeleteAll();
  }
};

}  // namespace vek::test
