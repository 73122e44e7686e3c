// Configuration files of the emulator: the shipped example, values of every kind,
// and errors that name their line.
#include <gtest/gtest.h>

#include <string>

#include "emulator/device_config.h"

namespace {

using namespace vek::emu;

bool Parse(const std::string& text, EmulatorConfig* config, std::string* error) {
  return ParseEmulatorConfig(text, "test.conf", config, error);
}

const char* kMinimal = "[device]\nmac = 02:4E:57:00:00:01\naddress = 127.0.0.2\n";

TEST(EmulatorConfig, ShippedExampleDescribesTwoDevices) {
  EmulatorConfig config;
  std::string error;
  ASSERT_TRUE(LoadEmulatorConfig(VEK_SOURCE_DIR "/emulator/examples/two-devices.conf", &config, &error)) << error;
  EXPECT_EQ(config.broadcast, "127.255.255.255");
  ASSERT_EQ(config.devices.size(), 2u);
  const DeviceConfig& office = config.devices[0];
  EXPECT_EQ(FormatMac(office.mac), "02:4E:57:10:00:01");
  EXPECT_EQ(FormatIpv4(office.address), "127.0.0.2");
  EXPECT_EQ(office.name, "Office");
  EXPECT_EQ(office.firmwareMajor, 1);
  EXPECT_EQ(office.firmwareMinor, 0x0B);
  EXPECT_EQ(office.ports, 1);
  EXPECT_EQ(office.capabilities, cap::kPortLength);
  EXPECT_EQ(office.portNames[0], "Laser");
  EXPECT_EQ(office.portTypes[0], 1);
  const DeviceConfig& lab = config.devices[1];
  EXPECT_EQ(lab.name, "Lab wireless");
  EXPECT_EQ(lab.firmwareMinor, 0x1A);
  EXPECT_EQ(lab.firmwareText, "2.10a-wpa2");
  EXPECT_EQ(lab.ports, 3);
  EXPECT_EQ(lab.capabilities & (cap::kWireless | cap::kSecurity | cap::kSecureConfig),
            cap::kWireless | cap::kSecurity | cap::kSecureConfig);
  EXPECT_EQ(lab.wireless.ssid, "lab net");
  EXPECT_EQ(lab.wireless.commType, 0) << "an access point's network: Infrastructure in the wizard";
  EXPECT_EQ(WirelessSettings{}.commType, 0) << "a device by default joins an access point";
  EXPECT_EQ(lab.security.wpaPsk, "correct horse battery staple");
  EXPECT_EQ(lab.portTypes, (std::array<std::uint8_t, 3>{1, 2, 0}));
  EXPECT_TRUE(lab.digitsGiven);
  EXPECT_EQ(lab.portDigits, (std::array<std::uint8_t, 3>{1, 2, 3}));
  EXPECT_EQ(lab.systemFlags, 0x04) << "it answers the port-information query";
  EXPECT_EQ(lab.portInfo[1], (std::array<std::string, 3>{"Inkjet", "USB", "paper low"}));
  EXPECT_EQ(office.portInfo[0], (std::array<std::string, 3>{}));
  EXPECT_TRUE(lab.rsaModulus.empty()) << "the device makes its key at start";
  EXPECT_EQ(lab.rsaBits, 1024);
  EXPECT_EQ(config.dhcpPool.size(), 10u);
  EXPECT_TRUE(lab.dhcp);
}

TEST(EmulatorConfig, ValuesOfEveryKind) {
  EmulatorConfig config;
  std::string error;
  const std::string text =
      "# leading comment\n"
      "[emulator]\n"
      "broadcast = 127.9.8.255\n"
      "\n"
      "[device]\n"
      "MAC = 02-4e-57-0a-0b-0c ; not a comment here: dashes are fine\n";
  EXPECT_FALSE(Parse(text, &config, &error)) << "';' inside a value is part of it";
  const std::string good =
      "[device]\n"
      "mac = 02-4e-57-0a-0b-0c\n"
      "address = 127.9.8.7   # the device's own\n"
      "name = \"spaced # name \"\n"
      "password = \"q\\\"t\" # quoted with an escape\n"
      "capabilities = 0x4000 | security, tx-mode 0x1\n"
      "ssid = plain text\n"
      "wep_key64 = 0102030405, aa:bb:cc:dd:ee\n"
      "wep_key128 = 00112233445566778899aabbcc\n"
      "dhcp = yes\n"
      "port_types = U, p, 3\n"
      "port_values = 0, 1, 2\n"
      "port_info2 = \"  Label printer , USB,\"\n"
      "system_flags = 0x04\n"
      "sixth = de ad be ef\n"
      "subnet = 255.255.0.0\n"
      "port_status = 0x55\n"
      "faults = search-multi:lose-part:2*1, block:ack-non-last, secure:delay:6000, port-info:drop*2, "
      "restart:ignore*2, search-multi:flood:70\n"
      "search_replies = both\n"
      "part_size = 100\n"
      "restart_silence = 300\n"
      "key_answer = 6\n";
  ASSERT_TRUE(Parse(good, &config, &error)) << error;
  const DeviceConfig& d = config.devices.at(0);
  EXPECT_EQ(FormatMac(d.mac), "02:4E:57:0A:0B:0C");
  EXPECT_EQ(d.address, 0x7F090807u);
  EXPECT_EQ(d.name, "spaced # name ");
  EXPECT_EQ(d.password, "q\"t");
  EXPECT_EQ(d.capabilities, cap::kWireless | cap::kSecurity | cap::kTxMode | 1u);
  EXPECT_EQ(d.wireless.ssid, "plain text");
  EXPECT_EQ(d.wireless.wepKeys64[1][4], 0xEE);
  EXPECT_EQ(d.wireless.wepKey128[12], 0xCC);
  EXPECT_TRUE(d.dhcp);
  EXPECT_EQ(d.portTypes, (std::array<std::uint8_t, 3>{2, 1, 3}));
  EXPECT_EQ(d.portValues, (std::array<std::uint8_t, 3>{0, 1, 2}));
  EXPECT_EQ(d.portInfo[0], (std::array<std::string, 3>{})) << "not given: empty texts";
  EXPECT_EQ(d.portInfo[1], (std::array<std::string, 3>{"Label printer", "USB", ""}));
  EXPECT_EQ(d.systemFlags, 0x04);
  EXPECT_EQ(d.sixth, (std::vector<std::uint8_t>{0xDE, 0xAD, 0xBE, 0xEF}));
  EXPECT_EQ(d.subnetMask, 0xFFFF0000u);
  EXPECT_EQ(d.portStatus, 0x55);
  EXPECT_FALSE(d.digitsGiven);
  ASSERT_EQ(d.faults.size(), 6u);
  EXPECT_EQ(d.faults[0].message, MessageKind::SearchMulti);
  EXPECT_EQ(d.faults[0].fault, FaultKind::LosePart);
  EXPECT_EQ(d.faults[0].argument, 2);
  EXPECT_EQ(d.faults[0].times, 1);
  EXPECT_EQ(d.faults[1].fault, FaultKind::AckNonLast);
  EXPECT_EQ(d.faults[1].times, -1);
  EXPECT_EQ(d.faults[2].argument, 6000);
  EXPECT_EQ(d.faults[3].message, MessageKind::PortInfo);
  EXPECT_EQ(d.faults[3].fault, FaultKind::Drop);
  EXPECT_EQ(d.faults[3].times, 2);
  EXPECT_EQ(d.faults[4].message, MessageKind::Restart);
  EXPECT_EQ(d.faults[4].fault, FaultKind::Ignore);
  EXPECT_EQ(d.faults[4].times, 2);
  EXPECT_EQ(d.faults[5].fault, FaultKind::Flood);
  EXPECT_EQ(d.faults[5].argument, 70);
  EXPECT_TRUE(UsesStrayAddress(d.faults)) << "the flood comes from the stray address";
  EXPECT_EQ(d.searchReplies, DeviceConfig::SearchReplies::Both);
  EXPECT_EQ(d.partSize, 100u);
  EXPECT_EQ(d.restartSilenceMs, 300);
  EXPECT_EQ(d.keyAnswer, 6);
}

// One section for many devices: each copy's MAC and address one above the last.
TEST(EmulatorConfig, CopiesPlayManyDevices) {
  EmulatorConfig config;
  std::string error;
  ASSERT_TRUE(Parse("[device]\nmac = 02:4E:57:00:00:FE\naddress = 127.9.0.254\ncopies = 300\n"
                    "faults = status:drop\n[device]\nmac = 02:4E:57:10:00:00\naddress = 127.9.8.1\n",
                    &config, &error))
      << error;
  ASSERT_EQ(config.devices.size(), 301u);
  EXPECT_EQ(FormatMac(config.devices[2].mac), "02:4E:57:00:01:00");
  EXPECT_EQ(FormatIpv4(config.devices[2].address), "127.9.1.0");
  EXPECT_EQ(FormatIpv4(config.devices[299].address), "127.9.2.41");
  EXPECT_EQ(config.devices[299].faults.size(), 1u);
  EXPECT_EQ(FormatMac(config.devices[300].mac), "02:4E:57:10:00:00");
  EXPECT_FALSE(Parse("[device]\nmac = 02:4E:57:00:00:01\naddress = 127.9.0.1\ncopies = 3\n"
                     "[device]\nmac = 02:4E:57:00:01:00\naddress = 127.9.0.3\n",
                     &config, &error));
  EXPECT_NE(error.find("test.conf:5: address 127.9.0.3 is taken by the device of line 1"), std::string::npos) << error;
  for (const char* bad : {"0", "4097"}) {
    EXPECT_FALSE(Parse(std::string(kMinimal) + "copies = " + bad + "\n", &config, &error));
    EXPECT_NE(error.find("test.conf:4: copies:"), std::string::npos) << error;
  }
}

TEST(EmulatorConfig, ErrorsNameTheirLine) {
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {std::string(kMinimal) + "nmae = x\n", "test.conf:4: unknown key 'nmae' in [device]"},
      {"[device]\nmac = 02:4E:57\n", "test.conf:2: mac: '02:4E:57' is not a MAC address"},
      {"[device]\nmac = 02:4E:57:00:00:01\naddress = 127.0.0.300\n", "test.conf:3: address: '127.0.0.300'"},
      {std::string(kMinimal) + "name = 0123456789012345678\n", "test.conf:4: name: longer than 18 characters"},
      {std::string(kMinimal) + "ports = 4\n", "test.conf:4: ports: '4' is above 3"},
      {std::string(kMinimal) + "ports = 0\n", "test.conf:4: ports: a device has 1 to 3 ports"},
      {std::string(kMinimal) + "model = 64\n", "test.conf:4: model: '64' is above 63"},
      {std::string(kMinimal) + "channel = eleven\n", "test.conf:4: channel: 'eleven' is not a number"},
      {std::string(kMinimal) + "dhcp = maybe\n", "test.conf:4: dhcp: 'maybe' is not yes/no"},
      {std::string(kMinimal) + "capabilities = wireless | teleport\n", "unknown capability 'teleport'"},
      {std::string(kMinimal) + "wep_key128 = 0102\n", "test.conf:4: wep_key128: a key of 13 bytes is needed, not 2"},
      {std::string(kMinimal) + "sixth = abc\n", "odd number of hex digits"},
      {std::string(kMinimal) + "firmware = 1\n", "test.conf:4: firmware: '1' is not a firmware version"},
      {std::string(kMinimal) + "name = \"open\n", "test.conf:4: name: missing closing quote"},
      {std::string(kMinimal) + "name = a\nname = b\n", "test.conf:5: 'name' given twice in this section"},
      {std::string(kMinimal) + "just words\n", "test.conf:4: expected 'key = value'"},
      {"mac = 02:4E:57:00:00:01\n", "test.conf:1: 'mac' outside a section; start with [device]"},
      {"[printer]\n", "test.conf:1: unknown section [printer]"},
      {"[device\n", "test.conf:1: a section header ends with ']'"},
      {"\n\n[device]\naddress = 127.0.0.2\n", "test.conf:3: this device has no mac"},
      {"[device]\nmac = 02:4E:57:00:00:01\n", "test.conf:1: this device has no address"},
      {std::string(kMinimal) + "[device]\nmac = 02:4E:57:00:00:01\naddress = 127.0.0.3\n",
       "test.conf:4: mac 02:4E:57:00:00:01 is taken by the device of line 1"},
      {std::string(kMinimal) + "[device]\nmac = 02:4E:57:00:00:02\naddress = 127.0.0.2\n",
       "test.conf:4: address 127.0.0.2 is taken by the device of line 1"},
      {std::string(kMinimal) + "rsa_bits = 1001\n", "test.conf:4: rsa_bits: a key of 512 to 2032 bits"},
      {std::string(kMinimal) + "faults = search:teleport\n", "test.conf:4: faults: unknown fault 'teleport'"},
      {std::string(kMinimal) + "faults = block:delay\n", "test.conf:4: faults: fault 'delay' takes a number"},
      {std::string(kMinimal) + "faults = upload:ignore\n", "test.conf:4: faults: fault 'ignore' does not apply to upload"},
      {std::string(kMinimal) + "faults = search:flood:9\n", "test.conf:4: faults: fault 'flood' does not apply to search"},
      {std::string(kMinimal) + "port_info1 = a, b, c, d\n", "test.conf:4: port_info1: more than 3 texts"},
      {std::string(kMinimal) + "port_info3 = " + std::string(41, 'x') + "\n",
       "test.conf:4: port_info3: text '" + std::string(41, 'x') + "' is longer than 40 characters"},
      {"[emulator]\nbroadcast = everywhere\n[device]\n", "test.conf:2: broadcast: 'everywhere'"},
      {"[emulator]\n[emulator]\n", "test.conf:2: [emulator] given twice"},
      {"# nothing\n", "test.conf: no [device] section"},
  };
  for (const auto& c : cases) {
    EmulatorConfig config;
    std::string error;
    EXPECT_FALSE(Parse(c.text, &config, &error)) << c.text;
    EXPECT_NE(error.find(c.message), std::string::npos) << "error: " << error << "\nexpected: " << c.message;
  }
}

TEST(EmulatorConfig, MissingFileIsReported) {
  EmulatorConfig config;
  std::string error;
  EXPECT_FALSE(LoadEmulatorConfig("/nonexistent/emulator.conf", &config, &error));
  EXPECT_EQ(error, "/nonexistent/emulator.conf: cannot open the file");
}

}  // namespace
