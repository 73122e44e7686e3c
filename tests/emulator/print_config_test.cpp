// The configuration of the print side: the shipped example, the keys of printing,
// the router section, the faults of the print messages with their rates, and the
// seeded draws behind the rates.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "emulator/device_config.h"
#include "emulator/faults.h"

namespace {

using namespace vek::emu;

bool Parse(const std::string& text, EmulatorConfig* config, std::string* error) {
  return ParseEmulatorConfig(text, "print.conf", config, error);
}

const char* kMinimal = "[device]\nmac = 02:4E:57:00:00:01\naddress = 127.0.0.2\n";

TEST(PrintConfig, ShippedExampleHasEachGenerationOnEachTransport) {
  EmulatorConfig config;
  std::string error;
  ASSERT_TRUE(LoadEmulatorConfig(VEK_SOURCE_DIR "/emulator/examples/print-server.conf", &config, &error)) << error;
  ASSERT_EQ(config.devices.size(), 6u);
  int seen[2][3] = {};
  for (const DeviceConfig& d : config.devices) {
    const int transport = d.transports.udp ? 0 : d.transports.ipx ? 1 : 2;
    EXPECT_EQ(d.transports.udp + d.transports.ipx + d.transports.netbios, 1) << d.name;
    seen[d.generation][transport]++;
  }
  for (auto& generation : seen)
    for (int count : generation) EXPECT_EQ(count, 1);
  EXPECT_TRUE(config.router.enabled);
  ASSERT_EQ(config.router.routes.size(), 2u);
  EXPECT_EQ(FormatNetwork(config.router.routes[1].network), "0000BEEF");
  EXPECT_EQ(config.router.routes[1].hops, 2);
  EXPECT_EQ(config.router.routes[1].ticks, 4);
  EXPECT_EQ(config.spoolDir, "/tmp/vek-emulator-jobs");
  EXPECT_EQ(NetbiosNameOf(config.devices[2]), "NETBIOS-NET");
  EXPECT_EQ(config.devices[5].faults.size(), 2u);
  EXPECT_EQ(config.devices[5].seed, 7u);
}

TEST(PrintConfig, KeysOfPrinting) {
  EmulatorConfig config;
  std::string error;
  const std::string text =
      "[emulator]\n"
      "spool_dir = /tmp/jobs here\n"
      "netbios_lanas = 0, 2\n"
      "[router]\n"
      "network = 0000000A\n"
      "node = 02-00-00-00-00-09\n"
      "networks = 0000000A, 0000000B:3, 0000000C:4:9\n" +
      std::string(kMinimal) +
      "generation = 0\n"
      "transports = ipx, NetBIOS\n"
      "ipx_network = 12:34:56:78\n"
      "netbios_name = PRINTER-7\n"
      "data_length = 2000\n"
      "window = 12\n"
      "reack = 0\n"
      "ack_delay = 5\n"
      "ack_latency = 1000\n"
      "session_timeout = 1000\n"
      "stray_address = 127.0.0.99\n"
      "stray_node = 02:00:00:00:00:99\n"
      "port_word = 5\n"
      "search_flag = unflagged\n"
      "seed = 123456789\n"
      "faults = data:drop:2.5%, connect:busy*3, status:paper-out:2*4, ack:withhold:500, ack:other-port*1\n";
  ASSERT_TRUE(Parse(text, &config, &error)) << error;
  EXPECT_EQ(config.spoolDir, "/tmp/jobs here");
  EXPECT_EQ(config.netbiosLanas, (std::vector<int>{0, 2}));
  EXPECT_EQ(FormatNetwork(config.router.network), "0000000A");
  EXPECT_EQ(FormatMac(config.router.node), "02:00:00:00:00:09");
  ASSERT_EQ(config.router.routes.size(), 3u);
  EXPECT_EQ(config.router.routes[0].hops, 1) << "defaults";
  EXPECT_EQ(config.router.routes[0].ticks, 2);
  EXPECT_EQ(config.router.routes[1].hops, 3);
  EXPECT_EQ(config.router.routes[2].ticks, 9);
  const DeviceConfig& d = config.devices.at(0);
  EXPECT_EQ(d.generation, 0);
  EXPECT_FALSE(d.transports.udp);
  EXPECT_TRUE(d.transports.ipx);
  EXPECT_TRUE(d.transports.netbios);
  EXPECT_EQ(FormatNetwork(d.ipxNetwork), "12345678");
  EXPECT_EQ(NetbiosNameOf(d), "PRINTER-7");
  EXPECT_EQ(d.dataLength, 2000);
  EXPECT_EQ(d.window, 12) << "as offered; hosts take 8";
  EXPECT_EQ(d.reackMs, 0);
  EXPECT_EQ(d.ackDelayMs, 5);
  EXPECT_EQ(d.ackLatencyUs, 1000);
  EXPECT_EQ(d.sessionTimeoutMs, 1000);
  EXPECT_EQ(FormatIpv4(d.strayAddress), "127.0.0.99");
  EXPECT_EQ(d.strayNode[5], 0x99);
  EXPECT_EQ(d.portWord, 5);
  EXPECT_EQ(d.searchFlag, DeviceConfig::SearchFlag::Unflagged);
  EXPECT_EQ(d.seed, 123456789u);
  ASSERT_EQ(d.faults.size(), 5u);
  EXPECT_EQ(d.faults[0].message, MessageKind::Data);
  EXPECT_DOUBLE_EQ(d.faults[0].rate, 0.025);
  EXPECT_EQ(d.faults[1].fault, FaultKind::Busy);
  EXPECT_EQ(d.faults[1].times, 3);
  EXPECT_FALSE(d.faults[1].hasArgument);
  EXPECT_EQ(d.faults[2].fault, FaultKind::PaperOut);
  EXPECT_EQ(d.faults[2].argument, 2);
  EXPECT_TRUE(d.faults[2].hasArgument);
  EXPECT_EQ(d.faults[2].times, 4);
  EXPECT_EQ(d.faults[3].argument, 500);
  EXPECT_EQ(d.faults[4].fault, FaultKind::OtherPort);
}

TEST(PrintConfig, NamesAndDefaults) {
  DeviceConfig d;
  d.name = "A rather long device";
  EXPECT_EQ(NetbiosNameOf(d), "A rather long d") << "cut to 15";
  d.name = "Trailing  ";
  EXPECT_EQ(NetbiosNameOf(d), "Trailing");
  d.name.clear();
  d.mac = {0x02, 0x4E, 0x57, 0xAB, 0xCD, 0xEF};
  EXPECT_EQ(NetbiosNameOf(d), "VEKABCDEF");
  EXPECT_TRUE(d.transports.udp) << "UDP unless told otherwise";
  EXPECT_EQ(d.generation, 1);
}

TEST(PrintConfig, ErrorsOfThePrintKeys) {
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {std::string(kMinimal) + "generation = 2\n", "print.conf:4: generation: '2' is above 1"},
      {std::string(kMinimal) + "transports = ipx, carrier-pigeon\n", "unknown transport 'carrier-pigeon'"},
      {std::string(kMinimal) + "transports = \n", "a device needs a transport"},
      {std::string(kMinimal) + "ipx_network = FFFFFFFF\n", "is not an IPX network number"},
      {std::string(kMinimal) + "ipx_network = 00000000\n", "is not an IPX network number"},
      {std::string(kMinimal) + "ipx_network = 0102\n", "is not an IPX network number"},
      {std::string(kMinimal) + "netbios_name = *STAR\n", "does not start with '*'"},
      {std::string(kMinimal) + "netbios_name = SIXTEEN-LETTERS!\n", "1 to 15 characters"},
      {std::string(kMinimal) + "data_length = 0\n", "data_length: '0' is below 1"},
      {std::string(kMinimal) + "window = 256\n", "window: '256' is above 255"},
      {std::string(kMinimal) + "search_flag = sometimes\n", "not any, flagged or unflagged"},
      {std::string(kMinimal) + "faults = data:drop:11\n", "fault 'drop' takes no number"},
      {std::string(kMinimal) + "faults = data:drop:0%\n", "is not a rate above 0%"},
      {std::string(kMinimal) + "faults = data:drop:101%\n", "is not a rate above 0%"},
      {std::string(kMinimal) + "faults = data:drop:x%\n", "is not a rate"},
      {std::string(kMinimal) + "faults = search:busy\n", "fault 'busy' does not apply to search"},
      {std::string(kMinimal) + "faults = data:paper-out\n", "fault 'paper-out' does not apply to data"},
      {std::string(kMinimal) + "faults = ack:refuse\n", "fault 'refuse' does not apply to ack"},
      {std::string(kMinimal) + "faults = connect:impostor\n", "fault 'impostor' does not apply to connect"},
      {std::string(kMinimal) + "faults = eoj:truncated-ahead\n", "fault 'truncated-ahead' does not apply to eoj"},
      {std::string(kMinimal) + "faults = status:paper-out:1:5%\n", "fault 'paper-out' takes no rate"},
      {std::string(kMinimal) + "faults = ack:delay\n", "fault 'delay' takes a number"},
      {std::string(kMinimal) + "faults = print:drop\n", "unknown message kind 'print'"},
      {"[router]\nnetworks = 00000001:x\n" + std::string(kMinimal), "print.conf:2: networks: 'x' is not a number"},
      {"[router]\nspeed = fast\n", "print.conf:2: unknown key 'speed' in [router]"},
      {"[router]\n[router]\n", "print.conf:2: [router] given twice"},
      {"[emulator]\nnetbios_lanas = 255\n", "netbios_lanas: '255' is above 254"},
      {std::string(kMinimal) + "transports = netbios\nnetbios_name = SAME\n[device]\nmac = 02:4E:57:00:00:02\n"
                               "address = 127.0.0.3\ntransports = netbios\nnetbios_name = SAME\n",
       "print.conf:6: NetBIOS name \"SAME\" is taken by the device of line 1"},
  };
  for (const auto& c : cases) {
    EmulatorConfig config;
    std::string error;
    EXPECT_FALSE(Parse(c.text, &config, &error)) << c.text;
    EXPECT_NE(error.find(c.message), std::string::npos) << "error: " << error << "\nexpected: " << c.message;
  }
}

TEST(PrintFaults, RatesDrawFromTheSeedAndTimesStillCount) {
  std::vector<Fault> faults;
  std::string why;
  ASSERT_TRUE(ReadFaults("data:drop:10%, ack:duplicate:50%*3, data:delay:20:1%", &faults, &why)) << why;
  const auto draws = [&](std::uint64_t seed) {
    FaultSet set(faults, seed);
    std::vector<bool> hits;
    for (int i = 0; i < 2000; i++) hits.push_back(set.Take(MessageKind::Data, FaultKind::Drop));
    return hits;
  };
  const std::vector<bool> a = draws(42), b = draws(42), c = draws(43);
  EXPECT_EQ(a, b) << "the same seed, the same hits";
  EXPECT_NE(a, c);
  const int hits = static_cast<int>(std::count(a.begin(), a.end(), true));
  EXPECT_GT(hits, 140);
  EXPECT_LT(hits, 260) << "about a tenth of 2000";

  // Draws of one fault do not move those of another.
  FaultSet mixed(faults, 42);
  std::vector<bool> interleaved;
  for (int i = 0; i < 2000; i++) {
    mixed.Take(MessageKind::Ack, FaultKind::Duplicate);
    interleaved.push_back(mixed.Take(MessageKind::Data, FaultKind::Drop));
  }
  EXPECT_EQ(interleaved, a);

  FaultSet limited(faults, 1);
  int duplicates = 0;
  for (int i = 0; i < 1000; i++) duplicates += limited.Take(MessageKind::Ack, FaultKind::Duplicate);
  EXPECT_EQ(duplicates, 3) << "a rate does not lift the count";
  int delay = 0;
  while (!limited.Take(MessageKind::Data, FaultKind::Delay, &delay)) {
  }
  EXPECT_EQ(delay, 20);
}

TEST(PrintFaults, StatusFaultsHoldForTheirAnswers) {
  std::vector<Fault> faults;
  std::string why;
  ASSERT_TRUE(ReadFaults("status:paper-out:2*2, status:offline*1", &faults, &why)) << why;
  FaultSet set(faults);
  EXPECT_EQ(set.Arguments(MessageKind::Status, FaultKind::PaperOut), std::vector<int>{2});
  EXPECT_EQ(set.Arguments(MessageKind::Status, FaultKind::Offline), std::vector<int>{-1}) << "every port";
  set.TakeAll(MessageKind::Status, FaultKind::PaperOut);
  set.TakeAll(MessageKind::Status, FaultKind::Offline);
  EXPECT_TRUE(set.Has(MessageKind::Status, FaultKind::PaperOut));
  EXPECT_FALSE(set.Has(MessageKind::Status, FaultKind::Offline));
  set.TakeAll(MessageKind::Status, FaultKind::PaperOut);
  EXPECT_TRUE(set.Arguments(MessageKind::Status, FaultKind::PaperOut).empty());
  EXPECT_STREQ(MessageKindName(MessageKind::EndOfJob), "eoj");
}

}  // namespace
