// The wizard's whole road against the emulator, headless, as a user goes it: the
// search, the choice, the login, the settings changed and saved (the device
// restarting at its new address), a printer added with the Add Printer wizard or
// chosen, the port handed over through the monitor, the printer bound and made
// the default; then a file printed to that printer reaches the print server whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel/errors.h"
#include "registry/registry.h"
#include "spooler/profile.h"
#include "spooler/spooler.h"
#include "spooler/winspool.h"
#include "support/emulator_lab.h"
#include "support/job_data.h"
#include "support/spooler_print.h"
#include "support/temp_root.h"
#include "support/wizard_lab.h"
#include "support/wizard_road.h"
#include "wizard/port_handover.h"

namespace vek::test {
namespace {

class WholeRoad : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({DRIVER_PATH}, &error)) << error;
    ASSERT_EQ(ERROR_SUCCESS, spooler::PlaceAddPrinterProgram(ADD_PRINTER_PATH));
    // The first printer of the machine, which the spooler makes the default one.
    ASSERT_TRUE(AddLocalPrinter("Office Copier"));
  }
  void TearDown() override { spooler::Shutdown(); }

  // Drives the wizard; the steps it went are kept for the failure's message.
  bool Drive(WizardLab& lab, const RoadPlan& plan) {
    WizardRoad road(lab.Run(), [this](const RoadStep& step) { m_steps += step.page + ": " + step.outcome + "\n"; });
    bool reached = road.Drive(plan);
    if (!reached) m_steps += "stopped: " + road.Error() + "\n";
    return reached;
  }

  // The port the wizard made, with the address it points at.
  static std::string PortAddress(const std::string& port) {
    HKEY key = nullptr;
    std::string path = std::string(kMonitorsKey) + "\\" + kVekMonitorKeyName + "\\Ports\\" + port;
    BYTE address[4] = {};
    DWORD size = sizeof address;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
    RegQueryValueExA(key, "IPAddress", nullptr, nullptr, address, &size);
    RegCloseKey(key);
    return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." + std::to_string(address[2]) + "." +
           std::to_string(address[3]);
  }

  static std::string DefaultPrinter() {
    char device[256] = {};
    GetProfileStringA("windows", "device", "", device, sizeof device);
    std::string text = device;
    return text.substr(0, text.find(','));
  }

  // After the wizard: the port points at the server's address, the printer is
  // on it and the default one, and a file printed to it arrives whole.
  void ExpectPrinterOnServer(WizardLab& lab, const std::string& printer, const std::string& address) {
    const std::string port = WizardSettings::m_PortName;
    ASSERT_FALSE(port.empty()) << m_steps;
    EXPECT_EQ(PortAddress(port), address) << m_steps;
    EXPECT_EQ(DefaultPrinter(), printer) << m_steps;
    const std::string data = Pattern(200000, 7);
    ASSERT_TRUE(PrintThroughSpooler(printer, data)) << m_steps;
    ExpectJobReceived(lab.Emulator(), 0, 1, data);
  }

  static std::string Dotted(std::uint32_t hostOrder) {
    return std::to_string(hostOrder >> 24) + "." + std::to_string((hostOrder >> 16) & 0xFF) + "." +
           std::to_string((hostOrder >> 8) & 0xFF) + "." + std::to_string(hostOrder & 0xFF);
  }

  TempRoot m_root;
  std::string m_steps;
};

TEST_F(WholeRoad, ACableServerGetsAStaticAddressAndANewPrinter) {
  WizardLab lab({WizardCableServer(1, "Office")});
  ASSERT_TRUE(lab.Ok()) << lab.Error();
  RoadPlan plan;
  plan.password = "admin";
  plan.address = lab.Subnet().Dotted(30);
  plan.subnetMask = "255.255.255.0";
  plan.gateway = lab.Subnet().Dotted(254);
  plan.addPrinter = "Road Printer";
  ASSERT_TRUE(Drive(lab, plan)) << m_steps;
  emu::Device& device = lab.Emulator().DeviceAt(0);
  EXPECT_EQ(device.Counters().restarts, 1) << m_steps;
  EXPECT_EQ(Dotted(device.ListenAddress()), plan.address) << m_steps;
  ExpectPrinterOnServer(lab, "Road Printer", plan.address);
}

TEST_F(WholeRoad, AWirelessServerIsSetUpThroughTheSecuredExchange) {
  WizardLab lab({WizardWirelessServer(1, "Lab")});
  ASSERT_TRUE(lab.Ok()) << lab.Error();
  RoadPlan plan;
  plan.password = "secret";
  plan.ssid = "road net";
  plan.address = lab.Subnet().Dotted(40);
  plan.subnetMask = "255.255.255.0";
  plan.gateway = lab.Subnet().Dotted(254);
  plan.printer = "Office Copier";
  ASSERT_TRUE(Drive(lab, plan)) << m_steps;
  emu::Device& device = lab.Emulator().DeviceAt(0);
  EXPECT_EQ(device.Counters().lastPath, emu::UploadPath::Secured) << m_steps;
  EXPECT_EQ(device.Config().wireless.ssid, "road net") << m_steps;
  EXPECT_EQ(Dotted(device.ListenAddress()), plan.address) << m_steps;
  ExpectPrinterOnServer(lab, "Office Copier", plan.address);
}

TEST_F(WholeRoad, AnOldGenerationServerGoesStraightToThePrinter) {
  // Its search reply says it takes no settings from the wizard.
  emu::DeviceConfig old = WizardCableServer(1, "Old Timer");
  old.replyFlag = true;
  WizardLab lab({old});
  ASSERT_TRUE(lab.Ok()) << lab.Error();
  RoadPlan plan;
  plan.addPrinter = "Old Printer";
  ASSERT_TRUE(Drive(lab, plan)) << m_steps;
  EXPECT_EQ(m_steps.find("Administrator Login"), std::string::npos) << m_steps;
  EXPECT_EQ(lab.Emulator().DeviceAt(0).Counters().configurations, 0) << m_steps;
  ExpectPrinterOnServer(lab, "Old Printer", Dotted(lab.Emulator().DeviceAt(0).ListenAddress()));
}

}  // namespace
}  // namespace vek::test
