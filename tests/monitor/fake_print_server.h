// A small print server for the monitor's tests: one device with one printer port
// on loopback, over UDP, the IPX segment or the NetBIOS segment, speaking the print
// protocol of either generation from the device's side (connect, windowed data,
// acknowledgements, status, end of job). Over NetBIOS it holds a unique name and
// the group name "QIMPrintServer", answers from its unique name, and an older
// device takes the NetBEUI magics. Each finished job's bytes are kept. Faults can be injected:
// loss, duplicates and reordering of data packets, lost acknowledgements, busy
// and refused connects, silence, a status byte, truncated acknowledgements, and
// stray acknowledgements from another address.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "kernel/types.h"
#include "net/netbios.h"
#include "net/winsock.h"

namespace vek::test {

struct FakeServerOptions {
  int model = 1;        // 0: "QI" device, 1: "NET" device
  bool ipx = false;     // UDP/IP otherwise
  // NetBIOS datagrams. A monitor of the same process resets the LANA when it
  // probes its transports: start the device after that.
  bool netbios = false;
  std::string netbiosName;  // NetBIOS: the device's unique name (at most 16 characters)
  int lana = 0;             // NetBIOS: the LANA it is on
  std::uint32_t address = 0;  // UDP: host order, 127.x.y.z
  std::uint8_t network[4] = {};
  std::uint8_t node[6] = {};
  int portId = 1;
  int offeredLength = 1450;
  int offeredWindow = 8;
  int busyReplies = 0;    // connects answered busy first; -1: always
  bool refuse = false;    // generation 1: connects refused
  bool silent = false;    // connects never answered
  std::uint8_t statusByte = 0;
  double dropRate = 0;       // data packets and acknowledgements lost
  double duplicateRate = 0;  // data packets seen twice
  double reorderRate = 0;    // data packets held back behind the next one
  std::uint32_t seed = 1;
  int idleResendMs = 10;     // the last acknowledgement again after this much quiet
  bool truncatedAcks = false;  // each acknowledgement is preceded by a cut-off copy
  bool strayAcks = false;      // another address sends acknowledgements to the monitor
  int ackLimit = -1;           // acknowledgements sent per job before it withholds them
  // UDP: where the stray sender lives (host order); IPX: its node is derived.
  std::uint32_t strayAddress = 0;
};

class FakePrintServer {
 public:
  FakePrintServer() = default;
  ~FakePrintServer();
  FakePrintServer(const FakePrintServer&) = delete;
  FakePrintServer& operator=(const FakePrintServer&) = delete;

  bool Start(const FakeServerOptions& options, std::string* error);
  void Stop();

  // Jobs ended with the end-of-job message, in order.
  std::vector<std::string> Jobs();
  bool WaitForJobs(std::size_t count, int timeoutMs);
  int Connects() const { return m_connects; }
  int StatusQueries() const { return m_statusQueries; }
  int DataPackets() const { return m_dataPackets; }
  // The data lengths of the packets seen (the monitor's packet sizes).
  int LargestPacket() const { return m_largest; }

 private:
  // A sender: its socket address, or on NetBIOS its 16-byte name.
  using Address = std::vector<std::uint8_t>;
  // One receive kept pending on the device's unique name.
  struct NetbiosReceive {
    NCB ncb{};
    HANDLE event = nullptr;
    std::vector<std::uint8_t> buffer;
  };

  bool StartNetbios(std::string* error);
  void StopNetbios();
  bool ArmReceive(NetbiosReceive& receive);
  // One datagram within a few milliseconds; its length, or 0.
  int ReceiveOne(std::vector<std::uint8_t>& buffer, Address* from);
  void Serve();
  void Handle(const std::uint8_t* data, int length, const Address& from);
  void HandleData(const std::uint8_t* data, int length);
  void SendAck();
  void Reply(const std::vector<std::uint8_t>& bytes, const Address& to);
  std::vector<std::uint8_t> Header(std::uint8_t code, bool dataKind) const;
  bool Chance(double rate);

  FakeServerOptions m_options;
  SOCKET m_socket = INVALID_SOCKET;
  SOCKET m_stray = INVALID_SOCKET;
  std::thread m_thread;
  std::atomic<bool> m_stop{false};
  bool m_winsock = false;
  std::mt19937 m_random;

  // NetBIOS.
  std::vector<std::unique_ptr<NetbiosReceive>> m_receives;  // in the order armed
  std::size_t m_nextReceive = 0;  // the one that completes first
  UCHAR m_nameNumber = 0;
  bool m_uniqueAdded = false;
  bool m_groupAdded = false;

  // The job in progress (serving thread only).
  bool m_jobActive = false;
  std::uint8_t m_expected = 0;   // next sequence in order
  std::uint8_t m_windowBase = 0;  // the last acknowledged sequence
  int m_window = 1;
  int m_dataLength = 1024;
  std::string m_current;
  std::vector<std::uint8_t> m_held;  // a reordered packet
  Address m_printAddress;  // the monitor's print socket
  int m_busyLeft = 0;
  int m_acksSent = 0;
  std::uint64_t m_lastReceive = 0;
  std::uint64_t m_lastAck = 0;

  std::mutex m_lock;
  std::condition_variable m_changed;
  std::vector<std::string> m_jobs;
  std::atomic<int> m_connects{0};
  std::atomic<int> m_statusQueries{0};
  std::atomic<int> m_dataPackets{0};
  std::atomic<int> m_largest{0};
};

}  // namespace vek::test
