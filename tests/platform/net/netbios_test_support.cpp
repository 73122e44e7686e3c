#include "netbios_test_support.h"

#include <atomic>
#include <cstring>
#include <random>

#include "segment_test_support.h"

namespace vek::net::test {
namespace {

std::uint32_t RandomBits() {
  static std::mt19937 generator{std::random_device{}()};
  return static_cast<std::uint32_t>(generator());
}

void CopyName(UCHAR* field, const std::string& name) {
  const std::string padded = Padded(name);
  std::memcpy(field, padded.data(), NCBNAMSZ);
}

UCHAR AddAnyName(UCHAR command, UCHAR lana, const std::string& name, UCHAR* number) {
  NCB ncb = Block(command, lana);
  CopyName(ncb.ncb_name, name);
  UCHAR code = Netbios(&ncb);
  EXPECT_EQ(code, ncb.ncb_retcode);
  if (number) *number = ncb.ncb_num;
  return code;
}

}  // namespace

void NetbiosTest::SetUp() {
  m_port = RandomSegmentPort();
  ASSERT_TRUE(SetNetbiosSegment(SegmentText(m_port).c_str()));
  ASSERT_TRUE(SetNetbiosLanas("0,1"));
  SetNetbiosClaimPeriod(150);
}

void NetbiosTest::TearDown() {
  // Leaves nothing pending for the next test of the process.
  for (UCHAR lana : {0, 1}) Reset(lana);
  EXPECT_EQ(PendingNcbCount(), 0u);
  ResetNetbiosConfiguration();
}

std::string RandomName() {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string name;
  for (int i = 0; i < 15; ++i) name += letters[RandomBits() % 36];
  return name;
}

std::string Padded(const std::string& name) {
  std::string padded = name.substr(0, NCBNAMSZ);
  padded.resize(NCBNAMSZ, ' ');
  return padded;
}

NCB Block(UCHAR command, UCHAR lana) {
  NCB ncb{};
  ncb.ncb_command = command;
  ncb.ncb_lana_num = lana;
  return ncb;
}

UCHAR Reset(UCHAR lana, UCHAR names) {
  NCB ncb = Block(NCBRESET, lana);
  ncb.ncb_callname[0] = 254;
  ncb.ncb_callname[2] = names;
  ncb.ncb_callname[3] = 1;
  return Netbios(&ncb);
}

UCHAR AddName(UCHAR lana, const std::string& name, UCHAR* number) {
  return AddAnyName(NCBADDNAME, lana, name, number);
}

UCHAR AddGroupName(UCHAR lana, const std::string& name, UCHAR* number) {
  return AddAnyName(NCBADDGRNAME, lana, name, number);
}

UCHAR DeleteName(UCHAR lana, const std::string& name) {
  NCB ncb = Block(NCBDELNAME, lana);
  CopyName(ncb.ncb_name, name);
  return Netbios(&ncb);
}

UCHAR SendDatagram(UCHAR lana, UCHAR from, const std::string& to, const std::string& data) {
  NCB ncb = Block(NCBDGSEND, lana);
  ncb.ncb_num = from;
  std::vector<UCHAR> bytes(data.begin(), data.end());
  ncb.ncb_buffer = bytes.data();
  ncb.ncb_length = static_cast<WORD>(bytes.size());
  CopyName(ncb.ncb_callname, to);
  return Netbios(&ncb);
}

PendingReceive::PendingReceive(UCHAR lana, UCHAR number, WORD size) : buffer(size, 0xEE) {
  event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ncb = Block(NCBDGRECV | ASYNCH, lana);
  ncb.ncb_num = number;
  ncb.ncb_buffer = buffer.data();
  ncb.ncb_length = size;
  ncb.ncb_event = event;
}

PendingReceive::~PendingReceive() {
  // A receive still pending would be written to after this object is gone.
  if (std::atomic_ref<UCHAR>(ncb.ncb_cmd_cplt).load() == NRC_PENDING) {
    NCB cancel = Block(NCBCANCEL, ncb.ncb_lana_num);
    cancel.ncb_buffer = reinterpret_cast<PUCHAR>(&ncb);
    Netbios(&cancel);
  }
  CloseHandle(event);
}

UCHAR PendingReceive::Arm() {
  ncb.ncb_length = static_cast<WORD>(buffer.size());
  return Netbios(&ncb);
}

bool PendingReceive::Wait(DWORD limitMs) { return WaitForSingleObject(event, limitMs) == WAIT_OBJECT_0; }

std::string PendingReceive::Data() const {
  return std::string(buffer.begin(), buffer.begin() + ncb.ncb_length);
}

}  // namespace vek::net::test
