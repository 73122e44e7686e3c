// The wizard's pages from the TCP/IP page on, with a chosen server: a record
// made from an emulated device's information reply, put in the found-server
// list and loaded into the settings as the server list's Next does, and the
// sheet driven headless to the TCP/IP page.
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

// The settings of the chosen server, as the server list's Next loads them, and
// the password key a login with password leaves.
inline void ChooseServer(CPrintServer* ps, const char* password) {
  using namespace WizardSettings;
  m_pSelectedPS = ps;
  m_SelectedRow = 0;
  m_NoModify = 0;
  std::memcpy(m_ServerNodeID, ps->m_NodeID, 6);
  if (const BYTE* address = ps->GetIPAddress()) std::memcpy(m_ServerIPAddress, address, 4);
  m_Wireless = ps->HasWireless();
  m_HasWirelessOption = ps->HasWirelessOption();
  m_WirelessOption = m_HasWirelessOption ? ps->GetWirelessOption() : 0;
  m_CommType = ps->GetCommType();
  m_ModelCode = ps->GetModelCode();
  if (m_ModelCode >= 21 && m_CommType == 2) m_CommType = 1;
  m_SSID = ps->GetSSID();
  m_RegDomain = ps->GetDomain();
  m_Channel.Format("%d", ps->GetChannel());
  m_HasGRates = ps->HasGRates();
  m_Has8021X = ps->Has8021X();
  m_HasWPAPSK = ps->HasWPAPSK();
  m_HasSecurityPage = ps->HasWPA2PSK();
  m_HasTxMode = ps->HasTxMode();
  m_SecureConfig = m_Wireless && ps->HasSecureConfig();
  const int rateG = m_HasGRates ? ps->GetTxRateG() : 2;
  m_RateIndex = rateG == 2 ? ps->GetTxRate() : rateG;
  m_TxMode = static_cast<BYTE>(m_HasTxMode ? ps->GetTxMode() : 0);
  m_AuthType = static_cast<BYTE>(ps->GetAuthType());
  m_Encryption = static_cast<BYTE>(m_HasSecurityPage ? ps->GetEncryption() : 0);
  std::memset(m_DeviceKey, 0, sizeof(m_DeviceKey));
  int keyLength = 0;
  if (const BYTE* modulus = ps->GetRSAModulus(&keyLength)) std::memcpy(m_DeviceKey, modulus, static_cast<std::size_t>(keyLength));
  m_WEPMode = ps->GetWEPMode();
  m_WEPKeySlot = ps->GetWEPKeyIndex();
  m_WEPKeyFormat = ps->GetWEPKeyFormat();
  m_8021XMethod = m_Has8021X ? ps->Get8021XMethod() : 0;
  m_8021XLogin = m_Has8021X ? ps->Get8021XUser() : "";
  m_8021XPassword = m_Has8021X ? ps->Get8021XPassword() : "";
  m_WPAPSK = m_HasWPAPSK || m_HasSecurityPage ? ps->GetWPAPSK() : "";
  std::memset(g_PasswordKey, 0, sizeof(g_PasswordKey));
  std::memcpy(g_PasswordKey, password, strnlen(password, sizeof(g_PasswordKey)));
  g_PasswordKeyLength = sizeof(g_PasswordKey);
}

inline std::string Dotted(std::uint32_t hostOrder) {
  return std::to_string(hostOrder >> 24) + "." + std::to_string((hostOrder >> 16) & 0xFF) + "." +
         std::to_string((hostOrder >> 8) & 0xFF) + "." + std::to_string(hostOrder & 0xFF);
}

inline std::uint32_t HostOrder(const BYTE* address) {
  std::uint32_t network;
  std::memcpy(&network, address, 4);
  return ntohl(network);
}

// The sheet from the welcome page to the TCP/IP page.
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
