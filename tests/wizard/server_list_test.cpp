// The server list against the emulator, headless: the search dialog (it cannot
// be closed, shows what it finds, stays for the discovery thread's whole run
// and starts none without UDP), the rows of every printer port with their port and status texts, the
// chosen row's port and record, the server that skips to the printer page, and
// Refresh.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "framework/cursor.h"
#include "protocol/print_server.h"
#include "protocol/print_server_list.h"
#include "support/wizard_lab.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

namespace {

using namespace std::chrono_literals;
using vek::test::WizardLab;
using vek::ui::HeadlessDriver;

std::vector<std::string> Split(const std::string& row) {
  std::vector<std::string> cells(1);
  for (char c : row) {
    if (c == '|') cells.emplace_back();
    else cells.back() += c;
  }
  return cells;
}

vek::emu::DeviceConfig WithFaults(vek::emu::DeviceConfig d, const std::string& faults) {
  std::string why;
  EXPECT_TRUE(vek::emu::ReadFaults(faults, &d.faults, &why)) << why;
  return d;
}

TEST(ServerList, NoServerAnsweringLeavesNothingToChoose) {
  WizardLab lab({WithFaults(vek::test::WizardCableServer(1, "Deaf"), "search:drop, search-multi:drop")});
  ASSERT_TRUE(lab.Ok()) << lab.Error();
  HeadlessDriver& driver = lab.Driver();
  const HWND sheet = lab.Run().sheet().m_hWnd;
  driver.Next();
  const HWND dialog = lab.WaitForSearchDialog();
  ASSERT_NE(dialog, nullptr);
  const auto opened = std::chrono::steady_clock::now();

  // Nothing closes the dialog but the search's end: its buttons are hidden and
  // disabled, Esc does nothing, and the sheet behind it takes no input.
  for (int button : {IDOK, IDCANCEL}) {
    EXPECT_FALSE(driver.Visible(button));
    EXPECT_FALSE(driver.Enabled(button));
  }
  EXPECT_FALSE(IsWindowEnabled(sheet));
  driver.Key(VK_ESCAPE);
  EXPECT_EQ(driver.ActiveWindow(), dialog);
  EXPECT_TRUE(HeadlessDriver::WaitFor(
      [] { return vek::framework::CursorId(GetCursor()) == 32514; }, 5000))
      << "the wait cursor shows while the dialog waits";

  ASSERT_TRUE(lab.WaitForSearchEnd());
  EXPECT_GE(std::chrono::steady_clock::now() - opened, 10500ms) << "the dialog stays for the thread's whole run";
  lab.SettleLong();
  EXPECT_TRUE(IsWindowEnabled(sheet));
  EXPECT_TRUE(lab.Rows().empty());
  EXPECT_EQ(g_PrintServerList.GetCount(), 0);

  lab.Messages();
  driver.Next();
  EXPECT_EQ(lab.Page(), 131u) << "the page stays";
  const std::vector<vek::framework::MessageBoxRecord> boxes = driver.MessageBoxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().text, "You must select a print server.");
  EXPECT_EQ(boxes.back().caption, "Error");
  EXPECT_EQ(boxes.back().type & MB_ICONSTOP, MB_ICONSTOP);
  EXPECT_EQ(WizardSettings::m_SelectedRow, -1);
  EXPECT_EQ(vek::framework::CursorId(GetCursor()), 32512u) << "the wait cursor went with the search";

  // Without UDP no discovery thread starts: nothing is sent, and the dialog
  // closes after its fixed wait.
  WizardSettings::m_Transports = 0;
  const std::size_t logged = lab.Emulator().Log().Count();
  driver.Click(IDC_REFRESH);
  ASSERT_NE(lab.WaitForSearchDialog(), nullptr);
  const auto shown = std::chrono::steady_clock::now();
  ASSERT_TRUE(lab.WaitForSearchEnd(10000));
  EXPECT_GE(std::chrono::steady_clock::now() - shown, 2500ms);
  EXPECT_EQ(lab.Emulator().Log().Count(), logged);
  EXPECT_EQ(WizardSettings::m_SearchDone, 1);
}

// A wireless server whose multi-part reply numbers its parts from 0, with typed
// ports and three statuses; a cabled one with plain port numbers, busy and ready;
// one whose reply word sends the wizard to the printer page.
TEST(ServerList, RowsOfEveryPortTheChosenRowAndRefresh) {
  vek::emu::DeviceConfig wireless = vek::test::WizardWirelessServer(1, "Lab wireless");
  wireless.partBase = 0;
  wireless.partSize = 120;
  wireless.firmwareText = "2.10a-wpa2";
  wireless.portStatus = 0 | 1 << 2 | 2 << 4;  // Ok, Paper Out, Offline
  vek::emu::DeviceConfig cable = vek::test::WizardCableServer(2, "Office");
  cable.ports = 2;
  cable.portTypes = {0, 0, 0};
  cable.portDigits = {0, 0, 0};  // no port types: the list numbers the ports
  cable.firmwareMajor = 1;
  cable.firmwareMinor = 0x0B;
  cable.portStatus = 3;  // Busy, Ok
  vek::emu::DeviceConfig direct = vek::test::WizardCableServer(3, "Direct");
  direct.replyFlag = true;
  WizardLab lab({wireless, cable, direct});
  ASSERT_TRUE(lab.Ok()) << lab.Error();
  HeadlessDriver& driver = lab.Driver();

  const std::vector<std::string> rows = lab.Search();
  ASSERT_EQ(rows.size(), 6u) << ::testing::PrintToString(rows);
  ASSERT_EQ(g_PrintServerList.GetCount(), 3);
  EXPECT_EQ(driver.Selection(IDC_SERVER_LIST), 0) << "row 0 is chosen";
  // The list has the focus once it is filled: the arrow keys choose in it.
  auto focus = [&] {
    return reinterpret_cast<HWND>(SendMessageA(driver.ActiveWindow(), vek::framework::VEK_UM_GETFOCUS, 0, 0));
  };
  EXPECT_EQ(focus(), driver.Control(IDC_SERVER_LIST));
  driver.Key(VK_DOWN);
  EXPECT_EQ(driver.Selection(IDC_SERVER_LIST), 1);
  driver.Key(VK_UP);
  EXPECT_EQ(driver.Selection(IDC_SERVER_LIST), 0);
  struct Row {
    std::size_t device;
    int port;
    const char* portText;
    const char* status;
  };
  const std::vector<Row> expected = {{0, 1, "P1", "Ok"},   {0, 2, "U2", "Paper Out"}, {0, 3, "3 ", "Offline"},
                                     {1, 1, "1", "Busy"},  {1, 2, "2", "Ok"},         {2, 1, "P1", "Ok"}};
  for (const Row& r : expected) {
    const int index = lab.RowOf(r.device, r.port);
    ASSERT_GE(index, 0) << "device " << r.device << " port " << r.port;
    const std::vector<std::string> cells = Split(rows[static_cast<std::size_t>(index)]);
    ASSERT_EQ(cells.size(), 6u);
    const vek::emu::DeviceConfig config = lab.Emulator().DeviceAt(r.device).Config();
    EXPECT_EQ(cells[0], config.name);
    EXPECT_EQ(cells[1], lab.Subnet().Dotted(static_cast<int>(r.device) + 1)) << "the configured address";
    EXPECT_EQ(cells[2], vek::emu::FormatMac(config.mac));
    EXPECT_EQ(cells[3], r.portText);
    EXPECT_EQ(cells[4], r.status);
    EXPECT_EQ(cells[5], r.device == 0 ? "2.10a-wpa2" : r.device == 1 ? "1.0b" : "1.00");
  }

  // Every row of a server chooses its one record; only the port differs, the
  // digit after a port's type letter included.
  for (const Row& r : expected) {
    if (r.device == 2) continue;
    ASSERT_EQ(lab.Choose(r.device, r.port), 160u) << r.portText;
    EXPECT_EQ(WizardSettings::m_PortID, r.port) << r.portText;
    ASSERT_NE(WizardSettings::m_pSelectedPS, nullptr);
    EXPECT_EQ(WizardSettings::m_pSelectedPS, FindPrintServer(lab.Emulator().DeviceAt(r.device).Config().mac.data()));
    EXPECT_EQ(WizardSettings::m_Wireless, r.device == 0 ? 1 : 0);
    driver.Back();
    ASSERT_EQ(lab.Page(), 131u);
    EXPECT_EQ(driver.Items(IDC_SERVER_LIST), rows) << "coming back keeps the rows, with no new search";
    EXPECT_EQ(focus(), driver.Control(IDC_SERVER_LIST)) << "and gives the list the focus";
  }
  // The server whose reply word is 0x0184 skips the login and settings pages.
  EXPECT_EQ(lab.Choose(2), 139u);
  driver.Back();
  ASSERT_EQ(lab.Page(), 131u);

  // Refresh empties the list and the chosen server, searches again (the dialog
  // shows what it finds) and selects row 0 again.
  lab.Emulator().DeviceAt(1).SetPortStatus(1, 0);
  driver.Select(IDC_SERVER_LIST, 4);
  CPrintServer* before = WizardSettings::m_pSelectedPS;
  ASSERT_NE(before, nullptr);
  const HWND sheet = lab.Run().sheet().m_hWnd;
  driver.Click(IDC_REFRESH);
  const HWND dialog = lab.WaitForSearchDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WizardSettings::m_SelectedRow, -1);
  EXPECT_EQ(WizardSettings::m_pSelectedPS, nullptr) << "emptying the list lets go of the chosen record";
  EXPECT_TRUE(driver.ControlIn(sheet, IDC_SERVER_LIST) != nullptr);
  EXPECT_EQ(SendMessageA(driver.ControlIn(sheet, IDC_SERVER_LIST), LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_TRUE(HeadlessDriver::WaitFor(
      [&] {
        char text[64] = {};
        GetWindowTextA(GetDlgItem(dialog, IDC_SEARCH_STATUS), text, sizeof(text));
        return std::string(text).rfind("Found ", 0) == 0;
      },
      15000))
      << "the dialog shows each server it finds";
  ASSERT_TRUE(lab.WaitForSearchEnd());
  lab.SettleLong();
  ASSERT_TRUE(lab.WaitForStatuses());
  const std::vector<std::string> again = lab.Rows();
  ASSERT_EQ(again.size(), 6u);
  EXPECT_EQ(driver.Selection(IDC_SERVER_LIST), 0);
  EXPECT_EQ(focus(), driver.Control(IDC_SERVER_LIST));
  EXPECT_EQ(g_PrintServerList.GetCount(), 3) << "the old records are gone, one new record a server";
  EXPECT_EQ(Split(again[static_cast<std::size_t>(lab.RowOf(1, 1))])[4], "Paper Out") << "the status is asked again";
}

// Many servers that ignore the status request: the rows show as soon as the
// search ends and the page takes input at once; every status that comes shows,
// and each that does not shows as unknown, all within the time of one request.
TEST(ServerList, ManyServersIgnoringTheStatusRequestHoldNothingUp) {
  constexpr int kSilent = 60;
  std::vector<vek::emu::DeviceConfig> devices;
  vek::emu::DeviceConfig paperOut = vek::test::WizardCableServer(1, "Paper");
  paperOut.portStatus = 1;
  devices.push_back(paperOut);
  vek::emu::DeviceConfig busy = vek::test::WizardCableServer(2, "Busy");
  busy.portStatus = 3;
  devices.push_back(busy);
  for (int i = 0; i < kSilent; i++)
    devices.push_back(WithFaults(vek::test::WizardCableServer(static_cast<std::uint8_t>(3 + i), "Silent " + std::to_string(i)),
                                 "status:drop"));
  WizardLab lab(devices);
  ASSERT_TRUE(lab.Ok()) << lab.Error();
  HeadlessDriver& driver = lab.Driver();
  driver.Next();
  ASSERT_NE(lab.WaitForSearchDialog(), nullptr);
  ASSERT_TRUE(lab.WaitForSearchEnd());
  lab.SettleLong();
  ASSERT_EQ(lab.Rows().size(), devices.size()) << "every server is listed while the statuses are asked for";
  driver.Select(IDC_SERVER_LIST, 40);
  EXPECT_EQ(driver.Selection(IDC_SERVER_LIST), 40) << "the page takes input";

  ASSERT_TRUE(lab.WaitForStatuses());
  const std::vector<std::string> rows = lab.Rows();
  for (std::size_t device = 0; device < devices.size(); device++) {
    const int row = lab.RowOf(device);
    ASSERT_GE(row, 0) << "device " << device;
    const std::string status = Split(rows[static_cast<std::size_t>(row)])[4];
    EXPECT_EQ(status, device == 0 ? "Paper Out" : device == 1 ? "Busy" : "Unknown") << "device " << device;
  }
  std::size_t asked = 0;
  for (const vek::emu::LoggedRequest& request : lab.Emulator().Log().Snapshot())
    if (request.device == 2 && request.kind == "status") asked++;
  EXPECT_EQ(asked, 1u) << "one request a server";
}

// A stranger floods the search with parts that open replies and never go on,
// more than the search has slots for: the multi-part reply of the real server
// still joins, and the server is listed.
TEST(ServerList, AFloodOfOpeningPartsKeepsNoServerOut) {
  WizardLab lab({WithFaults(vek::test::WizardWirelessServer(1, "Lab wireless"), "search-multi:flood:80")});
  ASSERT_TRUE(lab.Ok()) << lab.Error();
  const std::vector<std::string> rows = lab.Search();
  EXPECT_EQ(rows.size(), 3u) << ::testing::PrintToString(rows);
  EXPECT_GE(lab.RowOf(0), 0);
  EXPECT_EQ(g_PrintServerList.GetCount(), 1) << "no stranger is listed";
}

}  // namespace
