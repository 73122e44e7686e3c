// Reading and writing values: sizes, short buffers, types, and the two text forms.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "registry/registry.h"
#include "registry_test_support.h"
#include "support/temp_root.h"

namespace vek::test {
namespace {

class RegistryValues : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vek\\Values", &m_key));
  }
  HKEY key() const { return m_key.get(); }

  // The wide bytes of a text, terminator included.
  static std::vector<BYTE> WideBytes(std::u16string_view text) {
    std::vector<BYTE> bytes;
    for (char16_t unit : text) {
      bytes.push_back(static_cast<BYTE>(unit & 0xFF));
      bytes.push_back(static_cast<BYTE>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
  }

 private:
  TempRoot m_root;
  ScopedKey m_key;
};

TEST_F(RegistryValues, NullDataAsksForTheSizeAndType) {
  ASSERT_EQ(Code(ERROR_SUCCESS), SetString(key(), "Name", "Printer"));
  DWORD type = 0;
  DWORD size = 0;
  EXPECT_EQ(Code(ERROR_SUCCESS), RegQueryValueExA(key(), "Name", nullptr, &type, nullptr, &size));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ(8u, size);
  EXPECT_EQ(Code(ERROR_SUCCESS),
            RegQueryValueExA(key(), "Name", nullptr, nullptr, nullptr, nullptr));
}

TEST_F(RegistryValues, ShortBufferGetsMoreDataAndTheSizeAndIsLeftAlone) {
  const std::array<BYTE, 6> data = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegSetValueExA(key(), "Blob", 0, REG_BINARY, data.data(), data.size()));
  std::array<BYTE, 8> buffer;
  buffer.fill(0xAA);
  DWORD size = 5;
  DWORD type = 0;
  EXPECT_EQ(Code(ERROR_MORE_DATA),
            RegQueryValueExA(key(), "Blob", nullptr, &type, buffer.data(), &size));
  EXPECT_EQ(6u, size);
  EXPECT_EQ(REG_BINARY, type);
  for (BYTE b : buffer) EXPECT_EQ(0xAA, b);

  size = 6;
  EXPECT_EQ(Code(ERROR_SUCCESS),
            RegQueryValueExA(key(), "Blob", nullptr, &type, buffer.data(), &size));
  EXPECT_EQ(6u, size);
  EXPECT_EQ(0, std::memcmp(buffer.data(), data.data(), data.size()));
  EXPECT_EQ(0xAA, buffer[6]);
}

TEST_F(RegistryValues, NarrowStringShortBufferReportsTheNarrowSize) {
  ASSERT_EQ(Code(ERROR_SUCCESS), SetString(key(), "Port", "ポート"));  // 9 UTF-8 bytes
  char buffer[10];
  std::memset(buffer, 'x', sizeof buffer);
  DWORD size = 9;
  EXPECT_EQ(Code(ERROR_MORE_DATA), RegQueryValueExA(key(), "Port", nullptr, nullptr,
                                                    reinterpret_cast<BYTE*>(buffer), &size));
  EXPECT_EQ(10u, size);
  for (char c : buffer) EXPECT_EQ('x', c);
  EXPECT_EQ(Code(ERROR_SUCCESS), RegQueryValueExA(key(), "Port", nullptr, nullptr,
                                                  reinterpret_cast<BYTE*>(buffer), &size));
  EXPECT_STREQ("ポート", buffer);
}

TEST_F(RegistryValues, OneByteDwordKeepsItsTypeAndSize) {
  const BYTE version = 2;
  ASSERT_EQ(Code(ERROR_SUCCESS), RegSetValueExA(key(), "Version", 0, REG_DWORD, &version, 1));
  DWORD value = 0xFFFFFFFF;
  DWORD type = 0;
  DWORD size = sizeof value;
  ASSERT_EQ(Code(ERROR_SUCCESS), RegQueryValueExW(key(), u"version", nullptr, &type,
                                                  reinterpret_cast<BYTE*>(&value), &size));
  EXPECT_EQ(REG_DWORD, type);
  EXPECT_EQ(1u, size);
  EXPECT_EQ(0xFFFFFF02u, value);  // only the stored byte is written
}

TEST_F(RegistryValues, DwordAndBinaryPassUnchangedInBothForms) {
  ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(key(), "Timeout", 0x12345678));
  const std::array<BYTE, 4> notText = {0xFF, 0xFE, 0x00, 0xC3};  // not valid UTF-8
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegSetValueExA(key(), "Raw", 0, REG_BINARY, notText.data(), notText.size()));

  DWORD value = 0;
  DWORD size = sizeof value;
  ASSERT_EQ(Code(ERROR_SUCCESS), RegQueryValueExW(key(), u"TIMEOUT", nullptr, nullptr,
                                                  reinterpret_cast<BYTE*>(&value), &size));
  EXPECT_EQ(0x12345678u, value);
  std::array<BYTE, 4> raw{};
  size = raw.size();
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegQueryValueExW(key(), u"raw", nullptr, nullptr, raw.data(), &size));
  EXPECT_EQ(notText, raw);
}

TEST_F(RegistryValues, NarrowStringsReadAsWideAndBack) {
  ASSERT_EQ(Code(ERROR_SUCCESS), SetString(key(), "Narrow", "Grüße"));
  std::vector<BYTE> wide(64);
  DWORD size = static_cast<DWORD>(wide.size());
  DWORD type = 0;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegQueryValueExW(key(), u"Narrow", nullptr, &type, wide.data(), &size));
  EXPECT_EQ(REG_SZ, type);
  wide.resize(size);
  EXPECT_EQ(WideBytes(u"Grüße"), wide);

  std::vector<BYTE> written = WideBytes(u"ポート 1");
  ASSERT_EQ(Code(ERROR_SUCCESS), RegSetValueExW(key(), u"Wide", 0, REG_EXPAND_SZ, written.data(),
                                                static_cast<DWORD>(written.size())));
  char narrow[32] = {};
  size = 0;
  ASSERT_EQ(Code(ERROR_SUCCESS), RegQueryValueExA(key(), "Wide", nullptr, &type, nullptr, &size));
  EXPECT_EQ(std::string("ポート 1").size() + 1, size);
  size = sizeof narrow;
  ASSERT_EQ(Code(ERROR_SUCCESS), RegQueryValueExA(key(), "Wide", nullptr, &type,
                                                  reinterpret_cast<BYTE*>(narrow), &size));
  EXPECT_EQ(REG_EXPAND_SZ, type);
  EXPECT_STREQ("ポート 1", narrow);
}

TEST_F(RegistryValues, MultiStringsKeepEveryTerminator) {
  const char list[] = "one\0two\0";  // with the array's own terminator: one\0two\0\0
  ASSERT_EQ(Code(ERROR_SUCCESS), RegSetValueExA(key(), "List", 0, REG_MULTI_SZ,
                                                reinterpret_cast<const BYTE*>(list), sizeof list));
  std::vector<BYTE> wide(64);
  DWORD size = static_cast<DWORD>(wide.size());
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegQueryValueExW(key(), u"List", nullptr, nullptr, wide.data(), &size));
  EXPECT_EQ(2 * sizeof list, size);
  char narrow[16];
  size = sizeof narrow;
  ASSERT_EQ(Code(ERROR_SUCCESS), RegQueryValueExA(key(), "List", nullptr, nullptr,
                                                  reinterpret_cast<BYTE*>(narrow), &size));
  ASSERT_EQ(sizeof list, size);
  EXPECT_EQ(0, std::memcmp(list, narrow, sizeof list));
}

TEST_F(RegistryValues, UnterminatedTextStaysUnterminated) {
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegSetValueExA(key(), "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3));
  DWORD size = 0;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegQueryValueExW(key(), u"Bare", nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(6u, size);
  ASSERT_EQ(Code(ERROR_SUCCESS), RegQueryValueExA(key(), "Bare", nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(3u, size);
}

TEST_F(RegistryValues, OddWideStringReadsNarrowWithoutTheStrayByte) {
  const std::array<BYTE, 5> odd = {'h', 0, 'i', 0, 0x7F};
  ASSERT_EQ(Code(ERROR_SUCCESS), RegSetValueExW(key(), u"Odd", 0, REG_SZ, odd.data(), odd.size()));
  char narrow[8] = {};
  DWORD size = sizeof narrow;
  ASSERT_EQ(Code(ERROR_SUCCESS), RegQueryValueExA(key(), "Odd", nullptr, nullptr,
                                                  reinterpret_cast<BYTE*>(narrow), &size));
  EXPECT_EQ(2u, size);
  EXPECT_EQ(std::string("hi"), std::string(narrow, size));
}

TEST_F(RegistryValues, NamesMatchWithoutCaseAndKeepTheirFirstCase) {
  ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(key(), "PortNumber", 1));
  ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(key(), "PORTNUMBER", 2));
  DWORD value = 0;
  ASSERT_EQ(Code(ERROR_SUCCESS), GetDword(key(), "portnumber", &value));
  EXPECT_EQ(2u, value);
  char name[32];
  DWORD count = sizeof name;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegEnumValueA(key(), 0, name, &count, nullptr, nullptr, nullptr, nullptr));
  EXPECT_STREQ("PortNumber", name);
  count = sizeof name;
  EXPECT_EQ(Code(ERROR_NO_MORE_ITEMS),
            RegEnumValueA(key(), 1, name, &count, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(RegistryValues, NullAndEmptyNamesAreTheDefaultValue) {
  ASSERT_EQ(Code(ERROR_SUCCESS), SetString(key(), nullptr, "default"));
  char text[16] = {};
  DWORD size = sizeof text;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegQueryValueExA(key(), "", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size));
  EXPECT_STREQ("default", text);
  size = sizeof text;
  EXPECT_EQ(Code(ERROR_SUCCESS),
            RegQueryValueExW(key(), nullptr, nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(16u, size);
  EXPECT_EQ(Code(ERROR_SUCCESS), RegDeleteValueA(key(), ""));
  EXPECT_EQ(Code(ERROR_FILE_NOT_FOUND),
            RegQueryValueExA(key(), nullptr, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(RegistryValues, OverwriteReplacesTypeAndData) {
  ASSERT_EQ(Code(ERROR_SUCCESS), SetString(key(), "Mode", "auto"));
  ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(key(), "Mode", 3));
  DWORD value = 0;
  EXPECT_EQ(Code(ERROR_SUCCESS), GetDword(key(), "Mode", &value));
  EXPECT_EQ(3u, value);
}

TEST_F(RegistryValues, EmptyValueIsKept) {
  ASSERT_EQ(Code(ERROR_SUCCESS), RegSetValueExA(key(), "Empty", 0, REG_BINARY, nullptr, 0));
  DWORD type = 0;
  DWORD size = 99;
  BYTE byte = 0x55;
  ASSERT_EQ(Code(ERROR_SUCCESS), RegQueryValueExA(key(), "Empty", nullptr, &type, &byte, &size));
  EXPECT_EQ(REG_BINARY, type);
  EXPECT_EQ(0u, size);
  EXPECT_EQ(0x55, byte);
}

TEST_F(RegistryValues, MissingValuesAreNotFound) {
  DWORD size = 4;
  BYTE data[4];
  EXPECT_EQ(Code(ERROR_FILE_NOT_FOUND),
            RegQueryValueExA(key(), "Absent", nullptr, nullptr, data, &size));
  EXPECT_EQ(4u, size);
  EXPECT_EQ(Code(ERROR_FILE_NOT_FOUND), RegDeleteValueW(key(), u"Absent"));
}

TEST_F(RegistryValues, BadArgumentsAreInvalidParameters) {
  BYTE data[4];
  DWORD reserved = 0;
  DWORD size = sizeof data;
  EXPECT_EQ(Code(ERROR_INVALID_PARAMETER),
            RegQueryValueExA(key(), "X", nullptr, nullptr, data, nullptr));
  EXPECT_EQ(Code(ERROR_INVALID_PARAMETER),
            RegQueryValueExA(key(), "X", &reserved, nullptr, data, &size));
  EXPECT_EQ(Code(ERROR_INVALID_PARAMETER), RegSetValueExA(key(), "X", 0, REG_BINARY, nullptr, 4));
}

}  // namespace
}  // namespace vek::test
