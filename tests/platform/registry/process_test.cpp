// Several processes on one database: concurrent writers lose nothing, and a
// writer killed mid-write leaves every write it saw committed.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "registry/registry.h"
#include "registry_test_support.h"
#include "support/temp_root.h"

namespace vek::test {
namespace {

std::string Name(const char* prefix, int writer, int index) {
  return prefix + std::to_string(writer) + "-" + std::to_string(index);
}

DWORD Expected(int writer, int index) { return static_cast<DWORD>(writer * 100000 + index); }

TEST(RegistryProcesses, ConcurrentWritersLoseNothing) {
  TempRoot root;
  constexpr int kWriters = 3;
  constexpr int kValues = 200;
  constexpr int kKeys = 40;
  {
    // The parent has the store open before forking; each child must open its own.
    ScopedKey warm;
    ASSERT_EQ(Code(ERROR_SUCCESS), CreateKey(HKEY_LOCAL_MACHINE, "Software", &warm));
  }

  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer) {
    children.push_back(StartChild([writer] {
      ScopedKey shared;
      if (CreateKey(HKEY_LOCAL_MACHINE, "Software\\Shared\\Values", &shared) != Code(ERROR_SUCCESS))
        return 1;
      for (int i = 0; i < kValues; ++i) {
        if (SetDword(shared.get(), Name("v", writer, i).c_str(), Expected(writer, i)) !=
            Code(ERROR_SUCCESS))
          return 2;
        if (i < kKeys) {
          ScopedKey key;
          std::string path = "Software\\Shared\\Keys\\" + Name("k", writer, i);
          if (CreateKey(HKEY_LOCAL_MACHINE, path.c_str(), &key) != Code(ERROR_SUCCESS)) return 3;
        }
      }
      return 0;
    }));
  }
  for (pid_t child : children) EXPECT_EQ(0, WaitChild(child));

  ScopedKey values;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Shared\\Values", values.out()));
  DWORD count = 0;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegQueryInfoKeyA(values.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             &count, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(static_cast<DWORD>(kWriters * kValues), count);
  for (int writer = 0; writer < kWriters; ++writer) {
    for (int i = 0; i < kValues; ++i) {
      DWORD value = 0;
      ASSERT_EQ(Code(ERROR_SUCCESS), GetDword(values.get(), Name("v", writer, i).c_str(), &value));
      EXPECT_EQ(Expected(writer, i), value);
    }
  }
  ScopedKey keys;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Shared\\Keys", keys.out()));
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegQueryInfoKeyA(keys.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(static_cast<DWORD>(kWriters * kKeys), count);
}

// Writes until killed; after each committed write, reports its index on the pipe.
int WriteUntilKilled(int round, int pipeOut) {
  ScopedKey values;
  if (CreateKey(HKEY_LOCAL_MACHINE, "Software\\Killed\\Values", &values) != Code(ERROR_SUCCESS))
    return 1;
  for (int i = 0;; ++i) {
    // Several levels in one call: either all of them are there afterwards or none.
    std::string path = "Software\\Killed\\Keys\\" + Name("k", round, i) + "\\Level2\\Level3";
    ScopedKey key;
    if (CreateKey(HKEY_LOCAL_MACHINE, path.c_str(), &key) != Code(ERROR_SUCCESS)) return 2;
    if (SetDword(values.get(), Name("v", round, i).c_str(), Expected(round, i)) !=
        Code(ERROR_SUCCESS))
      return 3;
    if (write(pipeOut, &i, sizeof i) != sizeof i) return 4;
  }
}

bool ReadReport(int pipeIn, int* index) {
  return read(pipeIn, index, sizeof *index) == sizeof *index;
}

TEST(RegistryProcesses, KilledWriterLeavesEveryReportedWriteAndAConsistentStore) {
  TempRoot root;
  constexpr int kRounds = 4;
  std::vector<std::set<int>> reported(kRounds);
  for (int round = 0; round < kRounds; ++round) {
    int fds[2];
    ASSERT_EQ(0, pipe(fds));
    pid_t child = StartChild([round, &fds] {
      close(fds[0]);
      return WriteUntilKilled(round, fds[1]);
    });
    close(fds[1]);
    // Let it run a different number of writes each round, then kill it mid-stream.
    int index = 0;
    int wanted = 5 + round * 7;
    while (static_cast<int>(reported[round].size()) < wanted && ReadReport(fds[0], &index)) {
      reported[round].insert(index);
    }
    kill(child, SIGKILL);
    EXPECT_EQ(-1, WaitChild(child)) << "the writer stopped by itself";
    while (ReadReport(fds[0], &index)) reported[round].insert(index);
    close(fds[0]);
    ASSERT_GE(static_cast<int>(reported[round].size()), wanted);
  }

  ScopedKey values;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Killed\\Values", values.out()));
  for (int round = 0; round < kRounds; ++round) {
    for (int i : reported[round]) {
      DWORD value = 0;
      ASSERT_EQ(Code(ERROR_SUCCESS), GetDword(values.get(), Name("v", round, i).c_str(), &value))
          << round << " " << i;
      EXPECT_EQ(Expected(round, i), value);
    }
  }

  // Every key created survived whole, down to its last level.
  ScopedKey keys;
  ASSERT_EQ(Code(ERROR_SUCCESS),
            RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Killed\\Keys", keys.out()));
  char name[64];
  DWORD index = 0;
  for (; RegEnumKeyA(keys.get(), index, name, sizeof name) == Code(ERROR_SUCCESS); ++index) {
    ScopedKey deepest;
    std::string path = std::string(name) + "\\Level2\\Level3";
    EXPECT_EQ(Code(ERROR_SUCCESS), RegOpenKeyA(keys.get(), path.c_str(), deepest.out())) << name;
  }
  EXPECT_GE(index, static_cast<DWORD>(reported[0].size()));

  // And the file itself passes SQLite's own check.
  EXPECT_EQ("ok", IntegrityCheck(root.path() + "/registry.db"));
}

}  // namespace
}  // namespace vek::test
