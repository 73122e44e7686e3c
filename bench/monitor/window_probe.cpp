#include "window_probe.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "emulator/print_host.h"

namespace vek::bench {

using printlab::Bytes;
using printlab::Form;

WindowRoundTrip MeasureWindowRoundTrip(const ProbeTarget& target, int rounds, std::string* message) {
  WindowRoundTrip result;
  const Form form{target.generation, target.transport};
  std::unique_ptr<printlab::Link> link;
  switch (target.transport) {
    case vek::emu::TransportKind::Udp: link = std::make_unique<printlab::UdpLink>(target.address); break;
    case vek::emu::TransportKind::Ipx: link = std::make_unique<printlab::IpxLink>(std::array<std::uint8_t, 4>{}, target.node); break;
    default: {
      auto netbios = std::make_unique<printlab::NetbiosLink>(target.ownNetbiosName, target.netbiosName);
      if (netbios->Added() != NRC_GOODRET) {
        *message = "the probe's NetBIOS name was not added";
        return result;
      }
      link = std::move(netbios);
    }
  }
  const auto isConnectAnswer = [&](const Bytes& b) { return printlab::IsAnswer(form, b, 0x8A); };
  std::optional<Bytes> answer;
  for (int attempt = 0; attempt < 5 && !answer; attempt++) {
    link->RestoreDevicePort();
    link->Send(printlab::Connect(form, target.port));
    answer = printlab::Expect(*link, isConnectAnswer, std::chrono::milliseconds(500));
  }
  if (!answer) {
    *message = "no connect answer";
    return result;
  }
  const printlab::ConnectAnswer a = printlab::ReadConnectAnswer(form, *answer);
  result.window = printlab::HostWindow(form, a.window);
  result.dataLength = printlab::HostDataLength(form, a.dataLength);
  if (!printlab::Expect(*link, [&](const Bytes& b) { return printlab::AckSequence(form, b) == 0; })) {
    *message = "no grant after the connect";
    return result;
  }
  const Bytes payload(static_cast<std::size_t>(result.dataLength), 0x55);
  std::vector<double> trips;
  std::uint8_t base = 0;
  for (int round = 0; round < rounds; round++) {
    std::vector<Bytes> window;
    for (int i = 0; i < result.window; i++)
      window.push_back(printlab::Data(form, target.port, static_cast<std::uint8_t>(base + i), payload));
    const std::uint8_t next = static_cast<std::uint8_t>(base + result.window);
    const auto start = std::chrono::steady_clock::now();
    for (const Bytes& packet : window) link->Send(packet);
    if (!printlab::Expect(*link, [&](const Bytes& b) { return printlab::AckSequence(form, b) == next; },
                          std::chrono::seconds(2))) {
      *message = "a window went unacknowledged";
      return result;
    }
    trips.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    base = next;
  }
  link->RestoreDevicePort();
  link->Send(printlab::EndOfJob(form, target.port));
  printlab::Expect(*link, [&](const Bytes& b) { return printlab::IsAnswer(form, b, 0x8C); }, std::chrono::seconds(1));
  std::nth_element(trips.begin(), trips.begin() + static_cast<std::ptrdiff_t>(trips.size() / 2), trips.end());
  result.medianUs = trips[trips.size() / 2];
  result.ok = true;
  return result;
}

}  // namespace vek::bench
