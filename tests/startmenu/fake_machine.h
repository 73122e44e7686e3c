// A computer of the tests' own for the install decision: files by path, programs
// that start (or fail to) and are recorded by their command lines, and a clock that
// moves only as the decision lets the windows run. Scripted events happen at their
// time: the uninstaller removes the monitor's file, or ends without doing so.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "kernel/errors.h"
#include "startmenu/setup_machine.h"

namespace vek::test {

class FakeMachine : public XSetupMachine {
 public:
  struct Event {
    DWORD at;
    std::function<void()> what;
  };

  std::map<std::string, std::string> files;        // path -> text
  std::map<std::string, DWORD> failingPrograms;   // program path -> the error its start gives
  std::vector<std::string> started;                // command lines, in order
  std::vector<DWORD> startedAt;
  std::vector<std::string> messages;
  std::vector<Event> events;
  DWORD now = 0;
  int doEvents = 0;     // passes of the windows' events
  bool programsEnd = false;  // every started program has ended at once

  bool FileExists(const std::string& path) override { return files.count(path) > 0; }
  bool ReadTextFile(const std::string& path, std::string* text) override {
    auto it = files.find(path);
    if (it == files.end()) return false;
    *text = it->second;
    return true;
  }
  HANDLE StartProgram(const std::string& commandLine, DWORD* error) override {
    for (const auto& [program, failure] : failingPrograms) {
      if (commandLine.find("\"" + program + "\"") == 0) {
        *error = failure;
        return nullptr;
      }
    }
    started.push_back(commandLine);
    startedAt.push_back(now);
    *error = ERROR_SUCCESS;
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(started.size()));
  }
  bool HasEnded(HANDLE) override { return programsEnd; }
  void CloseProgram(HANDLE) override {}
  DWORD TickCount() override { return now; }
  void DoEvents(DWORD milliseconds) override {
    ++doEvents;
    now += milliseconds ? milliseconds : 1;
    for (Event& event : events) {
      if (event.what && now >= event.at) {
        auto what = std::move(event.what);
        event.what = nullptr;
        what();
      }
    }
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

}  // namespace vek::test
