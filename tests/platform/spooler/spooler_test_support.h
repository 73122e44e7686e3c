// A fresh machine root with the fake monitor registered as the VEK monitor, and
// helpers for printers, jobs and buffers.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "fake_monitor.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "registry/registry.h"
#include "spooler/spooler.h"
#include "spooler/store.h"
#include "spooler/winspool.h"
#include "support/temp_root.h"

namespace vek::test {

inline const std::string kMonitorKey =
    std::string(spooler::store::kMonitors) + "\\" + spooler::kVekMonitorName;

// Waits up to a deadline for a condition.
template <typename Condition>
bool WaitFor(Condition condition, int ms = 10000) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

class SpoolerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_library = dlopen(FAKE_MONITOR_PATH, RTLD_NOW);
    ASSERT_NE(nullptr, m_library) << dlerror();
    auto control = reinterpret_cast<fake::Control* (*)()>(dlsym(m_library, "FakeMonitorControl"));
    ASSERT_NE(nullptr, control);
    fake = control();
    fake->Reset();
    std::string error;
    ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({FAKE_MONITOR_PATH}, &error)) << error;
    spooler::SetRetryPolicy({10, 5});
  }

  void TearDown() override {
    spooler::Shutdown();
    if (m_library) dlclose(m_library);
  }

  // A port the fake monitor finds in its key when it is loaded.
  void SeedPort(const std::string& name) {
    spooler::store::Key key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_LOCAL_MACHINE, kMonitorKey + "\\Ports\\" + name));
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

  HANDLE Open(const std::string& name) {
    HANDLE printer = nullptr;
    std::u16string wide = ToWide(name);
    EXPECT_TRUE(OpenPrinterW(wide.c_str(), &printer, nullptr)) << GetLastError();
    return printer;
  }

  // Spools the bytes as a document; the job's id.
  DWORD Print(const std::string& printerName, const std::string& data, const std::string& document = "doc") {
    HANDLE printer = Open(printerName);
    std::u16string name = ToWide(document);
    DOC_INFO_1W info{name.data(), nullptr, nullptr};
    DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
    EXPECT_NE(0u, job) << GetLastError();
    DWORD written = 0;
    EXPECT_TRUE(WritePrinter(printer, const_cast<char*>(data.data()), static_cast<DWORD>(data.size()), &written));
    EXPECT_TRUE(EndDocPrinter(printer));
    ClosePrinter(printer);
    return job;
  }

  spooler::JobRecord WaitEnd(DWORD job, std::vector<spooler::JobRecord>* seen = nullptr) {
    spooler::JobRecord last;
    EXPECT_TRUE(spooler::WaitForJob(job, 20000, [&](const spooler::JobRecord& record) {
      last = record;
      if (seen) seen->push_back(record);
    }));
    return last;
  }

  std::vector<std::string> Calls() {
    std::lock_guard guard(fake->lock);
    return fake->calls;
  }

  std::string Received() {
    std::lock_guard guard(fake->lock);
    return fake->received;
  }

  TempRoot m_root;
  void* m_library = nullptr;
  fake::Control* fake = nullptr;
};

// Bytes 0, 1, 2, ... 255, 0, ... so a lost or doubled byte shows.
inline std::string Pattern(std::size_t size) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return data;
}

// A buffer with guard bytes after the part the call may use.
class GuardedBuffer {
 public:
  static constexpr std::size_t kGuard = 64;
  explicit GuardedBuffer(std::size_t size) : m_size(size), m_bytes(size + kGuard, 0xCC) {}
  LPBYTE data() { return m_bytes.data(); }
  DWORD size() const { return static_cast<DWORD>(m_size); }
  bool GuardIntact() const {
    for (std::size_t i = m_size; i < m_bytes.size(); ++i)
      if (m_bytes[i] != 0xCC) return false;
    return true;
  }
  // A string pointer of the record: null, or inside the used part and terminated there.
  template <typename Char>
  bool Inside(const Char* text) const {
    if (text == nullptr) return true;
    auto address = reinterpret_cast<const BYTE*>(text);
    if (address < m_bytes.data() || address >= m_bytes.data() + m_size) return false;
    for (const BYTE* p = address; p + sizeof(Char) <= m_bytes.data() + m_size; p += sizeof(Char)) {
      Char c;
      std::memcpy(&c, p, sizeof c);
      if (c == 0) return true;
    }
    return false;
  }

 private:
  std::size_t m_size;
  std::vector<BYTE> m_bytes;
};

inline std::string Text(const char16_t* text) { return text ? ToNarrow(text) : "(null)"; }
inline std::string Text(const char* text) { return text ? text : "(null)"; }

}  // namespace vek::test
