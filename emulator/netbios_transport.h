// The devices on NetBIOS, on each LANA the emulator uses: every device holds a
// unique name of its own, and the emulator holds the print servers' discovery
// group name "QIMPrintServer" once for all of them (a process holds a name once
// per LANA). Several datagram receives stay pending on every name, each armed
// again as it completes, since the layer keeps no datagram that finds none.
// Devices answer from their unique name; stray datagrams come from the group
// name.
//
// A LANA this process has not reset yet is reset first; one it has is left as
// it is, so a test's own names on it survive.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "emulator/device.h"
#include "emulator/transport.h"
#include "net/netbios.h"

namespace vek::emu {

constexpr char kDiscoveryGroupName[] = "QIMPrintServer";

// A name as it goes on the wire: 16 bytes, padded with blanks.
std::array<std::uint8_t, 16> PaddedNetbiosName(const std::string& name);

class NetbiosTransport final : public DeviceTransport {
 public:
  NetbiosTransport(std::vector<std::unique_ptr<Device>>& devices, std::vector<int> lanas);
  ~NetbiosTransport() override;

  TransportKind Kind() const override { return TransportKind::Netbios; }
  bool Open(std::string* message, int* error) override;
  void Run(Sink sink) override;
  void Close() override;
  bool Send(std::size_t device, Via via, const Peer& to, std::span<const std::uint8_t> bytes) override;
  std::string Describe(std::size_t device) const override;

 private:
  static constexpr std::size_t kBuffer = 1500;  // the largest datagram
  static constexpr int kReceivesPerName = 8;

  // One pending receive; the NCB comes first, so the post routine finds its slot.
  struct Slot {
    NCB ncb;
    UCHAR buffer[kBuffer];
    NetbiosTransport* owner;
    int lana;
    UCHAR number;
    std::size_t device;  // kAllDevices: the group name
  };
  struct Received {
    int lana = 0;
    std::size_t device = 0;
    std::array<std::uint8_t, 16> from{};
    std::vector<std::uint8_t> bytes;
  };
  struct Lana {
    int lana = 0;
    UCHAR group = 0;
    std::map<std::size_t, UCHAR> names;  // device: name number
  };

  static void Posted(NCB* ncb);
  void Completed(Slot* slot);
  bool Arm(Slot* slot);
  void Work();
  void StopReceives();
  void RemoveNames();

  std::vector<std::unique_ptr<Device>>& m_devices;
  const std::vector<int> m_lanaNumbers;
  std::vector<Lana> m_lanas;
  std::vector<std::unique_ptr<Slot>> m_slots;
  std::atomic<bool> m_stopping{false};
  std::atomic<int> m_inPost{0};
  std::mutex m_queueLock;
  std::condition_variable m_queued;
  std::deque<Received> m_queue;
  bool m_workerStop = false;
  std::thread m_worker;
  Sink m_sink;
};

}  // namespace vek::emu
