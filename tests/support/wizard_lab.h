// The wizard driven headless against an in-process emulator, up to its login
// page and past it: the emulator's print servers on a loopback subnet of the
// test's own (the wizard's broadcasts mapped there), the sheet run as the program
// runs it, the search of the server list, the choice of a server and the login.
// Header only, for tests that link wizard_core and emulator_core.
//
//   WizardLab lab({WizardCableServer(1, "Office")});
//   ASSERT_TRUE(lab.Ok()) << lab.Error();
//   auto rows = lab.Search();               // the server list, once its search ended
//   EXPECT_EQ(lab.Choose(0), 160u);         // device 0's first row, Next
//   EXPECT_EQ(lab.LogIn("admin"), 138u);    // "Yes", the password, Next
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "net/winsock.h"
#include "support/emulator_lab.h"
#include "support/loopback_subnet.h"
#include "support/wizard_sheet_run.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

namespace vek::test {

// A cabled print server: one port (type P, digit 1), password "admin", the
// extended information reply, no wireless and no secured exchange.
inline emu::DeviceConfig WizardCableServer(std::uint8_t n, const std::string& name) {
  emu::DeviceConfig d = CableDevice(n, name);
  d.mac[3] = 0x14;
  d.portNames[0].clear();
  return d;
}

// A wireless print server of model 6 with three ports (P1, U2, 3), WPA2-PSK (the
// combined security page), 802.1X, WPA-PSK, the transmit modes, the multi-part
// reply and the secured exchange with a key of its own; password "secret".
inline emu::DeviceConfig WizardWirelessServer(std::uint8_t n, const std::string& name) {
  emu::DeviceConfig d = SecuredDevice(n, name);
  d.mac[3] = 0x14;
  d.model = 6;
  d.portNames[0].clear();
  d.texts[0].clear();
  return d;
}

class WizardLab {
 public:
  // Starts the emulator, maps the broadcasts to its subnet, puts the wizard's
  // settings in their start-up state and runs the sheet on its welcome page.
  // poolHosts: the subnet's hosts that devices restarting with DHCP are given.
  explicit WizardLab(std::vector<emu::DeviceConfig> devices, const std::vector<int>& poolHosts = {}) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
      m_error = "no sockets";
      return;
    }
    m_winsock = true;
    if (!StartEmulatorOnFreshSubnet(m_emulator, std::move(devices), &m_subnet, &m_error, poolHosts)) return;
    for (std::size_t i = 0; i < m_emulator.DeviceCount(); i++)
      if (!m_emulator.DeviceAt(i).KeyReady()) m_error = "device " + std::to_string(i) + " has no key";
    if (!m_error.empty()) return;
    m_broadcast = std::make_unique<ScopedBroadcast>(m_subnet.Broadcast());
    using namespace WizardSettings;
    m_AddPrinterRunning = 0;
    m_PortCreated = 0;
    m_NoModify = 1;
    m_SelectedRow = -1;
    m_SearchDone = 1;
    m_Transports = PS_TRANSPORTS_UDP;
    m_run = std::make_unique<SheetRun>();
    m_messagesSeen = Driver().MessageBoxes().size();
    m_ok = true;
  }
  ~WizardLab() {
    m_run.reset();
    m_emulator.Stop();
    m_broadcast.reset();
    if (m_winsock) WSACleanup();
  }
  WizardLab(const WizardLab&) = delete;
  WizardLab& operator=(const WizardLab&) = delete;

  bool Ok() const { return m_ok; }
  const std::string& Error() const { return m_error; }
  emu::Emulator& Emulator() { return m_emulator; }
  const LoopbackSubnet& Subnet() const { return m_subnet; }
  SheetRun& Run() { return *m_run; }
  ui::HeadlessDriver& Driver() { return m_run->driver; }
  // The dialog id of the page shown.
  UINT Page() const { return m_run->Page(); }

  // From the welcome page (or on the server list, its Refresh) through the
  // search: the list's rows, "name|address|MAC|port|status|version", once the
  // search dialog has closed, the list is filled and every status has come.
  std::vector<std::string> Search() {
    if (Page() == IDD_WIZARD_WELCOME) Driver().Next();
    else Driver().Click(IDC_REFRESH);
    EXPECT_NE(WaitForSearchDialog(), nullptr) << "the search dialog did not open";
    EXPECT_TRUE(WaitForSearchEnd()) << "the search dialog did not close";
    SettleLong();
    EXPECT_TRUE(WaitForStatuses()) << "a status is still asked for";
    return Rows();
  }

  // Until no row's status is still asked for: each shows the server's word, or
  // "Unknown" for one that did not come in time.
  bool WaitForStatuses(DWORD timeoutMs = 30000) {
    return ui::HeadlessDriver::WaitFor(
        [&] {
          for (const std::string& row : Rows())
            if (row.find("|Checking...|") != std::string::npos) return false;
          return true;
        },
        timeoutMs);
  }

  // The search dialog once it is on top of the sheet; NULL when it does not come
  // within 5 s. (The sheet is held still just before the dialog shows.)
  HWND WaitForSearchDialog() {
    const HWND sheet = Run().sheet().m_hWnd;
    HWND dialog = nullptr;
    ui::HeadlessDriver::WaitFor(
        [&] {
          dialog = Driver().ActiveWindow();
          return dialog != nullptr && dialog != sheet;
        },
        5000);
    return dialog != sheet ? dialog : nullptr;
  }

  // Until the sheet is on top again: 3 s at the least, and the search's 11 s.
  bool WaitForSearchEnd(DWORD timeoutMs = 30000) {
    const HWND sheet = Run().sheet().m_hWnd;
    return ui::HeadlessDriver::WaitFor([&] { return Driver().ActiveWindow() == sheet; }, timeoutMs);
  }

  std::vector<std::string> Rows() { return Driver().Items(IDC_SERVER_LIST); }

  // The row of a device's printer port (from 1) in the server list, or -1.
  int RowOf(std::size_t device, int port = 1) {
    const std::string mac = emu::FormatMac(m_emulator.DeviceAt(device).Config().mac);
    int seen = 0;
    const std::vector<std::string> rows = Rows();
    for (std::size_t i = 0; i < rows.size(); i++)
      if (rows[i].find("|" + mac + "|") != std::string::npos && ++seen == port) return static_cast<int>(i);
    return -1;
  }

  // Selects the row of the device's port and presses Next: the page shown then.
  UINT Choose(std::size_t device, int port = 1) {
    const int row = RowOf(device, port);
    EXPECT_GE(row, 0) << "device " << device << " port " << port << " is not listed";
    if (row < 0) return Page();
    Driver().Select(IDC_SERVER_LIST, row);
    Driver().Next();
    SettleLong();
    return Page();
  }

  // On the login page: "Yes", the password, Next (a login with the device can
  // take up to 10.5 s): the page shown then.
  UINT LogIn(const std::string& password) {
    Driver().Click(IDC_MODIFY_YES);
    SetWindowTextA(Driver().Control(IDC_PASSWORD), "");
    if (!password.empty()) Driver().Type(IDC_PASSWORD, password);
    Driver().Next();
    SettleLong();
    return Page();
  }

  // On the login page: "No", Next.
  UINT KeepSettings() {
    Driver().Click(IDC_MODIFY_NO);
    Driver().Next();
    SettleLong();
    return Page();
  }

  // The texts of the message boxes shown since the last call.
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    const std::vector<framework::MessageBoxRecord> boxes = Driver().MessageBoxes();
    for (std::size_t i = m_messagesSeen; i < boxes.size(); i++) texts.push_back(boxes[i].text);
    m_messagesSeen = boxes.size();
    return texts;
  }

  // Waits until the wizard's thread is idle, however long its work takes.
  void SettleLong() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!Driver().Settle() && std::chrono::steady_clock::now() < deadline) {
    }
  }

 private:
  emu::Emulator m_emulator;
  LoopbackSubnet m_subnet;
  std::unique_ptr<ScopedBroadcast> m_broadcast;
  std::unique_ptr<SheetRun> m_run;
  std::size_t m_messagesSeen = 0;
  std::string m_error;
  bool m_winsock = false;
  bool m_ok = false;
};

}  // namespace vek::test
