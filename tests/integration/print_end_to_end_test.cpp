// A file printed as a user prints it: through the spooler, which loads the port
// monitor, to print servers the emulator plays on loopback. What the emulator
// wrote must be the file, byte for byte, on every transport and generation and
// under seeded loss, duplication and reordering.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>

#include "emulator/emulator.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "registry/registry.h"
#include "spooler/spooler.h"
#include "spooler/winspool.h"
#include "support/emulator_lab.h"
#include "support/job_data.h"
#include "support/temp_root.h"

namespace vek::test {
namespace {

const std::string kMonitorKey =
    "System\\CurrentControlSet\\Control\\Print\\Monitors\\TARVEX VEK Network Printer Port";
const std::u16string kMonitorName = u"TARVEX VEK Network Printer Port";

// Registry codes of the port's transport.
constexpr DWORD kIpx = 0;
constexpr DWORD kNetbeui = 1;
constexpr DWORD kUdp = 2;

emu::DeviceConfig Device(int index, int generation, PortTransport via, const std::string& faults = "") {
  return PrintDevice("PS-E2E-", 0x33, index, generation, via, faults);
}

class PrintEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_segments.Ok());
    std::string error;
    ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({DRIVER_PATH}, &error)) << error;
    spooler::SetRetryPolicy({200, 3});
  }
  void TearDown() override {
    spooler::Shutdown();
    m_emulator.Stop();
  }

  void Start(std::vector<emu::DeviceConfig> devices) {
    emu::EmulatorOptions options;
    options.devices = std::move(devices);
    options.spoolDir = m_root.path() + "/received";
    std::string message;
    ASSERT_TRUE(StartEmulatorOnFreshSubnet(m_emulator, options, &m_subnet, &message)) << message;
  }

  // The port as the wizard hands it over: a TempPort record and AddPort.
  void HandOverPort(const std::string& name, int device, DWORD packetType, DWORD model) {
    const emu::DeviceConfig& config = m_emulator.DeviceAt(static_cast<std::size_t>(device)).Config();
    HKEY key = nullptr;
    std::string path = kMonitorKey + "\\TempPort\\" + name;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    const BYTE network[4] = {};  // the local IPX network
    const std::uint32_t host = config.address;
    const BYTE ip[4] = {static_cast<BYTE>(host >> 24), static_cast<BYTE>(host >> 16), static_cast<BYTE>(host >> 8),
                        static_cast<BYTE>(host)};
    // On NetBEUI the port sends to the device's unique name.
    BYTE psName[18] = {};
    if (packetType == kNetbeui) {
      const std::string netbiosName = emu::NetbiosNameOf(config);
      std::memcpy(psName, netbiosName.data(), std::min<std::size_t>(netbiosName.size(), sizeof psName));
    }
    const DWORD retry = 30, portId = 1;
    RegSetValueExA(key, "Network", 0, REG_BINARY, network, 4);
    RegSetValueExA(key, "Node", 0, REG_BINARY, config.mac.data(), 6);
    RegSetValueExA(key, "IPAddress", 0, REG_BINARY, ip, 4);
    RegSetValueExA(key, "RetryTimeout", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&retry), 4);
    RegSetValueExA(key, "PortID", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&portId), 4);
    RegSetValueExA(key, "PacketType", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&packetType), 4);
    RegSetValueExA(key, "PSName", 0, REG_BINARY, psName, 18);
    RegSetValueExA(key, "Model", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&model), 4);
    RegCloseKey(key);
    ASSERT_TRUE(AddPortW(nullptr, nullptr, kMonitorName.c_str())) << GetLastError();
    HKEY monitor = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMonitorKey.c_str(), 0, KEY_ALL_ACCESS, &monitor);
    RegDeleteKeyA(monitor, ("TempPort\\" + name).c_str());
    RegDeleteKeyA(monitor, "TempPort");
    RegCloseKey(monitor);

    std::u16string printer = ToWide(name), port = ToWide(name);
    PRINTER_INFO_2W info{};
    info.pPrinterName = printer.data();
    info.pPortName = port.data();
    HANDLE handle = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(nullptr, handle) << GetLastError();
    ClosePrinter(handle);
  }

  // Prints the data and waits for the job's end in the spooler.
  spooler::JobRecord Print(const std::string& printerName, const std::string& data) {
    HANDLE printer = nullptr;
    std::u16string name = ToWide(printerName);
    EXPECT_TRUE(OpenPrinterW(name.c_str(), &printer, nullptr));
    std::u16string document = u"end to end";
    DOC_INFO_1W info{document.data(), nullptr, nullptr};
    DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
    EXPECT_NE(0u, job);
    for (std::size_t offset = 0; offset < data.size();) {
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(256 * 1024, data.size() - offset));
      DWORD written = 0;
      EXPECT_TRUE(WritePrinter(printer, const_cast<char*>(data.data() + offset), chunk, &written));
      offset += written;
    }
    EXPECT_TRUE(EndDocPrinter(printer));
    ClosePrinter(printer);
    spooler::JobRecord last;
    EXPECT_TRUE(spooler::WaitForJob(job, 180000, [&](const spooler::JobRecord& record) { last = record; }));
    return last;
  }

  TempRoot m_root;
  ScopedSegments m_segments;
  LoopbackSubnet m_subnet;
  emu::Emulator m_emulator;
};

// Every size that matters at a packet's edge, on both generations and both
// transports, through a network that loses, doubles and reorders.
TEST_F(PrintEndToEnd, JobsArriveByteIdenticalUnderLoss) {
  const std::string lossy = "data:drop:10%, data:duplicate:5%, data:reorder:5%, ack:drop:5%";
  Start({Device(1, 1, PortTransport::Udp, lossy), Device(2, 0, PortTransport::Udp, lossy), Device(3, 1, PortTransport::Ipx, lossy),
         Device(4, 0, PortTransport::Ipx, lossy)});
  HandOverPort("E2E-UDP-1", 0, kUdp, 1);
  HandOverPort("E2E-UDP-0", 1, kUdp, 0);
  HandOverPort("E2E-IPX-1", 2, kIpx, 1);
  HandOverPort("E2E-IPX-0", 3, kIpx, 0);
  const std::size_t sizes[] = {0, 1, 1449, 1450, 5 * 1000 * 1000};
  const char* printers[] = {"E2E-UDP-1", "E2E-UDP-0", "E2E-IPX-1", "E2E-IPX-0"};
  for (int device = 0; device < 4; ++device) {
    int number = 0;
    for (std::size_t size : sizes) {
      // The big job once per transport and generation is enough to show the window at work.
      if (size > 100000 && device % 2 == 1 && device != 1) continue;
      std::string data = Pattern(size, static_cast<unsigned>(device * 7 + number));
      spooler::JobRecord job = Print(printers[device], data);
      EXPECT_EQ(spooler::JobState::Printed, job.state) << printers[device] << " " << size;
      EXPECT_EQ(job.written, data.size());
      ExpectJobReceived(m_emulator, device, ++number, data);
    }
  }
}

// Over NetBEUI, both generations (the older with its NetBEUI magics), packets of
// the 1000 bytes a NetBIOS datagram carries, on a lossy segment.
TEST_F(PrintEndToEnd, JobsOverNetbeuiArriveByteIdenticalUnderLoss) {
  // The monitor finds its LANAs and resets them before the devices take their
  // names there: the emulator shares this process's NetBIOS station.
  DWORD needed = 0, returned = 0;
  EnumPortsW(nullptr, 1, nullptr, 0, &needed, &returned);
  const std::string lossy = "data:drop:10%, data:duplicate:5%, data:reorder:5%, ack:drop:5%";
  Start({Device(5, 1, PortTransport::Netbeui, lossy), Device(6, 0, PortTransport::Netbeui, lossy)});
  HandOverPort("E2E-NB-1", 0, kNetbeui, 1);
  HandOverPort("E2E-NB-0", 1, kNetbeui, 0);
  const char* printers[] = {"E2E-NB-1", "E2E-NB-0"};
  const std::size_t sizes[] = {0, 999, 1000, 1001, 1000 * 1000};
  for (int device = 0; device < 2; ++device) {
    int number = 0;
    for (std::size_t size : sizes) {
      std::string data = Pattern(size, static_cast<unsigned>(device * 11 + number));
      spooler::JobRecord job = Print(printers[device], data);
      EXPECT_EQ(spooler::JobState::Printed, job.state) << printers[device] << " " << size;
      EXPECT_EQ(job.written, data.size());
      ExpectJobReceived(m_emulator, device, ++number, data);
    }
  }
}

// The spooler stopping in the middle of a job cancels it and unloads the monitor;
// loaded again, the monitor prints the next job whole.
TEST_F(PrintEndToEnd, UnloadingTheMonitorDuringAJobEndsItCleanly) {
  Start({Device(1, 0, PortTransport::Udp, "data:drop:5%"), Device(2, 1, PortTransport::Udp)});
  HandOverPort("UNLOAD-0", 0, kUdp, 0);
  HandOverPort("UNLOAD-1", 1, kUdp, 1);
  HANDLE printer = nullptr;
  ASSERT_TRUE(OpenPrinterW(u"UNLOAD-0", &printer, nullptr));
  std::u16string document = u"cut short";
  DOC_INFO_1W info{document.data(), nullptr, nullptr};
  const DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
  ASSERT_NE(0u, job);
  const std::string data = Pattern(20 * 1000 * 1000, 8);
  DWORD written = 0;
  ASSERT_TRUE(WritePrinter(printer, const_cast<char*>(data.data()), static_cast<DWORD>(data.size()), &written));
  ASSERT_TRUE(EndDocPrinter(printer));
  ClosePrinter(printer);
  spooler::JobRecord now;
  for (int i = 0; i < 2000 && !(spooler::ReadJob(job, &now) && now.written > 100000); i++)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_GT(now.written, 100000u);
  const auto start = std::chrono::steady_clock::now();
  spooler::Shutdown();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  spooler::JobRecord end;
  ASSERT_TRUE(spooler::ReadJob(job, &end));
  EXPECT_TRUE(spooler::IsFinal(end.state));
  EXPECT_NE(spooler::JobState::Printed, end.state);

  const std::string next = Pattern(100000, 9);
  EXPECT_EQ(spooler::JobState::Printed, Print("UNLOAD-1", next).state);
  ExpectJobReceived(m_emulator, 1, 1, next);
}

// A device busy twice is tried again until it takes the job; one that refuses or
// never answers ends the job with a device error.
TEST_F(PrintEndToEnd, BusyRefusedAndSilentDevices) {
  Start({Device(1, 1, PortTransport::Udp, "connect:busy*2"), Device(2, 1, PortTransport::Udp, "connect:refuse"),
         Device(3, 1, PortTransport::Udp, "connect:drop, status:drop")});
  HandOverPort("BUSY", 0, kUdp, 1);
  HandOverPort("REFUSES", 1, kUdp, 1);
  HandOverPort("SILENT", 2, kUdp, 1);
  std::string data = Pattern(20000, 5);
  EXPECT_EQ(spooler::JobState::Printed, Print("BUSY", data).state);
  ExpectJobReceived(m_emulator, 0, 1, data);

  spooler::JobRecord refused = Print("REFUSES", data);
  EXPECT_NE(spooler::JobState::Printed, refused.state);
  EXPECT_EQ(refused.error, ERROR_IO_DEVICE);
  spooler::JobRecord silent = Print("SILENT", data);
  EXPECT_NE(spooler::JobState::Printed, silent.state);
  EXPECT_EQ(silent.error, ERROR_IO_DEVICE);
}

}  // namespace
}  // namespace vek::test
