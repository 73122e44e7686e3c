// Scoped transactions: what is undone and what stays, other processes writing at
// the same time, and a process killed while one is open.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "kernel/machine_root.h"
#include "registry/registry.h"
#include "registry/subkey_values.h"
#include "registry/transaction.h"
#include "registry_test_support.h"
#include "support/temp_root.h"

namespace vek::test {
namespace {

using registry::Access;
using registry::Transaction;

constexpr const char* kRecords = "Software\\Records";

LONG Put(const char* path, const char* name, DWORD value) {
  ScopedKey key;
  if (LONG error = CreateKey(HKEY_LOCAL_MACHINE, path, &key)) return error;
  return SetDword(key.get(), name, value);
}

// The value, or 0 when it is missing.
DWORD Get(const char* path, const char* name) {
  ScopedKey key;
  DWORD value = 0;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, path, key.out()) != Code(ERROR_SUCCESS)) return 0;
  return GetDword(key.get(), name, &value) == Code(ERROR_SUCCESS) ? value : 0;
}

bool Exists(const char* path) {
  ScopedKey key;
  return RegOpenKeyA(HKEY_LOCAL_MACHINE, path, key.out()) == Code(ERROR_SUCCESS);
}

TEST(RegistryTransactions, UndoneWorkLeavesWhatWasCommittedAndInnerScopesUndoTheirOwn) {
  TempRoot root;
  ASSERT_EQ(Code(ERROR_SUCCESS), Put(kRecords, "A", 1));

  {
    Transaction outer;
    ASSERT_EQ(Code(ERROR_SUCCESS), outer.error());
    ASSERT_EQ(Code(ERROR_SUCCESS), Put(kRecords, "A", 2));
    ASSERT_EQ(Code(ERROR_SUCCESS), Put("Software\\Records\\New\\Deep", "B", 3));
    {
      Transaction inner;
      ASSERT_EQ(Code(ERROR_SUCCESS), Put(kRecords, "C", 4));
    }  // not committed: only C goes
    {
      Transaction kept;
      ASSERT_EQ(Code(ERROR_SUCCESS), Put(kRecords, "D", 5));
      ASSERT_EQ(Code(ERROR_SUCCESS), kept.Commit());
      EXPECT_NE(Code(ERROR_SUCCESS), kept.Commit()) << "a second commit";
    }
    // A call that fails inside undoes only itself.
    EXPECT_EQ(Code(ERROR_ACCESS_DENIED), RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Records\\New"));
    EXPECT_EQ(2u, Get(kRecords, "A"));
    EXPECT_EQ(0u, Get(kRecords, "C"));
    EXPECT_EQ(5u, Get(kRecords, "D"));
    EXPECT_EQ(3u, Get("Software\\Records\\New\\Deep", "B"));
  }  // the whole transaction is undone

  EXPECT_EQ(1u, Get(kRecords, "A"));
  EXPECT_EQ(0u, Get(kRecords, "D"));
  EXPECT_FALSE(Exists("Software\\Records\\New"));

  {
    Transaction outer;
    ASSERT_EQ(Code(ERROR_SUCCESS), Put(kRecords, "A", 6));
    {
      Transaction inner;
      ASSERT_EQ(Code(ERROR_SUCCESS), Put("Software\\Records\\Next", "E", 7));
      ASSERT_EQ(Code(ERROR_SUCCESS), inner.Commit());
    }
    ASSERT_EQ(Code(ERROR_SUCCESS), outer.Commit());
  }
  // Another process sees all of it.
  pid_t child = StartChild([] { return Get(kRecords, "A") == 6 && Get("Software\\Records\\Next", "E") == 7 ? 0 : 1; });
  EXPECT_EQ(0, WaitChild(child));

  // A transaction for reading refuses writes, and they change nothing.
  {
    Transaction reading(Access::Read);
    EXPECT_EQ(Code(ERROR_INVALID_FUNCTION), Put(kRecords, "A", 8));
    EXPECT_EQ(6u, Get(kRecords, "A"));
  }
  EXPECT_EQ(6u, Get(kRecords, "A"));

  // Without a machine root there is nothing to begin; the calls fail as before.
  SetMachineRoot(root.path() + "/absent");
  {
    Transaction nowhere;
    EXPECT_EQ(Code(ERROR_PATH_NOT_FOUND), nowhere.error());
    EXPECT_EQ(Code(ERROR_PATH_NOT_FOUND), Put(kRecords, "A", 9));
    EXPECT_EQ(Code(ERROR_PATH_NOT_FOUND), nowhere.Commit());
  }
  SetMachineRoot(root.path());
  EXPECT_EQ(6u, Get(kRecords, "A"));
}

// Writes rounds of records of several values each, one transaction a record.
int WriteRecords(int writer, int records) {
  for (int i = 0; i < records; ++i) {
    std::string path = std::string(kRecords) + "\\" + std::to_string(writer) + "-" + std::to_string(i);
    Transaction transaction;
    for (const char* name : {"First", "Second", "Third", "Last"})
      if (Put(path.c_str(), name, static_cast<DWORD>(writer * 1000 + i)) != Code(ERROR_SUCCESS)) return 1;
    if (transaction.Commit() != Code(ERROR_SUCCESS)) return 2;
  }
  return 0;
}

TEST(RegistryTransactions, ProcessesWritingRecordsAtOnceAllLandWhole) {
  TempRoot root;
  ASSERT_EQ(Code(ERROR_SUCCESS), Put(kRecords, "Start", 1));  // the database exists before the fork
  constexpr int kWriters = 3;
  constexpr int kEach = 60;
  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer)
    children.push_back(StartChild([writer] { return WriteRecords(writer, kEach); }));
  // This process writes too, meanwhile.
  EXPECT_EQ(0, WriteRecords(kWriters, kEach));
  for (pid_t child : children) EXPECT_EQ(0, WaitChild(child));

  ScopedKey records;
  ASSERT_EQ(Code(ERROR_SUCCESS), RegOpenKeyA(HKEY_LOCAL_MACHINE, kRecords, records.out()));
  std::vector<registry::SubKeyValues> read;
  const std::string_view two[] = {"First", "Last"};
  ASSERT_EQ(Code(ERROR_SUCCESS), registry::ReadSubKeyValues(records.get(), two, &read));
  ASSERT_EQ(static_cast<std::size_t>((kWriters + 1) * kEach), read.size());
  for (const registry::SubKeyValues& record : read) {
    ASSERT_EQ(2u, record.values.size()) << record.key.name;
    EXPECT_EQ("First", record.values[0].name);
    EXPECT_EQ(record.values[0].data, record.values[1].data) << record.key.name;
  }
}

TEST(RegistryTransactions, ProcessKilledInsideOneLeavesTheStoreAsItWasBefore) {
  TempRoot root;
  ASSERT_EQ(Code(ERROR_SUCCESS), Put(kRecords, "Before", 1));
  int fds[2];
  ASSERT_EQ(0, pipe(fds));
  pid_t child = StartChild([&fds] {
    close(fds[0]);
    if (WriteRecords(0, 5) != 0) return 1;  // committed
    Transaction open;
    for (int i = 0;; ++i) {
      std::string path = std::string(kRecords) + "\\Killed\\" + std::to_string(i);
      if (Put(path.c_str(), "Value", static_cast<DWORD>(i)) != Code(ERROR_SUCCESS)) return 2;
      if (i == 200 && write(fds[1], "w", 1) != 1) return 3;  // well inside: kill me
    }
  });
  close(fds[1]);
  char inside = 0;
  ASSERT_EQ(1, read(fds[0], &inside, 1));
  kill(child, SIGKILL);
  EXPECT_EQ(-1, WaitChild(child));
  close(fds[0]);

  EXPECT_EQ(1u, Get(kRecords, "Before"));
  EXPECT_EQ(4u, Get("Software\\Records\\0-4", "Last"));
  EXPECT_FALSE(Exists("Software\\Records\\Killed"));
  // The store takes writes again at once: the killed process held the write lock.
  EXPECT_EQ(Code(ERROR_SUCCESS), WriteRecords(1, 2));

  EXPECT_EQ("ok", IntegrityCheck(root.path() + "/registry.db"));
}

}  // namespace
}  // namespace vek::test
