// The database behind the keys: where it lives, damaged or foreign files, and
// many threads of one process.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "kernel/machine_root.h"
#include "registry/registry.h"
#include "registry_test_support.h"
#include "support/temp_root.h"

namespace vek::test {
namespace {

std::string DatabasePath(const std::string& root) { return root + "/registry.db"; }

void RunSql(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
  EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql, nullptr, nullptr, nullptr)) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

TEST(RegistryStore, DatabaseIsCreatedInTheMachineRootOnFirstUse) {
  TempRoot root;
  EXPECT_FALSE(std::filesystem::exists(DatabasePath(root.path())));
  ScopedKey key;
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software", &key));
  EXPECT_TRUE(std::filesystem::exists(DatabasePath(root.path())));
}

TEST(RegistryStore, MissingRootFolderFailsEveryCallAndIsNotCreated) {
  TempRoot root;
  std::string absent = root.path() + "/absent";
  SetMachineRoot(absent);
  ScopedKey key;
  EXPECT_EQ(Code(ERROR_PATH_NOT_FOUND), CreateKey(HKEY_LOCAL_MACHINE, "Software", &key));
  EXPECT_EQ(Code(ERROR_PATH_NOT_FOUND), RegOpenKeyA(HKEY_LOCAL_MACHINE, "", key.out()));
  EXPECT_EQ(Code(ERROR_PATH_NOT_FOUND), SetDword(HKEY_LOCAL_MACHINE, "X", 1));
  char name[8];
  EXPECT_EQ(Code(ERROR_PATH_NOT_FOUND), RegEnumKeyA(HKEY_CURRENT_USER, 0, name, sizeof name));
  EXPECT_FALSE(std::filesystem::exists(absent));

  // Once the folder is there the store opens.
  std::filesystem::create_directory(absent);
  EXPECT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software", &key));
  SetMachineRoot(root.path());
}

TEST(RegistryStore, ValuesSurviveReopening) {
  TempRoot root;
  {
    ScopedKey key;
    ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vek", &key));
    ASSERT_EQ(Code(ERROR_SUCCESS), SetString(key.get(), "Name", "kept"));
  }
  TempDir elsewhere;
  SetMachineRoot(elsewhere.path());
  ScopedKey other;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            CreateKey(HKEY_LOCAL_MACHINE, "Other", &other));  // closes the first store
  SetMachineRoot(root.path());

  ScopedKey key;
  ASSERT_EQ(Code(ERROR_SUCCESS), RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Vek", key.out()));
  char text[8] = {};
  DWORD size = sizeof text;
  ASSERT_EQ(Code(ERROR_SUCCESS), RegQueryValueExA(key.get(), "Name", nullptr, nullptr,
                                                  reinterpret_cast<BYTE*>(text), &size));
  EXPECT_STREQ("kept", text);
}

TEST(RegistryStore, FileThatIsNoDatabaseIsRefused) {
  TempRoot root;
  std::ofstream(DatabasePath(root.path()), std::ios::binary) << std::string(8192, 'Z');
  ScopedKey key;
  EXPECT_EQ(Code(ERROR_BADDB), CreateKey(HKEY_LOCAL_MACHINE, "Software", &key));
  EXPECT_EQ(Code(ERROR_BADDB), RegOpenKeyA(HKEY_LOCAL_MACHINE, "", key.out()));
}

TEST(RegistryStore, ForeignDatabasesAreRefused) {
  TempRoot root;
  RunSql(DatabasePath(root.path()), "CREATE TABLE things(x); PRAGMA user_version=42;");
  ScopedKey key;
  EXPECT_EQ(Code(ERROR_BADDB), CreateKey(HKEY_LOCAL_MACHINE, "Software", &key));

  // Marked as ours but without our tables.
  TempRoot second;
  RunSql(DatabasePath(second.path()), "CREATE TABLE things(x); PRAGMA user_version=1;");
  EXPECT_EQ(Code(ERROR_BADDB), CreateKey(HKEY_LOCAL_MACHINE, "Software", &key));
}

TEST(RegistryStore, DamagedPagesAreReportedNotFollowed) {
  TempRoot root;
  {
    ScopedKey key;
    ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vek", &key));
    std::string big(3000, 'v');
    for (int i = 0; i < 20; ++i)
      ASSERT_EQ(Code(ERROR_SUCCESS), SetString(key.get(), ("V" + std::to_string(i)).c_str(), big));
  }
  // Close the store (its log goes into the file), then overwrite every page but the first.
  TempDir elsewhere;
  SetMachineRoot(elsewhere.path());
  ScopedKey other;
  ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Other", &other));
  std::string path = DatabasePath(root.path());
  auto size = std::filesystem::file_size(path);
  ASSERT_GT(size, 8192u);
  {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(4096);
    file << std::string(size - 4096, '\xFF');
  }
  SetMachineRoot(root.path());

  ScopedKey key;
  LONG opened = RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Vek", key.out());
  EXPECT_TRUE(opened == Code(ERROR_REGISTRY_CORRUPT) || opened == Code(ERROR_BADDB)) << opened;
  EXPECT_EQ(nullptr, key.get());
  char name[16];
  LONG enumerated = RegEnumKeyA(HKEY_LOCAL_MACHINE, 0, name, sizeof name);
  EXPECT_TRUE(enumerated == Code(ERROR_REGISTRY_CORRUPT) || enumerated == Code(ERROR_BADDB))
      << enumerated;
  LONG written = SetDword(HKEY_LOCAL_MACHINE, "X", 1);
  EXPECT_NE(Code(ERROR_SUCCESS), written);
}

TEST(RegistryStore, ManyThreadsWriteAndReadTheirOwnKeys) {
  TempRoot root;
  constexpr int kThreads = 8;
  constexpr int kValues = 25;
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &failures] {
      ScopedKey key;
      std::string path = "Software\\Threads\\T" + std::to_string(t);
      if (CreateKey(HKEY_LOCAL_MACHINE, path.c_str(), &key) != Code(ERROR_SUCCESS)) ++failures;
      for (int i = 0; i < kValues; ++i) {
        std::string name = "V" + std::to_string(i);
        DWORD value = static_cast<DWORD>(t * 1000 + i);
        DWORD read = 0;
        if (SetDword(key.get(), name.c_str(), value) != Code(ERROR_SUCCESS)) ++failures;
        if (GetDword(key.get(), name.c_str(), &read) != Code(ERROR_SUCCESS) || read != value)
          ++failures;
        char sub[16];
        if (RegEnumKeyA(HKEY_LOCAL_MACHINE, 0, sub, sizeof sub) != Code(ERROR_SUCCESS)) ++failures;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(0, failures.load());

  ScopedKey parent;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Threads", parent.out()));
  DWORD subKeys = 0;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegQueryInfoKeyA(parent.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(static_cast<DWORD>(kThreads), subKeys);
}

}  // namespace
}  // namespace vek::test
