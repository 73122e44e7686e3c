// The bidirectional-support sweep of a Windows 9x system: a printer on one of
// this monitor's ports loses the attribute; a printer on several ports, on
// another port or without the attribute is left as it is, whatever its "Port"
// value holds; the monitor's "Shutdown" value cuts a sweep short; the thread
// sweeps on its own and the library's stop ends it at once. On Windows NT there
// is no such thread.
#include <chrono>
#include <vector>

#include "bidi_thread.h"
#include "kernel/version.h"
#include "monitor_test_support.h"

namespace vek::test {
namespace {

constexpr DWORD kBidi = PRINTER_ATTRIBUTE_ENABLE_BIDI;
const std::string kPrintersKey = "System\\CurrentControlSet\\Control\\Print\\Printers\\";

class BidiSweep : public MonitorTest {
 protected:
  void BeforeStart() override { SetOsVersion({VER_PLATFORM_WIN32_WINDOWS, 4, 10, 2222}); }
  void TearDown() override {
    MonitorTest::TearDown();
    ResetOsVersionAndLanguage();
  }

  // A printer whose record holds this "Port" value (as raw bytes, of any type)
  // and these attributes, as the sweep reads them from the registry.
  void AddPrinterOn(const std::string& name, const std::vector<BYTE>& port, DWORD type, DWORD attributes) {
    AddPrinter(name);
    HKEY key = OpenRecord(name);
    // The wide call stores the bytes as they are.
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"Port", 0, type, port.data(), static_cast<DWORD>(port.size())));
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(key, u"Attributes", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&attributes), 4));
    RegCloseKey(key);
  }
  void AddPrinterOn(const std::string& name, const std::u16string& port, DWORD attributes) {
    AddPrinterOn(name, Text(port), REG_SZ, attributes);
  }
  // A text value's bytes with its terminator.
  static std::vector<BYTE> Text(const std::u16string& text) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(char16_t));
  }
  DWORD Attributes(const std::string& name) {
    HKEY key = OpenRecord(name);
    DWORD value = 0xFFFFFFFF, size = 4;
    RegQueryValueExA(key, "Attributes", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return value;
  }
  HKEY OpenRecord(const std::string& name) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kPrintersKey + name).c_str(), 0, KEY_ALL_ACCESS, &key));
    return key;
  }
};

TEST_F(BidiSweep, OnlyPrintersOnOneOfOurPortsLoseTheAttribute) {
  AddPort(u"VEK1");
  AddPort(u"VEK12AB0C-1");
  struct Case {
    const char* name;
    std::vector<BYTE> port;  // the "Port" value's bytes
    DWORD type;
    DWORD before;
    DWORD after;
  };
  const Case cases[] = {
      {"Ours", Text(u"VEK1"), REG_SZ, kBidi | 0x40, 0x40},
      {"OursToo", Text(u"VEK12AB0C-1"), REG_SZ, kBidi, 0},
      // Without its terminator, as binary data.
      {"OursBare", {'V', 0, 'E', 0, 'K', 0, '1', 0}, REG_BINARY, kBidi, 0},
      {"Several", Text(u"VEK1,LPT1:"), REG_SZ, kBidi, kBidi},
      {"OtherCase", Text(u"vek1"), REG_SZ, kBidi, kBidi},
      {"NoBit", Text(u"VEK1"), REG_SZ, 0x40, 0x40},
      {"Local", Text(u"LPT1:"), REG_SZ, kBidi | 0x4, kBidi | 0x4},
      // Filling the 255 bytes read, unterminated; longer than that.
      {"Full", std::vector<BYTE>(255, 'V'), REG_SZ, kBidi, kBidi},
      {"Longer", std::vector<BYTE>(300, 'V'), REG_SZ, kBidi, kBidi},
  };
  for (const Case& c : cases) AddPrinterOn(c.name, c.port, c.type, c.before);

  CDisableBidirectionThread::Sweep();
  for (const Case& c : cases) EXPECT_EQ(c.after, Attributes(c.name)) << c.name;
  // The spooler shows the change: the printer is one-way now.
  HANDLE printer = nullptr;
  ASSERT_TRUE(OpenPrinterW(u"Ours", &printer, nullptr));
  std::vector<BYTE> info(4096);
  DWORD needed = 0;
  ASSERT_TRUE(GetPrinterW(printer, 2, info.data(), static_cast<DWORD>(info.size()), &needed));
  EXPECT_EQ(0u, reinterpret_cast<PRINTER_INFO_2W*>(info.data())->Attributes & kBidi);
  ClosePrinter(printer);
}

TEST_F(BidiSweep, AShutdownValueCutsTheSweepShortButNotTheThread) {
  AddPort(u"VEK1");
  AddPrinterOn("Ours", u"VEK1", kBidi);
  WriteMonitorDword("Shutdown", 1);
  CDisableBidirectionThread::Sweep();
  EXPECT_EQ(kBidi, Attributes("Ours"));
  EXPECT_TRUE(BidiThreadRunning());
  // The next sweep goes on as before.
  WriteMonitorDword("Shutdown", 0);
  CDisableBidirectionThread::Sweep();
  EXPECT_EQ(0u, Attributes("Ours"));
}

TEST_F(BidiSweep, TheThreadSweepsEveryPeriodAndEndsWithTheLibrary) {
  ASSERT_TRUE(BidiThreadRunning());
  AddPort(u"VEK1");
  AddPrinterOn("Ours", u"VEK1", kBidi);
  EXPECT_TRUE(WaitUntil([&] { return Attributes("Ours") == 0; }, kBidiSweepMs + 15000));
  auto start = std::chrono::steady_clock::now();
  VekShutdownMonitor();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_FALSE(BidiThreadRunning());
}

class NoBidiSweep : public MonitorTest {};

TEST_F(NoBidiSweep, WindowsNtHasNoSweep) { EXPECT_FALSE(BidiThreadRunning()); }

}  // namespace
}  // namespace vek::test
