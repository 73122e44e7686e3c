// Printing through the spooler, which loads the monitor library as it would on
// a machine: ports handed over as the wizard does, jobs to devices on loopback
// over UDP and IPX, cancelled jobs, failing devices, the library unloaded during
// a job, and the vek-spool command line, also over NetBEUI.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "emulated_printer.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "net/ipx_segment.h"
#include "net/netbios_segment.h"
#include "registry/registry.h"
#include "spooler/ports.h"
#include "spooler/spooler.h"
#include "spooler/winspool.h"
#include "support/job_data.h"
#include "support/loopback_subnet.h"
#include "support/temp_root.h"

namespace vek::test {
namespace {

const std::string kMonitorKey =
    "System\\CurrentControlSet\\Control\\Print\\Monitors\\TARVEX VEK Network Printer Port";
const std::u16string kMonitorName = u"TARVEX VEK Network Printer Port";

// Port 1 out of paper: the device grants the first window, then takes nothing.
emu::DeviceConfig PaperOutPrinter() {
  emu::DeviceConfig device = MonitorPrinter(1, PortTransport::Udp);
  device.portStatus = 0x01;
  return device;
}

struct Device {
  EmulatedPrinter server;
  std::uint32_t host = 0;
  BYTE node[6] = {};
};

class SpoolerPrint : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string segment = "127.255.255.255:" + std::to_string(RandomSegmentPort());
    ASSERT_TRUE(net::SetIpxSegment(segment.c_str()));
    ASSERT_TRUE(net::SetIpxNetwork("00004321"));
    m_netbiosSegment = "127.255.255.255:" + std::to_string(RandomSegmentPort());
    ASSERT_TRUE(net::SetNetbiosSegment(m_netbiosSegment.c_str()));
    ASSERT_TRUE(net::SetNetbiosLanas("0"));
    net::SetNetbiosClaimPeriod(30);
    std::string error;
    ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({DRIVER_PATH}, &error)) << error;
    spooler::SetRetryPolicy({100, 3});
  }
  void TearDown() override {
    spooler::Shutdown();
    for (auto& device : m_devices) device->server.Stop();
    net::ResetIpxConfiguration();
    net::ResetNetbiosConfiguration();
  }

  // Device i of the test's subnet.
  // On IPX the device is on this station's network.
  Device& StartDevice(emu::DeviceConfig config) {
    auto device = std::make_unique<Device>();
    int index = static_cast<int>(m_devices.size()) + 1;
    device->host = m_subnet.Host(index);
    const BYTE node[6] = {0x02, 0x4E, 0x57, 0x12, 0xAB, static_cast<BYTE>(index)};
    std::memcpy(device->node, node, 6);
    config.address = device->host;
    config.strayAddress = m_subnet.Host(200);
    std::copy(std::begin(node), std::end(node), config.mac.begin());
    std::string error;
    EXPECT_TRUE(device->server.Start(config, &error)) << error;
    m_devices.push_back(std::move(device));
    return *m_devices.back();
  }

  // The wizard's hand-over: a TempPort record, then AddPort for the monitor.
  void HandOverPort(const std::string& name, const Device& device, DWORD packetType, DWORD model) {
    HKEY key = nullptr;
    std::string path = kMonitorKey + "\\TempPort\\" + name;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    const BYTE network[4] = {};
    const BYTE ip[4] = {static_cast<BYTE>(device.host >> 24), static_cast<BYTE>(device.host >> 16),
                        static_cast<BYTE>(device.host >> 8), static_cast<BYTE>(device.host)};
    const BYTE psName[18] = {};
    const DWORD retry = 30, portId = 1;
    RegSetValueExA(key, "Network", 0, REG_BINARY, network, 4);
    RegSetValueExA(key, "Node", 0, REG_BINARY, device.node, 6);
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
  }

  void AddPrinter(const std::string& name, const std::string& port) {
    std::u16string wideName = ToWide(name), widePort = ToWide(port);
    PRINTER_INFO_2W info{};
    info.pPrinterName = wideName.data();
    info.pPortName = widePort.data();
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(nullptr, printer) << GetLastError();
    ClosePrinter(printer);
  }

  DWORD Print(const std::string& printerName, const std::string& data) {
    HANDLE printer = nullptr;
    std::u16string name = ToWide(printerName);
    EXPECT_TRUE(OpenPrinterW(name.c_str(), &printer, nullptr));
    std::u16string document = u"doc";
    DOC_INFO_1W info{document.data(), nullptr, nullptr};
    DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
    EXPECT_NE(0u, job);
    for (std::size_t offset = 0; offset < data.size();) {
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(1 << 20, data.size() - offset));
      DWORD written = 0;
      EXPECT_TRUE(WritePrinter(printer, const_cast<char*>(data.data() + offset), chunk, &written));
      offset += written;
    }
    EXPECT_TRUE(EndDocPrinter(printer));
    ClosePrinter(printer);
    return job;
  }

  spooler::JobRecord WaitEnd(DWORD job, std::vector<spooler::JobRecord>* seen = nullptr, DWORD ms = 120000) {
    spooler::JobRecord last;
    EXPECT_TRUE(spooler::WaitForJob(job, ms, [&](const spooler::JobRecord& record) {
      last = record;
      if (seen) seen->push_back(record);
    }));
    return last;
  }

  TempRoot m_root;
  LoopbackSubnet m_subnet;
  std::string m_netbiosSegment;
  std::vector<std::unique_ptr<Device>> m_devices;
};

TEST_F(SpoolerPrint, FilesPrintOverUdpAndIpx) {
  Device& first = StartDevice(MonitorPrinter(1, PortTransport::Udp));
  Device& second = StartDevice(MonitorPrinter(0, PortTransport::Ipx));
  HandOverPort("VEK12AB01-1", first, 2, 1);
  HandOverPort("VEK12AB02-1", second, 0, 0);
  AddPrinter("Udp", "VEK12AB01-1");
  AddPrinter("Ipx", "VEK12AB02-1");
  std::string a = Pattern(3 * 1000 * 1000 + 17, 1), b = Pattern(777777, 2);
  EXPECT_EQ(spooler::JobState::Printed, WaitEnd(Print("Udp", a)).state);
  EXPECT_EQ(spooler::JobState::Printed, WaitEnd(Print("Ipx", b)).state);
  ASSERT_TRUE(first.server.WaitForJobs(1, 5000));
  ASSERT_TRUE(second.server.WaitForJobs(1, 5000));
  EXPECT_EQ(Sha256(a), Sha256(first.server.JobBytes().at(0)));
  EXPECT_EQ(Sha256(b), Sha256(second.server.JobBytes().at(0)));
}

TEST_F(SpoolerPrint, TwoPrintersPrintAtOnce) {
  emu::DeviceConfig config = MonitorPrinter(1, PortTransport::Udp);
  config.window = 4;
  Device& first = StartDevice(config);
  Device& second = StartDevice(config);
  HandOverPort("A", first, 2, 1);
  HandOverPort("B", second, 2, 1);
  AddPrinter("PA", "A");
  AddPrinter("PB", "B");
  std::string a = Pattern(2000000, 3), b = Pattern(1500000, 4);
  DWORD jobA = Print("PA", a);
  DWORD jobB = Print("PB", b);
  EXPECT_EQ(spooler::JobState::Printed, WaitEnd(jobA).state);
  EXPECT_EQ(spooler::JobState::Printed, WaitEnd(jobB).state);
  ASSERT_TRUE(first.server.WaitForJobs(1, 5000));
  ASSERT_TRUE(second.server.WaitForJobs(1, 5000));
  EXPECT_EQ(Sha256(a), Sha256(first.server.JobBytes().at(0)));
  EXPECT_EQ(Sha256(b), Sha256(second.server.JobBytes().at(0)));
}

TEST_F(SpoolerPrint, AJobCancelledMidwayEnds) {
  // One packet at a time, and a lossy line: a slow job.
  Device& device = StartDevice(MonitorPrinter(0, PortTransport::Udp, "data:drop:10%, ack:drop:10%"));
  HandOverPort("A", device, 2, 0);
  AddPrinter("PA", "A");
  DWORD job = Print("PA", Pattern(30 * 1000 * 1000, 5));
  std::atomic<bool> cancelled{false};
  std::thread canceller([&] {
    while (!cancelled) {
      spooler::JobRecord now;
      if (spooler::ReadJob(job, &now) && now.written > 100000) {
        spooler::CancelJob(job);
        cancelled = true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  spooler::JobRecord end = WaitEnd(job, nullptr, 60000);
  cancelled = true;
  canceller.join();
  EXPECT_EQ(spooler::JobState::Cancelled, end.state);
  EXPECT_LT(end.written, end.total);
}

TEST_F(SpoolerPrint, ABusyDeviceAndADeletedJobCancelTheStart) {
  spooler::SetRetryPolicy({100, 0});  // busy until someone acts
  Device& device = StartDevice(MonitorPrinter(1, PortTransport::Udp, "connect:busy"));
  HandOverPort("A", device, 2, 1);
  AddPrinter("PA", "A");
  DWORD job = Print("PA", Pattern(1000, 6));
  ASSERT_TRUE([&] {
    for (int i = 0; i < 1000 && device.server.Connects() == 0; i++)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return device.server.Connects() > 0;
  }());
  spooler::CancelJob(job);
  spooler::JobRecord end = WaitEnd(job, nullptr, 30000);
  EXPECT_EQ(spooler::JobState::Cancelled, end.state);
  EXPECT_TRUE(device.server.Jobs().empty());
}

// Out of paper is retried, without a limit until someone acts: the job shows it,
// and cancelling it ends it.
TEST_F(SpoolerPrint, PaperOutShowsAsTheJobsStateUntilTheJobIsCancelled) {
  spooler::SetRetryPolicy({100, 0});
  Device& device = StartDevice(PaperOutPrinter());
  HandOverPort("A", device, 2, 1);
  AddPrinter("PA", "A");
  DWORD job = Print("PA", Pattern(500000, 7));
  spooler::JobRecord now;
  bool shown = false;
  for (int i = 0; i < 6000 && !shown; i++) {
    shown = spooler::ReadJob(job, &now) && now.state == spooler::JobState::Retrying && now.error == ERROR_OUT_OF_PAPER;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(shown);
  EXPECT_EQ("Out of paper", spooler::DescribeJob(now));
  spooler::CancelJob(job);
  spooler::JobRecord end = WaitEnd(job, nullptr, 30000);
  EXPECT_EQ(spooler::JobState::Cancelled, end.state);
}

// Once its tries run out the job is cancelled before its document ends, so the
// end does not wait for the paper: the job fails with out of paper at once.
TEST_F(SpoolerPrint, APaperOutJobThatRanOutOfTriesEndsPromptly) {
  spooler::SetRetryPolicy({100, 2});
  Device& device = StartDevice(PaperOutPrinter());
  HandOverPort("A", device, 2, 1);
  AddPrinter("PA", "A");
  DWORD job = Print("PA", Pattern(500000, 7));
  using Clock = std::chrono::steady_clock;
  Clock::time_point lastTry{}, ended{};
  spooler::JobRecord end;
  ASSERT_TRUE(spooler::WaitForJob(job, 120000, [&](const spooler::JobRecord& record) {
    if (record.state == spooler::JobState::Retrying && record.tries == 2 && lastTry == Clock::time_point{})
      lastTry = Clock::now();
    if (spooler::IsFinal(record.state)) ended = Clock::now();
    end = record;
  }));
  EXPECT_EQ(spooler::JobState::Failed, end.state);
  EXPECT_EQ(ERROR_OUT_OF_PAPER, end.error);
  ASSERT_NE(Clock::time_point{}, lastTry);
  EXPECT_LT(ended - lastTry, std::chrono::seconds(15));
  // The document ended with the end-of-job message.
  EXPECT_TRUE(device.server.WaitForJobs(1, 5000));
}

// Devices that do not take a job: while the monitor asks a busy device again, or
// waits for one out of paper or one that says nothing to take the last bytes,
// the job shows the device's state with its tries, and fails with it once the
// tries run out, rather than wait for ever. Paper out is named only for the
// device that reported it.
TEST_F(SpoolerPrint, AJobTheDeviceDoesNotTakeShowsWhyAndGivesUp) {
  spooler::SetRetryPolicy({100, 2});
  Device& first = StartDevice(MonitorPrinter(1, PortTransport::Udp, "connect:busy"));
  Device& second = StartDevice(PaperOutPrinter());
  // An older device that takes the job and acknowledges none of it.
  Device& third = StartDevice(MonitorPrinter(0, PortTransport::Udp, "ack:withhold"));
  HandOverPort("A", first, 2, 1);
  HandOverPort("B", second, 2, 1);
  HandOverPort("C", third, 2, 0);
  AddPrinter("PA", "A");
  AddPrinter("PB", "B");
  AddPrinter("PC", "C");
  struct Case {
    const char* printer;
    const char* port;
    DWORD error;
    const char* shown;
    DWORD job = 0;
  };
  Case cases[] = {{"PA", "A", ERROR_BUSY, "Busy"},
                  {"PB", "B", ERROR_OUT_OF_PAPER, "Out of paper"},
                  {"PC", "C", ERROR_OUT_OF_PAPER, "Not taking data"}};
  // Small jobs: the port takes all of each at once, so only its end waits.
  for (Case& c : cases) c.job = Print(c.printer, Pattern(5000, 13));
  for (const Case& c : cases) {
    std::vector<spooler::JobRecord> seen;
    spooler::JobRecord end = WaitEnd(c.job, &seen, 60000);
    DWORD tries = 0;
    for (const auto& r : seen) {
      if (r.state != spooler::JobState::Retrying) continue;
      EXPECT_EQ(c.error, r.error) << c.printer;
      EXPECT_EQ(0u, spooler::DescribeJob(r).rfind(c.shown, 0)) << c.printer;
      EXPECT_TRUE(r.tries == tries || r.tries == tries + 1) << c.printer << " try " << r.tries << " after " << tries;
      tries = r.tries;
    }
    EXPECT_EQ(2u, tries) << c.printer;
    EXPECT_EQ(spooler::JobState::Failed, end.state) << c.printer;
    EXPECT_EQ(c.error, end.error) << c.printer;
    EXPECT_EQ("Failed: " + std::string(c.shown), spooler::DescribeJob(end)) << c.printer;
    EXPECT_EQ("", spooler::DescribePortStatus(spooler::ReadPortStatus(c.port))) << c.printer;
  }
  EXPECT_TRUE(first.server.Jobs().empty());
  // The paper-out job was still ended with the end-of-job message.
  EXPECT_TRUE(second.server.WaitForJobs(1, 5000));
}

TEST_F(SpoolerPrint, AnOfflineDeviceFailsTheJobWithADeviceError) {
  emu::DeviceConfig offline = MonitorPrinter(1, PortTransport::Udp);
  offline.portStatus = 0x02;  // the first window's grant, then nothing taken
  Device& device = StartDevice(offline);
  HandOverPort("A", device, 2, 1);
  AddPrinter("PA", "A");
  std::vector<spooler::JobRecord> seen;
  spooler::JobRecord end = WaitEnd(Print("PA", Pattern(500000, 7)), &seen, 120000);
  bool shown = false;
  for (const auto& r : seen) shown |= r.state == spooler::JobState::Retrying && r.error == ERROR_IO_DEVICE;
  EXPECT_TRUE(shown);
  EXPECT_EQ(spooler::JobState::Failed, end.state);
  EXPECT_EQ(ERROR_IO_DEVICE, end.error);
  EXPECT_EQ("Device error", spooler::DescribeError(ERROR_IO_DEVICE));
}

TEST_F(SpoolerPrint, ASilentDeviceFailsTheJobWithADeviceError) {
  Device& device = StartDevice(MonitorPrinter(1, PortTransport::Udp, "connect:drop"));
  HandOverPort("A", device, 2, 1);
  AddPrinter("PA", "A");
  spooler::JobRecord end = WaitEnd(Print("PA", Pattern(10, 8)), nullptr, 60000);
  EXPECT_EQ(spooler::JobState::Failed, end.state);
  EXPECT_EQ(ERROR_IO_DEVICE, end.error);
  EXPECT_EQ(10, device.server.Connects());
}

TEST_F(SpoolerPrint, UnloadingTheLibraryDuringAJobEndsItCleanly) {
  Device& device = StartDevice(MonitorPrinter(0, PortTransport::Udp, "data:drop:10%, ack:drop:10%"));
  HandOverPort("A", device, 2, 0);
  AddPrinter("PA", "A");
  DWORD job = Print("PA", Pattern(30 * 1000 * 1000, 9));
  for (int i = 0; i < 2000; i++) {
    spooler::JobRecord now;
    if (spooler::ReadJob(job, &now) && now.written > 50000) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  auto start = std::chrono::steady_clock::now();
  spooler::Shutdown();  // cancels the job, then shuts the monitor down and unloads it
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  spooler::JobRecord end;
  ASSERT_TRUE(spooler::ReadJob(job, &end));
  EXPECT_TRUE(spooler::IsFinal(end.state));
  // The spooler loads it again for the next job.
  std::string next = Pattern(5000, 10);
  Device& other = StartDevice(MonitorPrinter(1, PortTransport::Udp));
  HandOverPort("B", other, 2, 1);
  AddPrinter("PB", "B");
  EXPECT_EQ(spooler::JobState::Printed, WaitEnd(Print("PB", next)).state);
  ASSERT_TRUE(other.server.WaitForJobs(1, 5000));
  EXPECT_EQ(std::vector<std::string>{next}, other.server.JobBytes());
}

// vek-spool, each command a process of its own on the test's machine root.
// environment: "NAME=value " assignments for the run.
int RunTool(const std::string& root, const std::string& arguments, std::string* output,
            const std::string& environment = "") {
  std::string command = environment + "VEK_ROOT='" + root + "' '" + VEK_SPOOL_PATH + "' " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char buffer[512];
  output->clear();
  while (std::fgets(buffer, sizeof buffer, pipe)) *output += buffer;
  int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SpoolerPrint, TheCommandLinePrintsAFileEndToEnd) {
  spooler::Shutdown();
  Device& device = StartDevice(MonitorPrinter(1, PortTransport::Udp));
  std::string out;
  ASSERT_EQ(0, RunTool(m_root.path(), std::string("init --monitor '") + DRIVER_PATH + "'", &out)) << out;
  std::string address = m_subnet.Dotted(1);
  ASSERT_EQ(0, RunTool(m_root.path(), "add-port " + address + " --mac 02:4E:57:12:AB:01", &out)) << out;
  EXPECT_NE(std::string::npos, out.find("VEK12AB01-1")) << out;
  ASSERT_EQ(0, RunTool(m_root.path(), "add-printer Net VEK12AB01-1", &out)) << out;
  ASSERT_EQ(0, RunTool(m_root.path(), "ports", &out)) << out;
  EXPECT_NE(std::string::npos, out.find(address + ",PID:1")) << out;
  TempDir dir;
  std::string file = dir.path() + "/letter.bin";
  std::string data = Pattern(1234567, 11);
  std::ofstream(file, std::ios::binary) << data;
  ASSERT_EQ(0, RunTool(m_root.path(), "print Net '" + file + "'", &out)) << out;
  ASSERT_TRUE(device.server.WaitForJobs(1, 5000));
  EXPECT_EQ(Sha256(data), Sha256(device.server.JobBytes().at(0)));
}

// vek-spool prints over NetBEUI to an older device, which takes the NetBEUI magics,
// on a line that loses datagrams.
TEST_F(SpoolerPrint, TheCommandLinePrintsAFileOverNetBEUIUnderLoss) {
  spooler::Shutdown();
  emu::DeviceConfig config = MonitorPrinter(0, PortTransport::Netbeui, "data:drop:5%, ack:drop:5%", 21);
  config.netbiosName = "VEKPS12AB01";
  Device& device = StartDevice(config);
  const std::string netbios =
      "VEK_NETBIOS_SEGMENT=" + m_netbiosSegment + " VEK_NETBIOS_LANAS=0 VEK_NETBIOS_CLAIM_MS=30 ";
  auto run = [&](const std::string& arguments, std::string* out) {
    return RunTool(m_root.path(), arguments, out, netbios);
  };
  std::string out;
  ASSERT_EQ(0, run(std::string("init --monitor '") + DRIVER_PATH + "'", &out)) << out;
  ASSERT_EQ(0, run("add-port --transport netbeui --netbios-name VEKPS12AB01 --mac 02:4E:57:12:AB:01 --model 0", &out))
      << out;
  EXPECT_NE(std::string::npos, out.find("Added port VEK12AB01-1 for NetBIOS name VEKPS12AB01")) << out;
  ASSERT_EQ(0, run("add-printer Net VEK12AB01-1", &out)) << out;
  ASSERT_EQ(0, run("ports", &out)) << out;
  EXPECT_NE(std::string::npos, out.find("NetBEUI,PID:1")) << out;
  // The port the monitor made of the record.
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kMonitorKey + "\\Ports\\VEK12AB01-1").c_str(), 0,
                                         KEY_ALL_ACCESS, &key));
  DWORD packetType = 0, model = 9, size = 4;
  RegQueryValueExA(key, "PacketType", nullptr, nullptr, reinterpret_cast<BYTE*>(&packetType), &size);
  size = 4;
  RegQueryValueExA(key, "Model", nullptr, nullptr, reinterpret_cast<BYTE*>(&model), &size);
  char psName[18] = {};
  size = sizeof psName;
  RegQueryValueExA(key, "PSName", nullptr, nullptr, reinterpret_cast<BYTE*>(psName), &size);
  RegCloseKey(key);
  EXPECT_EQ(1u, packetType);
  EXPECT_EQ(0u, model);
  EXPECT_STREQ("VEKPS12AB01", psName);

  TempDir dir;
  std::string file = dir.path() + "/letter.bin";
  std::string data = Pattern(654321, 12);
  std::ofstream(file, std::ios::binary) << data;
  ASSERT_EQ(0, run("print Net '" + file + "'", &out)) << out;
  ASSERT_TRUE(device.server.WaitForJobs(1, 5000));
  EXPECT_EQ(Sha256(data), Sha256(device.server.JobBytes().at(0)));
  EXPECT_EQ(1000, device.server.LargestPacket());
}

}  // namespace
}  // namespace vek::test
