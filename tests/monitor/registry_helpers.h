// Writing and reading port records as the wizard and the monitor store them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "kernel/errors.h"
#include "registry/registry.h"

namespace vek::test {

class RecordWriter {
 public:
  // Under the monitor's key: e.g. "Ports\\VEK1" or "TempPort\\VEK1".
  explicit RecordWriter(const std::string& path) {
    std::string full = std::string(
                           "System\\CurrentControlSet\\Control\\Print\\Monitors\\TARVEX VEK Network Printer Port\\") +
                       path;
    EXPECT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, full.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr));
  }
  ~RecordWriter() {
    if (m_key) RegCloseKey(m_key);
  }
  RecordWriter& Binary(const char* name, std::initializer_list<BYTE> bytes) {
    std::vector<BYTE> data(bytes);
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(m_key, name, 0, REG_BINARY, data.data(), static_cast<DWORD>(data.size())));
    return *this;
  }
  RecordWriter& Dword(const char* name, DWORD value) {
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4));
    return *this;
  }
  // The four values every record needs.
  RecordWriter& Required(DWORD retry = 90, DWORD portId = 1) {
    return Binary("Network", {0, 0, 0, 0})
        .Binary("Node", {0x02, 0x4E, 0x57, 0x12, 0xAB, 0x0C})
        .Dword("RetryTimeout", retry)
        .Dword("PortID", portId);
  }

 private:
  HKEY m_key = nullptr;
};

}  // namespace vek::test
