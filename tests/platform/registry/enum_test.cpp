// Enumeration by index in name order, short name buffers, and key information.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "registry/registry.h"
#include "registry/subkey_values.h"
#include "registry_test_support.h"
#include "support/temp_root.h"

namespace vek::test {
namespace {

class RegistryEnum : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vek\\Enum", &m_key));
  }
  HKEY key() const { return m_key.get(); }

  void AddSubKeys(const std::vector<const char*>& names) {
    for (const char* name : names) {
      ScopedKey sub;
      ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(key(), name, &sub));
    }
  }

 private:
  TempRoot m_root;
  ScopedKey m_key;
};

TEST_F(RegistryEnum, SubKeysComeInNameOrderIgnoringCase) {
  AddSubKeys({"Zeta", "alpha", "Gamma", "beta", "ALPHA2"});
  std::vector<std::string> seen;
  char name[32];
  DWORD index = 0;
  LONG result;
  while ((result = RegEnumKeyA(key(), index, name, sizeof name)) == Code(ERROR_SUCCESS)) {
    seen.push_back(name);
    ++index;
  }
  EXPECT_EQ(Code(ERROR_NO_MORE_ITEMS), result);
  EXPECT_EQ((std::vector<std::string>{"alpha", "ALPHA2", "beta", "Gamma", "Zeta"}), seen);
  EXPECT_EQ(Code(ERROR_NO_MORE_ITEMS), RegEnumKeyA(key(), 1000, name, sizeof name));
}

TEST_F(RegistryEnum, SubKeysReadAtOnceWithTheirNamedValuesAndWithoutTheExcluded) {
  AddSubKeys({"b", "A", "c", "Empty"});
  for (const char* name : {"b", "A", "c"}) {
    ScopedKey sub;
    ASSERT_EQ(Code(ERROR_SUCCESS), RegOpenKeyA(key(), name, sub.out()));
    ASSERT_EQ(Code(ERROR_SUCCESS), SetString(sub.get(), "Text", std::string("t-") + name));
    ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(sub.get(), "State", name[0] == 'c' ? 7 : 1));
    ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(sub.get(), "Other", 9));
  }
  const std::string_view names[] = {"STATE", "text"};
  std::vector<registry::SubKeyValues> read;
  ASSERT_EQ(Code(ERROR_SUCCESS), registry::ReadSubKeyValues(key(), names, &read));
  ASSERT_EQ(4u, read.size());
  EXPECT_EQ("A", read[0].key.name);
  EXPECT_EQ("Empty", read[3].key.name);
  EXPECT_TRUE(read[3].values.empty()) << "a key without the values still comes";
  ASSERT_EQ(2u, read[0].values.size()) << "only the values asked for";
  EXPECT_EQ("State", read[0].values[0].name);
  EXPECT_EQ(REG_SZ, read[0].values[1].type);
  // Strings come in the narrow form, terminator included, as RegQueryValueExA gives them.
  EXPECT_EQ((std::vector<BYTE>{'t', '-', 'A', 0}), read[0].values[1].data);

  const registry::ValueExclusion ended{"State", {{7, 0, 0, 0}, {8, 0, 0, 0}}};
  ASSERT_EQ(Code(ERROR_SUCCESS), registry::ReadSubKeyValues(key(), names, &read, &ended));
  std::vector<std::string> left;
  for (const auto& subKey : read) left.push_back(subKey.key.name);
  EXPECT_EQ((std::vector<std::string>{"A", "b", "Empty"}), left);

  ASSERT_EQ(Code(ERROR_SUCCESS), registry::ReadSubKeyValues(key(), {}, &read));
  EXPECT_EQ(3u, read[0].values.size()) << "every value when none is named";
  std::vector<registry::ValueRow> values;
  ScopedKey sub;
  ASSERT_EQ(Code(ERROR_SUCCESS), RegOpenKeyA(key(), "b", sub.out()));
  ASSERT_EQ(Code(ERROR_SUCCESS), registry::ReadKeyValues(sub.get(), &values));
  EXPECT_EQ(3u, values.size());
  EXPECT_EQ(Code(ERROR_INVALID_HANDLE), registry::ReadKeyValues(reinterpret_cast<HKEY>(0x1234), &values));
  EXPECT_TRUE(values.empty());
}

TEST_F(RegistryEnum, ShortKeyNameBufferIsMoreDataAndUntouched) {
  AddSubKeys({"Monitor"});
  char name[16];
  std::memset(name, '#', sizeof name);
  DWORD count = 7;  // "Monitor" needs 8 with its terminator
  EXPECT_EQ(Code(ERROR_MORE_DATA),
            RegEnumKeyExA(key(), 0, name, &count, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(7u, count);
  for (char c : name) EXPECT_EQ('#', c);
  EXPECT_EQ(Code(ERROR_MORE_DATA), RegEnumKeyA(key(), 0, name, 7));
  for (char c : name) EXPECT_EQ('#', c);

  count = 8;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegEnumKeyExA(key(), 0, name, &count, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(7u, count);
  EXPECT_STREQ("Monitor", name);
  EXPECT_EQ('#', name[8]);

  char16_t wide[8];
  count = 8;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegEnumKeyExW(key(), 0, wide, &count, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(std::u16string(u"Monitor"), std::u16string(wide, count));
}

TEST_F(RegistryEnum, WideNamesAreCountedInUtf16Units) {
  AddSubKeys({"ポート"});
  char16_t wide[4];
  DWORD count = 3;
  EXPECT_EQ(Code(ERROR_MORE_DATA),
            RegEnumKeyExW(key(), 0, wide, &count, nullptr, nullptr, nullptr, nullptr));
  count = 4;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegEnumKeyExW(key(), 0, wide, &count, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(3u, count);
  EXPECT_EQ(std::u16string(u"ポート"), std::u16string(wide));
}

TEST_F(RegistryEnum, ValuesComeInNameOrderWithTypeAndData) {
  ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(key(), "timeout", 30));
  ASSERT_EQ(Code(ERROR_SUCCESS), SetString(key(), "Address", "10.0.0.5"));
  ASSERT_EQ(Code(ERROR_SUCCESS), SetString(key(), nullptr, "default"));
  ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(key(), "Mode", 1));

  std::vector<std::string> names;
  std::vector<DWORD> types;
  for (DWORD index = 0;; ++index) {
    char name[32];
    DWORD count = sizeof name;
    DWORD type = 0;
    BYTE data[32];
    DWORD size = sizeof data;
    LONG result = RegEnumValueA(key(), index, name, &count, nullptr, &type, data, &size);
    if (result == Code(ERROR_NO_MORE_ITEMS)) break;
    ASSERT_EQ(Code(ERROR_SUCCESS), result);
    EXPECT_EQ(std::strlen(name), count);
    names.push_back(name);
    types.push_back(type);
    if (names.back() == "Address") {
      EXPECT_EQ(std::string("10.0.0.5"), reinterpret_cast<char*>(data));
    }
  }
  EXPECT_EQ((std::vector<std::string>{"", "Address", "Mode", "timeout"}), names);
  EXPECT_EQ((std::vector<DWORD>{REG_SZ, REG_SZ, REG_DWORD, REG_DWORD}), types);
}

TEST_F(RegistryEnum, ShortValueBuffersAreMoreData) {
  ASSERT_EQ(Code(ERROR_SUCCESS), SetString(key(), "Address", "10.0.0.5"));
  char name[8];
  std::memset(name, '#', sizeof name);
  DWORD count = sizeof name;  // "Address" needs 8: fits exactly
  BYTE data[4];
  std::memset(data, 0xAA, sizeof data);
  DWORD size = sizeof data;
  DWORD type = 0;
  EXPECT_EQ(Code(ERROR_MORE_DATA),
            RegEnumValueA(key(), 0, name, &count, nullptr, &type, data, &size));
  EXPECT_EQ(9u, size);
  EXPECT_EQ(REG_SZ, type);
  for (BYTE b : data) EXPECT_EQ(0xAA, b);

  count = 7;
  EXPECT_EQ(Code(ERROR_MORE_DATA),
            RegEnumValueA(key(), 0, name, &count, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(7u, count);
  for (char c : name) EXPECT_EQ('#', c);

  // Without a data buffer the size is what comes back.
  count = sizeof name;
  size = 0;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegEnumValueA(key(), 0, name, &count, nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(9u, size);
  EXPECT_EQ(7u, count);
  EXPECT_STREQ("Address", name);
}

TEST_F(RegistryEnum, EnumerationArgumentsAreChecked) {
  AddSubKeys({"One"});
  DWORD count = 8;
  DWORD reserved = 0;
  char name[8];
  EXPECT_EQ(Code(ERROR_INVALID_PARAMETER),
            RegEnumKeyExA(key(), 0, nullptr, &count, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(Code(ERROR_INVALID_PARAMETER),
            RegEnumKeyExA(key(), 0, name, nullptr, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(Code(ERROR_INVALID_PARAMETER),
            RegEnumKeyExA(key(), 0, name, &count, &reserved, nullptr, nullptr, nullptr));
  EXPECT_EQ(Code(ERROR_INVALID_PARAMETER), RegEnumKeyA(key(), 0, nullptr, 8));
  EXPECT_EQ(Code(ERROR_INVALID_PARAMETER),
            RegEnumValueA(key(), 0, nullptr, &count, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(RegistryEnum, KeyInformationCountsAndMeasuresInEachForm) {
  AddSubKeys({"Short", "ポートポート"});
  ASSERT_EQ(Code(ERROR_SUCCESS), SetString(key(), "Port", "ポート"));  // 10 bytes narrow, 8 wide
  ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(key(), "LongerName", 1));

  DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxData = 0;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegQueryInfoKeyA(key(), nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr,
                             &values, &maxValueName, &maxData, nullptr, nullptr));
  EXPECT_EQ(2u, subKeys);
  EXPECT_EQ(18u, maxSubKey);
  EXPECT_EQ(2u, values);
  EXPECT_EQ(10u, maxValueName);
  EXPECT_EQ(10u, maxData);

  FILETIME written{};
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegQueryInfoKeyW(key(), nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr,
                             &values, &maxValueName, &maxData, nullptr, &written));
  EXPECT_EQ(6u, maxSubKey);
  EXPECT_EQ(8u, maxData);
  EXPECT_NE(0u, written.dwHighDateTime);

  // Every out pointer may be null.
  EXPECT_EQ(Code(ERROR_SUCCESS),
            RegQueryInfoKeyA(key(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr));
}

TEST_F(RegistryEnum, EmptyKeyHasNothingToEnumerate) {
  char name[8];
  EXPECT_EQ(Code(ERROR_NO_MORE_ITEMS), RegEnumKeyA(key(), 0, name, sizeof name));
  char16_t wide[8];
  DWORD count = 8;
  EXPECT_EQ(Code(ERROR_NO_MORE_ITEMS),
            RegEnumValueW(key(), 0, wide, &count, nullptr, nullptr, nullptr, nullptr));
  DWORD subKeys = 9, values = 9;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegQueryInfoKeyA(key(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                             nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(0u, subKeys);
  EXPECT_EQ(0u, values);
}

}  // namespace
}  // namespace vek::test
