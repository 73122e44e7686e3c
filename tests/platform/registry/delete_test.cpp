// Deleting keys and values, and what becomes of handles to a deleted key.
#include <gtest/gtest.h>

#include "registry/registry.h"
#include "registry_test_support.h"
#include "support/temp_root.h"

namespace vek::test {
namespace {

TEST(RegistryDelete, KeyWithSubKeysIsDenied) {
  TempRoot root;
  ScopedKey leaf;
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vek\\Ports\\P1", &leaf));
  EXPECT_EQ(Code(ERROR_ACCESS_DENIED), RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Vek\\Ports"));
  ScopedKey ports;
  EXPECT_EQ(Code(ERROR_SUCCESS),
            RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Vek\\Ports", ports.out()));

  EXPECT_EQ(Code(ERROR_SUCCESS), RegDeleteKeyA(HKEY_LOCAL_MACHINE, "software\\vek\\ports\\p1"));
  EXPECT_EQ(Code(ERROR_SUCCESS), RegDeleteKeyW(ports.get(), u""));  // the key itself, now childless
  ScopedKey gone;
  EXPECT_EQ(Code(ERROR_FILE_NOT_FOUND),
            RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Vek\\Ports", gone.out()));
}

TEST(RegistryDelete, ValuesGoWithTheirKey) {
  TempRoot root;
  ScopedKey key;
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Doomed", &key));
  ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(key.get(), "Old", 1));
  key.Reset();
  ASSERT_EQ(Code(ERROR_SUCCESS), RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Doomed"));
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Doomed", &key));
  EXPECT_EQ(Code(ERROR_FILE_NOT_FOUND),
            RegQueryValueExA(key.get(), "Old", nullptr, nullptr, nullptr, nullptr));
}

TEST(RegistryDelete, HandleToADeletedKeyReportsKeyDeleted) {
  TempRoot root;
  ScopedKey open;
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vek\\Port", &open));
  ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(open.get(), "Value", 1));
  ASSERT_EQ(Code(ERROR_SUCCESS), RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Vek\\Port"));

  DWORD value = 0;
  EXPECT_EQ(Code(ERROR_KEY_DELETED), GetDword(open.get(), "Value", &value));
  EXPECT_EQ(Code(ERROR_KEY_DELETED), SetDword(open.get(), "Value", 2));
  ScopedKey child;
  EXPECT_EQ(Code(ERROR_KEY_DELETED), CreateKey(open.get(), "Child", &child));
  char name[8];
  EXPECT_EQ(Code(ERROR_KEY_DELETED), RegEnumKeyA(open.get(), 0, name, sizeof name));

  // A new key of the same name is another key: the old handle still reaches nothing.
  ScopedKey recreated;
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vek\\Port", &recreated));
  EXPECT_EQ(Code(ERROR_KEY_DELETED), SetDword(open.get(), "Value", 3));
  EXPECT_EQ(Code(ERROR_SUCCESS), RegCloseKey(open.Release()));
}

TEST(RegistryDelete, MissingKeysAndRootsAreRefused) {
  TempRoot root;
  EXPECT_EQ(Code(ERROR_FILE_NOT_FOUND), RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Nothing"));
  EXPECT_EQ(Code(ERROR_INVALID_PARAMETER), RegDeleteKeyA(HKEY_LOCAL_MACHINE, nullptr));
  EXPECT_EQ(Code(ERROR_ACCESS_DENIED), RegDeleteKeyA(HKEY_CURRENT_USER, ""));
  ScopedKey user;
  EXPECT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_CURRENT_USER, "Software", &user));
}

TEST(RegistryDelete, DeletingAValueLeavesTheOthers) {
  TempRoot root;
  ScopedKey key;
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vek", &key));
  ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(key.get(), "Keep", 1));
  ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(key.get(), "Drop", 2));
  EXPECT_EQ(Code(ERROR_SUCCESS), RegDeleteValueA(key.get(), "DROP"));
  EXPECT_EQ(Code(ERROR_FILE_NOT_FOUND), RegDeleteValueA(key.get(), "Drop"));
  DWORD value = 0;
  EXPECT_EQ(Code(ERROR_SUCCESS), GetDword(key.get(), "Keep", &value));
}

}  // namespace
}  // namespace vek::test
