// Opening and creating keys: paths, case, dispositions and handles.
#include <gtest/gtest.h>

#include <string>

#include "kernel/lasterror.h"
#include "kernel/machine_root.h"
#include "registry/registry.h"
#include "registry_test_support.h"
#include "support/temp_root.h"

namespace vek::test {
namespace {

TEST(RegistryKeys, CreatesEveryMissingLevelInOneCall) {
  TempRoot root;
  ScopedKey monitor;
  DWORD disposition = 0;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            CreateKey(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Print\\Monitors\\X",
                      &monitor, &disposition));
  EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);

  ScopedKey level;
  EXPECT_EQ(Code(ERROR_SUCCESS), RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet", 0,
                                               KEY_READ, level.out()));
  ScopedKey deepest;
  EXPECT_EQ(Code(ERROR_SUCCESS),
            RegOpenKeyExA(level.get(), "Control\\Print\\Monitors\\X", 0, KEY_READ, deepest.out()));

  ASSERT_EQ(Code(ERROR_SUCCESS),
            CreateKey(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Print\\Monitors\\X",
                      &monitor, &disposition));
  EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);
}

TEST(RegistryKeys, NamesMatchWithoutCaseAndKeepTheCaseFirstWritten) {
  TempRoot root;
  ScopedKey port;
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Ports\\VEK12AB0C-1", &port));
  ScopedKey same;
  EXPECT_EQ(Code(ERROR_SUCCESS),
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, "ports\\vek12ab0c-1", 0, KEY_READ, same.out()));
  DWORD disposition = 0;
  EXPECT_EQ(Code(ERROR_SUCCESS),
            CreateKey(HKEY_LOCAL_MACHINE, "PORTS\\Vek12ab0c-1", &same, &disposition));
  EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);

  ScopedKey ports;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, "PORTS", 0, KEY_READ, ports.out()));
  char name[64] = {};
  ASSERT_EQ(Code(ERROR_SUCCESS), RegEnumKeyA(ports.get(), 0, name, sizeof name));
  EXPECT_STREQ("VEK12AB0C-1", name);
  EXPECT_EQ(Code(ERROR_NO_MORE_ITEMS), RegEnumKeyA(ports.get(), 1, name, sizeof name));

  char top[64] = {};
  ASSERT_EQ(Code(ERROR_SUCCESS), RegEnumKeyA(HKEY_LOCAL_MACHINE, 0, top, sizeof top));
  EXPECT_STREQ("Ports", top);
}

TEST(RegistryKeys, WideAndNarrowNamesReachTheSameKey) {
  TempRoot root;
  ScopedKey created;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Vek\\ポート", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, created.out(), nullptr));
  ScopedKey opened;
  EXPECT_EQ(Code(ERROR_SUCCESS),
            RegOpenKeyA(HKEY_LOCAL_MACHINE, "software\\VEK\\ポート", opened.out()));
  char name[32] = {};
  ScopedKey parent;
  ASSERT_EQ(Code(ERROR_SUCCESS), RegOpenKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\vek", parent.out()));
  DWORD count = sizeof name;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegEnumKeyExA(parent.get(), 0, name, &count, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(std::string("ポート"), name);
  EXPECT_EQ(std::string("ポート").size(), count);  // narrow counts are UTF-8 bytes
}

TEST(RegistryKeys, LocalMachineAndCurrentUserAreSeparateTrees) {
  TempRoot root;
  ScopedKey machine;
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vek", &machine));
  ScopedKey user;
  EXPECT_EQ(Code(ERROR_FILE_NOT_FOUND),
            RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Vek", user.out()));
  ASSERT_EQ(Code(ERROR_SUCCESS), RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Vek", user.out()));
  ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(user.get(), "Where", 2));
  EXPECT_EQ(Code(ERROR_FILE_NOT_FOUND),
            RegQueryValueExA(machine.get(), "Where", nullptr, nullptr, nullptr, nullptr));
}

TEST(RegistryKeys, MissingKeyIsNotFoundAndLeavesNoHandle) {
  TempRoot root;
  HKEY key = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x5555));
  EXPECT_EQ(Code(ERROR_FILE_NOT_FOUND),
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Nowhere\\Deeper", 0, KEY_READ, &key));
  EXPECT_EQ(nullptr, key);
  // A failed open creates nothing on the way.
  EXPECT_EQ(Code(ERROR_FILE_NOT_FOUND),
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Nowhere", 0, KEY_READ, &key));
}

TEST(RegistryKeys, BadPathsAreRefused) {
  TempRoot root;
  ScopedKey key;
  EXPECT_EQ(161, CreateKey(HKEY_LOCAL_MACHINE, "\\Software", &key));
  EXPECT_EQ(161, CreateKey(HKEY_LOCAL_MACHINE, "Software\\\\Vek", &key));
  EXPECT_EQ(161, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "\\", 0, KEY_READ, key.out()));
  EXPECT_EQ(Code(ERROR_FILE_NOT_FOUND),
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, key.out()));
  // One trailing backslash names the same key.
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vek\\", &key));
  EXPECT_EQ(Code(ERROR_SUCCESS),
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Vek", 0, KEY_READ, key.out()));
}

TEST(RegistryKeys, EmptyOrNullSubKeyGivesANewHandleToTheSameKey) {
  TempRoot root;
  ScopedKey key;
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vek", &key));
  ScopedKey viaNull;
  ScopedKey viaEmpty;
  ASSERT_EQ(Code(ERROR_SUCCESS), RegOpenKeyExA(key.get(), nullptr, 0, KEY_READ, viaNull.out()));
  DWORD disposition = 0;
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(key.get(), "", &viaEmpty, &disposition));
  EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);
  EXPECT_NE(key.get(), viaNull.get());
  EXPECT_NE(viaNull.get(), viaEmpty.get());

  ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(viaNull.get(), "Shared", 7));
  viaNull.Reset();  // closing the copy leaves the original open
  DWORD value = 0;
  EXPECT_EQ(Code(ERROR_SUCCESS), GetDword(key.get(), "Shared", &value));
  EXPECT_EQ(7u, value);
  EXPECT_EQ(Code(ERROR_SUCCESS), GetDword(viaEmpty.get(), "Shared", &value));
}

TEST(RegistryKeys, ClosedAndBogusHandlesAreRecognised) {
  TempRoot root;
  ScopedKey key;
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vek", &key));
  HKEY closed = key.Release();
  ASSERT_EQ(Code(ERROR_SUCCESS), RegCloseKey(closed));
  EXPECT_EQ(Code(ERROR_INVALID_HANDLE), RegCloseKey(closed));
  EXPECT_EQ(Code(ERROR_INVALID_HANDLE), SetDword(closed, "After", 1));

  // A later handle never takes the closed one's value.
  ScopedKey again;
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vek", &again));
  EXPECT_NE(closed, again.get());

  HKEY bogus = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0xDEADBEEF));
  ScopedKey out;
  EXPECT_EQ(Code(ERROR_INVALID_HANDLE), RegOpenKeyExA(bogus, "Software", 0, KEY_READ, out.out()));
  EXPECT_EQ(Code(ERROR_INVALID_HANDLE), RegOpenKeyExA(nullptr, "Software", 0, KEY_READ, out.out()));
  EXPECT_EQ(Code(ERROR_INVALID_HANDLE), RegCloseKey(nullptr));
  EXPECT_EQ(Code(ERROR_SUCCESS), RegCloseKey(HKEY_LOCAL_MACHINE));  // roots stay open
}

TEST(RegistryKeys, RootsThatAreNotKeptFailCleanly) {
  TempRoot root;
  ScopedKey key;
  EXPECT_EQ(Code(ERROR_BADKEY), CreateKey(HKEY_CLASSES_ROOT, "CLSID", &key));
  EXPECT_EQ(Code(ERROR_BADKEY), RegOpenKeyExA(HKEY_USERS, ".DEFAULT", 0, KEY_READ, key.out()));
  EXPECT_EQ(nullptr, key.get());
}

TEST(RegistryKeys, NullResultPointersAreInvalidParameters) {
  TempRoot root;
  EXPECT_EQ(Code(ERROR_INVALID_PARAMETER),
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, "", 0, KEY_READ, nullptr));
  EXPECT_EQ(Code(ERROR_INVALID_PARAMETER), RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software", nullptr));
  EXPECT_EQ(Code(ERROR_INVALID_PARAMETER),
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, nullptr, 0, 0, nullptr, nullptr,
                            nullptr));
}

TEST(RegistryKeys, FailuresAreAlsoTheLastError) {
  TempRoot root;
  SetLastError(0);
  ScopedKey key;
  ASSERT_EQ(Code(ERROR_FILE_NOT_FOUND), RegOpenKeyA(HKEY_LOCAL_MACHINE, "Missing", key.out()));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
}

TEST(RegistryKeys, ClassGivenAtCreationIsReported) {
  TempRoot root;
  ScopedKey key;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classy", 0, "PortClass", 0,
                            KEY_ALL_ACCESS, nullptr, key.out(), nullptr));
  char className[32] = {};
  DWORD count = sizeof className;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegQueryInfoKeyA(key.get(), className, &count, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr));
  EXPECT_STREQ("PortClass", className);
  EXPECT_EQ(9u, count);
}

TEST(RegistryKeys, HandlesFromAnotherMachineRootAreInvalid) {
  TempRoot first;
  ScopedKey key;
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vek", &key));
  ASSERT_EQ(Code(ERROR_SUCCESS), SetDword(key.get(), "Kept", 1));

  TempDir second;
  SetMachineRoot(second.path());
  EXPECT_EQ(Code(ERROR_INVALID_HANDLE), SetDword(key.get(), "Kept", 2));
  ScopedKey other;
  EXPECT_EQ(Code(ERROR_FILE_NOT_FOUND),
            RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Vek", other.out()));

  // Back at the first root the data is there, the old handle is still refused.
  SetMachineRoot(first.path());
  EXPECT_EQ(Code(ERROR_INVALID_HANDLE), SetDword(key.get(), "Kept", 3));
  ASSERT_EQ(Code(ERROR_SUCCESS), RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Vek", other.out()));
  DWORD value = 0;
  EXPECT_EQ(Code(ERROR_SUCCESS), GetDword(other.get(), "Kept", &value));
  EXPECT_EQ(1u, value);
  EXPECT_EQ(Code(ERROR_SUCCESS), RegCloseKey(key.Release()));
}

}  // namespace
}  // namespace vek::test
