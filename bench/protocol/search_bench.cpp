// How soon a full search has every device in its list, and how long it takes in
// all (its budget is a fixed 11 s), against 1, 10 and 50 emulated print servers:
// half of them answer with multi-part replies, half with single ones.
//
//   bench_search [COUNT...]        default: 1 10 50
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "framework/framework.h"
#include "net/winsock.h"
#include "protocol/discovery.h"
#include "protocol/print_server_list.h"
#include "protocol/shared_settings.h"
#include "support/emulator_lab.h"
#include "support/loopback_subnet.h"

namespace {

using Clock = std::chrono::steady_clock;

const vek::framework::StringResource kStrings[] = {{IDS_FOUND_PREFIX, "Found "}};

// Notes when each "Found" text arrives.
class CFoundRecorder : public CWnd {
 public:
  std::vector<Clock::time_point> found;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_SETTEXT) found.push_back(Clock::now());
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

vek::emu::DeviceConfig Device(int i) {
  vek::emu::DeviceConfig d;
  d.mac = {0x02, 0x4E, 0x57, 0x60, static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)};
  d.name = "Bench " + std::to_string(i);
  d.capabilities = vek::emu::cap::kPortLength;
  if (i % 2 == 0) {
    d.capabilities |= vek::emu::cap::kWireless | vek::emu::cap::kSecurity | vek::emu::cap::kTextLength;
    d.partSize = 400;
  }
  return d;
}

bool Run(int count) {
  vek::emu::Emulator emulator;
  std::vector<vek::emu::DeviceConfig> devices;
  for (int i = 1; i <= count; i++) devices.push_back(Device(i));
  vek::test::LoopbackSubnet subnet;
  std::string message;
  if (!vek::test::StartEmulatorOnFreshSubnet(emulator, devices, &subnet, &message)) {
    std::fprintf(stderr, "bench_search: %s\n", message.c_str());
    return false;
  }
  vek::test::ScopedBroadcast broadcast(subnet.Broadcast());
  g_PrintServerList.DeleteAll();

  HWND owner = CreateWindowExA(0, nullptr, "search", WS_OVERLAPPED, 0, 0, 100, 50, nullptr, nullptr, nullptr, nullptr);
  HWND status = CreateWindowExA(0, nullptr, "", WS_CHILD, 0, 0, 10, 10, owner,
                                reinterpret_cast<HMENU>(PS_SEARCH_STATUS_ID), nullptr, nullptr);
  CFoundRecorder recorder;
  recorder.SubclassWindow(status);

  const auto start = Clock::now();
  if (!BeginDiscoveryThread(RUNTIME_CLASS(CUDPSearchPSThread), CWnd::FromHandle(owner))) return false;
  MSG msg;
  while (!WizardSettings::m_SearchDone) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  const auto end = Clock::now();
  while (CUDPDiscoveryThread::LiveCount() != 0) ::Sleep(1);

  const int listed = static_cast<int>(g_PrintServerList.GetCount());
  auto ms = [&](Clock::time_point t) { return std::chrono::duration<double, std::milli>(t - start).count(); };
  const double first = recorder.found.empty() ? -1 : ms(recorder.found.front());
  const double all = static_cast<int>(recorder.found.size()) >= count ? ms(recorder.found[static_cast<std::size_t>(count - 1)]) : -1;
  std::printf("%3d devices: %3d listed; first after %7.1f ms, all after %7.1f ms; search %8.1f ms\n", count, listed,
              first, all, ms(end));
  recorder.Detach();
  DestroyWindow(owner);
  g_PrintServerList.DeleteAll();
  emulator.Stop();
  return listed == count;
}

}  // namespace

int main(int argc, char** argv) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(1, 1), &data) != 0) return 1;
  vek::framework::RegisterStringTable(0x09, kStrings, 1);
  std::vector<int> counts;
  for (int i = 1; i < argc; i++) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {1, 10, 50};
  bool ok = true;
  for (int count : counts) ok = Run(count) && ok;
  WSACleanup();
  return ok ? 0 : 1;
}
