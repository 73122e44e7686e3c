// The device's reading of the host's print messages and its answers, against
// byte vectors built from the message tables: both generations on every
// transport, the length word, the host's rules for the connect answer, the
// older generation's search answers, and datagrams that are not requests.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "emulator/device.h"
#include "emulator/legacy_reply.h"
#include "emulator/print_wire.h"
#include "print_host.h"

namespace {

using namespace printlab;
using vek::emu::Dialect;
using vek::emu::PrintOp;
using vek::emu::PrintRequest;

const TransportKind kTransports[] = {TransportKind::Udp, TransportKind::Ipx, TransportKind::Netbios};

PrintRequest Read(const Bytes& bytes, const Form& f, bool expectRead = true) {
  PrintRequest request;
  std::string problem;
  EXPECT_EQ(vek::emu::ReadPrintRequest(bytes, Dialect{f.generation, f.transport}, &request, &problem), expectRead)
      << problem;
  return request;
}

TEST(PrintWire, TheLengthWordRoundsItsHighByteUp) {
  EXPECT_EQ(vek::emu::EncodeLengthWord(1000), 0x04E8);
  EXPECT_EQ(vek::emu::EncodeLengthWord(1024), 0x0400);
  EXPECT_EQ(vek::emu::EncodeLengthWord(1), 0x0101);
  EXPECT_EQ(vek::emu::EncodeLengthWord(0), 0x0000);
  EXPECT_EQ(vek::emu::EncodeLengthWord(1450), 0x06AA);
  for (int n = 0; n <= 1500; n++) {
    EXPECT_EQ(vek::emu::EncodeLengthWord(n), LengthWord(n)) << n;
    int back = -1;
    ASSERT_TRUE(vek::emu::DecodeLengthWord(LengthWord(n), &back)) << n;
    EXPECT_EQ(back, n);
  }
  int ignored;
  EXPECT_FALSE(vek::emu::DecodeLengthWord(0x0005, &ignored)) << "a remainder without its block";
}

TEST(PrintWire, EachRequestOfEachGenerationAndTransportIsRead) {
  const Bytes payload = Pattern(777);
  for (int generation : {0, 1}) {
    for (TransportKind t : kTransports) {
      const Form f{generation, t};
      SCOPED_TRACE(std::to_string(generation) + " " + vek::emu::TransportName(t));
      EXPECT_EQ(Read(Status(f), f).op, PrintOp::Status);
      PrintRequest connect = Read(Connect(f, 3), f);
      EXPECT_EQ(connect.op, PrintOp::Connect);
      EXPECT_EQ(connect.port, 3);
      EXPECT_EQ(connect.command, generation == 1 ? 0x080A : 0x000A);
      const Bytes data = Data(f, 2, 201, payload);
      EXPECT_EQ(data.size(), payload.size() + 12);
      PrintRequest packet = Read(data, f);
      EXPECT_EQ(packet.op, PrintOp::Data);
      EXPECT_EQ(packet.port, 2);
      EXPECT_EQ(packet.sequence, 201);
      EXPECT_TRUE(Bytes(packet.data.begin(), packet.data.end()) == payload);
      EXPECT_EQ(packet.padding, generation == 1 ? 1u : 3u);
      PrintRequest end = Read(EndOfJob(f, 1), f);
      EXPECT_EQ(end.op, PrintOp::EndOfJob);
      EXPECT_EQ(end.port, 1);
      EXPECT_TRUE(end.endOfJobText);
      Bytes bare = EndOfJob(f, 1);
      std::fill(bare.begin() + static_cast<std::ptrdiff_t>(f.F() + 1), bare.end(), 0);
      EXPECT_FALSE(Read(bare, f).endOfJobText);
    }
  }
}

TEST(PrintWire, ADeviceHearsOnlyItsOwnGenerationsHeaders) {
  const Form net{1, TransportKind::Udp}, older{0, TransportKind::Udp}, netbios0{0, TransportKind::Netbios};
  EXPECT_EQ(Read(Status(older), net, false).op, PrintOp::None);
  EXPECT_EQ(Read(Status(net), older, false).op, PrintOp::None);
  EXPECT_EQ(Read(Status(older), netbios0, false).op, PrintOp::None) << "\"QI\" is not the NetBEUI pair";
  // On NetBIOS each pair carries its own operations.
  Bytes dataUnderControl = Data(netbios0, 1, 0, Pattern(10));
  dataUnderControl[0] = dataUnderControl[1] = 0x50;
  EXPECT_EQ(Read(dataUnderControl, netbios0, false).op, PrintOp::Other);
  Bytes statusUnderData = Status(netbios0);
  statusUnderData[0] = statusUnderData[1] = 0x60;
  EXPECT_EQ(Read(statusUnderData, netbios0, false).op, PrintOp::Other);
  Bytes mixedPair = Status(netbios0);
  mixedPair[1] = 0x60;
  EXPECT_EQ(Read(mixedPair, netbios0, false).op, PrintOp::None);
}

TEST(PrintWire, TheSearchesOfEachTransport) {
  for (TransportKind t : kTransports) {
    const Form net{1, t}, older{0, t};
    EXPECT_EQ(Read(NetSearch(0x0004), net).op, PrintOp::Search);
    EXPECT_EQ(Read(OlderSearch(t), older).op, PrintOp::Search) << vek::emu::TransportName(t);
  }
  const Form udp0{0, TransportKind::Udp};
  PrintRequest flagged = Read(OlderSearch(TransportKind::Udp, 0x0100), udp0);
  EXPECT_EQ(flagged.op, PrintOp::Search);
  EXPECT_EQ(flagged.command, 0x0100);
  EXPECT_EQ(Read(OlderSearch(TransportKind::Udp, 0x0000), udp0).op, PrintOp::Search);
  Bytes ipxForm = OlderSearch(TransportKind::Ipx);
  EXPECT_EQ(Read(ipxForm, udp0).op, PrintOp::Other) << "the IPX search is not one on UDP";
}

TEST(PrintWire, TheHostsRulesForTheConnectAnswer) {
  using vek::emu::GrantedDataLength;
  using vek::emu::GrantedWindow;
  const Dialect udp{1, TransportKind::Udp}, ipx{1, TransportKind::Ipx}, netbios{1, TransportKind::Netbios};
  EXPECT_EQ(GrantedDataLength(udp, 2000), 1450);
  EXPECT_EQ(GrantedWindow(udp, 12), 8);
  EXPECT_EQ(GrantedDataLength(udp, 500), 1024);
  EXPECT_EQ(GrantedWindow(udp, 0), 1);
  EXPECT_EQ(GrantedDataLength(ipx, 1450), 1400);
  EXPECT_EQ(GrantedDataLength(netbios, 1300), 1000);
  EXPECT_EQ(GrantedDataLength(netbios, 500), 1000);
  EXPECT_EQ(GrantedDataLength(Dialect{0, TransportKind::Udp}, 1450), 1024);
  EXPECT_EQ(GrantedDataLength(Dialect{0, TransportKind::Netbios}, 1450), 1000);
  EXPECT_EQ(GrantedWindow(Dialect{0, TransportKind::Ipx}, 8), 1);
  for (int offered : {0, 1, 500, 1023, 1024, 1400, 1450, 2000, 65535})
    for (TransportKind t : kTransports)
      for (int g : {0, 1})
        EXPECT_EQ(GrantedDataLength(Dialect{g, t}, offered), HostDataLength(Form{g, t}, offered));
}

TEST(PrintWire, AnswersCarryTheirFieldsWhereTheHostReadsThem) {
  for (int generation : {0, 1}) {
    for (TransportKind t : kTransports) {
      const Form f{generation, t};
      const Dialect d{generation, t};
      SCOPED_TRACE(std::to_string(generation) + " " + vek::emu::TransportName(t));
      const Bytes connect = vek::emu::BuildConnectAnswer(d, 2, 0x10, 1300, 6);
      ASSERT_TRUE(IsAnswer(f, connect, 0x8A));
      const ConnectAnswer a = ReadConnectAnswer(f, connect);
      EXPECT_EQ(a.status, 0x10);
      if (generation == 1) {
        EXPECT_EQ(a.dataLength, 1300);
        EXPECT_EQ(a.window, 6);
      }
      const Bytes ack = vek::emu::BuildAck(d, 2, 0xFE);
      EXPECT_EQ(AckSequence(f, ack), 0xFE);
      EXPECT_FALSE(AckSequence(f, vek::emu::BuildAck(d, 2, 0xFE, vek::emu::AckForm::ZeroFlag)));
      const Bytes cut = vek::emu::BuildAck(d, 2, 0xFE, vek::emu::AckForm::Truncated);
      EXPECT_EQ(cut.size(), generation == 1 ? 9u : 7u) << "ends before its flag byte";
      EXPECT_FALSE(AckSequence(f, cut));
      EXPECT_TRUE(IsAnswer(f, vek::emu::BuildEndOfJobAnswer(d, 1), 0x8C));
      const Bytes status = vek::emu::BuildStatusAnswer(d, 0x34, 0x12);
      ASSERT_TRUE(IsAnswer(f, status, 0x88));
      EXPECT_EQ(status[f.F()], 0x34);
      const Bytes stray = vek::emu::BuildStrayDatagram(d, 1, 5);
      for (std::uint8_t code : {0x88, 0x8A, 0x8B, 0x8C}) EXPECT_FALSE(IsAnswer(f, stray, code));
      if (f.Netbios0()) {
        EXPECT_EQ(connect[0], 0x50);
        EXPECT_EQ(ack[0], 0x60) << "acknowledgements carry the data pair";
        EXPECT_EQ(status[0], 0x50);
      }
    }
  }
}

TEST(PrintWire, TheOlderGenerationsSearchAnswers) {
  vek::emu::DeviceConfig d;
  d.mac = {0x02, 0x4E, 0x57, 0x01, 0x02, 0x03};
  d.name = "Older device name!";  // 18 characters
  d.firmwareMajor = 3;
  d.firmwareMinor = 0x21;
  d.model = 9;
  d.ports = 2;
  d.address = 0x7F0A0B0C;
  const Bytes mac(d.mac.begin(), d.mac.end());
  const auto text = [](const Bytes& b, std::size_t at) { return std::string(b.begin() + at, b.begin() + at + 18); };
  const auto slice = [](const Bytes& b, std::size_t at, std::size_t n) { return Bytes(b.begin() + at, b.begin() + at + n); };

  const Bytes ipx = vek::emu::BuildLegacyIpxSearchAnswer(d);
  ASSERT_GE(ipx.size(), 0x1E3u);
  EXPECT_EQ(slice(ipx, 0, 3), (Bytes{'Q', 'I', 0x84}));
  EXPECT_EQ(text(ipx, 0x04), d.name);
  EXPECT_EQ(slice(ipx, 0x16, 6), mac);
  EXPECT_EQ(ipx[0x1DB], 3);
  EXPECT_EQ(ipx[0x1DC], 0x21);
  EXPECT_EQ(ipx[0x1E1] | ipx[0x1E2] << 8, 2);

  const Bytes udp = vek::emu::BuildLegacyUdpSearchAnswer(d);
  ASSERT_GE(udp.size(), 0x200u);
  EXPECT_EQ(slice(udp, 0, 3), (Bytes{'Q', 'I', 0x80}));
  EXPECT_EQ(slice(udp, 0x06, 6), mac);
  EXPECT_EQ(udp[0x0C], 9) << "a model above 7: the count at 0x1F3";
  EXPECT_EQ(static_cast<std::int8_t>(udp[0x1F3]), 2);
  EXPECT_EQ(udp[0x15], 3) << "major";
  EXPECT_EQ(udp[0x14], 0x21) << "minor";
  EXPECT_EQ(text(udp, 0x48), d.name);
  EXPECT_EQ(slice(udp, 0x1FC, 4), (Bytes{0x7F, 0x0A, 0x0B, 0x0C}));

  d.portWord = 5;
  const Bytes netbios = vek::emu::BuildLegacyNetbiosSearchAnswer(d);
  ASSERT_GE(netbios.size(), 0x20u);
  EXPECT_EQ(slice(netbios, 0, 2), (Bytes{0x70, 0x70}));
  EXPECT_EQ(text(netbios, 0x04), d.name);
  EXPECT_EQ(slice(netbios, 0x16, 6), mac);
  EXPECT_EQ(netbios[0x1C], 3);
  EXPECT_EQ(netbios[0x1D], 0x21);
  EXPECT_EQ(netbios[0x1E] | netbios[0x1F] << 8, 5) << "as configured, for the host's own reading";
}

TEST(PrintWire, RandomDatagramsAreReadWithoutHarm) {
  std::mt19937 random(5);
  const std::vector<Bytes> seeds = {Data(Form{1, TransportKind::Udp}, 1, 0, Pattern(300)),
                                    Data(Form{0, TransportKind::Netbios}, 1, 0, Pattern(300)),
                                    EndOfJob(Form{0, TransportKind::Ipx}, 1), Connect(Form{1, TransportKind::Ipx}, 1)};
  for (int round = 0; round < 20000; round++) {
    Bytes b = seeds[static_cast<std::size_t>(round) % seeds.size()];
    b.resize(random() % (b.size() + 8));
    for (int flips = static_cast<int>(random() % 4); flips > 0 && !b.empty(); flips--)
      b[random() % b.size()] = static_cast<std::uint8_t>(random());
    for (int g : {0, 1})
      for (TransportKind t : kTransports) {
        PrintRequest request;
        std::string problem;
        if (vek::emu::ReadPrintRequest(b, Dialect{g, t}, &request, &problem) && request.op == PrintOp::Data) {
          ASSERT_GE(request.data.data(), b.data());
          ASSERT_LE(request.data.data() + request.data.size(), b.data() + b.size());
        }
      }
  }
}

TEST(PrintWire, ADeviceTakesRandomDatagramsOnEveryTransportWithoutHarm) {
  std::mt19937 random(11);
  for (int generation : {0, 1}) {
    vek::emu::DeviceConfig config;
    config.generation = generation;
    config.ports = 3;
    config.faults = {{vek::emu::MessageKind::Data, vek::emu::FaultKind::Reorder, 0, -1, false, 0.2},
                     {vek::emu::MessageKind::Ack, vek::emu::FaultKind::Stray, 0, -1, false, 0.2}};
    vek::emu::Device device(config);
    auto now = std::chrono::steady_clock::now();
    for (TransportKind t : kTransports) {
      const Form f{generation, t};
      const std::vector<Bytes> seeds = {Connect(f, 1), Data(f, 1, 0, Pattern(900)), Data(f, 2, 3, Pattern(10)),
                                        EndOfJob(f, 1), Status(f), OlderSearch(t), NetSearch()};
      vek::emu::Peer peer = t == TransportKind::Udp   ? vek::emu::UdpPeer(0x7F000001, 999)
                            : t == TransportKind::Ipx ? vek::emu::IpxPeer({0, 0, 0, 1}, {2, 0, 0, 0, 0, 1}, 0x4000)
                                                      : vek::emu::NetbiosPeer(0, Padded("HOST"));
      for (int round = 0; round < 3000; round++) {
        Bytes b = seeds[static_cast<std::size_t>(round) % seeds.size()];
        if (round % 3 != 0) {
          b.resize(random() % (b.size() + 4));
          for (int flips = static_cast<int>(random() % 3); flips > 0 && !b.empty(); flips--)
            b[random() % b.size()] = static_cast<std::uint8_t>(random());
        }
        vek::emu::Inbound in;
        in.from = peer;
        in.bytes = b;
        now += std::chrono::milliseconds(random() % 30);
        device.Receive(in, now);
        device.Tick(now);
      }
    }
    device.Shutdown(now);
    EXPECT_GT(device.PrintCounts().jobsStarted, 0);
  }
}

}  // namespace
