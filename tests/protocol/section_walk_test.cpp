// The section walk: where every section starts, the steps of sections sent with
// length 0, the end of the walk, and its in-place writes. Each copy is walked in a
// heap block of exactly its length, so a read past the end is caught by the
// sanitizer build.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "protocol/section_walk.h"
#include "reply_vectors.h"

namespace {

using vek::test::Bit;
using vek::test::FullReply;
using vek::test::kAllWireless;
using vek::test::MakeFullReply;
using vek::test::ReplyBuilder;

struct Walked {
  PSSectionMap map;
  std::vector<BYTE> copy;  // the bytes after the walk's writes
};

Walked Walk(const std::vector<BYTE>& bytes) {
  Walked result;
  std::unique_ptr<BYTE[]> block(new BYTE[bytes.size()]);
  std::memcpy(block.get(), bytes.data(), bytes.size());
  PSWalkSections(block.get(), static_cast<int>(bytes.size()), &result.map);
  result.copy.assign(block.get(), block.get() + bytes.size());
  return result;
}

int At(const Walked& w, PSSection s) { return w.map.Section[s]; }

TEST(SectionWalk, FullReplyFindsEverySectionAndChangesNothing) {
  FullReply r = MakeFullReply();
  Walked w = Walk(r.bytes);
  EXPECT_EQ(At(w, PS_SECTION_GENERAL), r.general);
  EXPECT_EQ(At(w, PS_SECTION_IP), r.ip);
  EXPECT_EQ(At(w, PS_SECTION_NAMES), r.names);
  EXPECT_EQ(At(w, PS_SECTION_PORT), r.port);
  EXPECT_EQ(At(w, PS_SECTION_KEY_TEXT), r.keyText);
  EXPECT_EQ(At(w, PS_SECTION_SIXTH), r.sixth);
  EXPECT_EQ(At(w, PS_SECTION_WIRELESS), r.wireless);
  EXPECT_EQ(At(w, PS_SECTION_PORT_TYPES), r.portTypes);
  EXPECT_EQ(At(w, PS_SECTION_SECURITY), r.security);
  EXPECT_EQ(At(w, PS_SECTION_TEXT), r.text);
  EXPECT_EQ(At(w, PS_SECTION_KEY), r.key);
  EXPECT_EQ(w.map.End, static_cast<int>(r.bytes.size()));
  EXPECT_FALSE(w.map.DefaultPortTypesOutside);
  // The value byte and the two counted texts after the general section.
  EXPECT_EQ(w.map.GeneralValue, r.general + 11);
  EXPECT_EQ(w.map.GeneralLength1, r.general + 12);
  EXPECT_EQ(w.map.GeneralText1, r.general + 13);
  EXPECT_EQ(w.map.GeneralLength2, r.general + 16);
  EXPECT_EQ(w.map.GeneralText2, r.general + 17);
  EXPECT_EQ(w.map.KeyTextData, r.keyText + 35);
  EXPECT_EQ(w.copy, r.bytes);
}

TEST(SectionWalk, TerminatorAfterSystemSectionGetsDefaultPortTypesInPlace) {
  ReplyBuilder b(kAllWireless);
  const int end = b.Raw({0xFF, 0x11, 0x22, 0x33, 0x44, 0x55});
  Walked w = Walk(b.Bytes());
  for (int s = 0; s < PS_SECTION_COUNT; s++)
    if (s != PS_SECTION_PORT_TYPES) {
      EXPECT_EQ(w.map.Section[s], PS_NO_OFFSET) << s;
    }
  EXPECT_EQ(end, 71);
  EXPECT_EQ(At(w, PS_SECTION_PORT_TYPES), 71);
  EXPECT_EQ(w.copy[71], 3);
  EXPECT_EQ(w.copy[72], 0);
  EXPECT_EQ(w.copy[73], '9');
  EXPECT_EQ(w.copy[74], 0);
  EXPECT_EQ(w.copy[75], 0x44) << "only four bytes are written";
  EXPECT_EQ(w.copy[76], 0x55);
  EXPECT_FALSE(w.map.DefaultPortTypesOutside);
}

TEST(SectionWalk, DefaultPortTypesThatDoNotFitStayOutsideTheCopy) {
  for (int extra = 0; extra <= 3; extra++) {
    ReplyBuilder b(kAllWireless);
    std::vector<BYTE> tail = {0xFF, 1, 2};
    tail.resize(static_cast<std::size_t>(extra));
    b.Raw(tail);
    Walked w = Walk(b.Bytes());
    EXPECT_EQ(w.copy, b.Bytes()) << extra << " bytes after the system section";
    EXPECT_TRUE(w.map.DefaultPortTypesOutside);
    EXPECT_EQ(At(w, PS_SECTION_PORT_TYPES), PS_NO_OFFSET);
  }
}

TEST(SectionWalk, TerminatorEndsTheWalkAtItsSection) {
  FullReply r = MakeFullReply();
  r.bytes[static_cast<std::size_t>(r.wireless)] = 0xFF;
  Walked w = Walk(r.bytes);
  EXPECT_EQ(At(w, PS_SECTION_SIXTH), r.sixth);
  EXPECT_EQ(At(w, PS_SECTION_WIRELESS), PS_NO_OFFSET);
  EXPECT_EQ(At(w, PS_SECTION_SECURITY), PS_NO_OFFSET);
  EXPECT_EQ(At(w, PS_SECTION_KEY), PS_NO_OFFSET);
  EXPECT_EQ(w.map.End, r.wireless);
  EXPECT_EQ(At(w, PS_SECTION_PORT_TYPES), r.wireless) << "the defaults replace the terminator";
  EXPECT_EQ(w.copy[static_cast<std::size_t>(r.wireless)], 3);
}

// A reply whose section `zero` is sent with length 0 followed by `room` bytes, and
// every other section with a length of its own; returns where each starts.
struct ZeroLayout {
  std::vector<BYTE> bytes;
  int start[PS_SECTION_COUNT];
  int end;
};

ZeroLayout WithZeroSection(std::uint32_t caps, PSSection zero, int room) {
  static const int kLength[PS_SECTION_COUNT] = {10, 9, 41, 148, 34, 0, 86, 3, 110, 39, 16};
  ReplyBuilder b(caps);
  ZeroLayout z{};
  for (int s = 0; s < PS_SECTION_COUNT; s++) {
    if (s == PS_SECTION_SECURITY && !(caps & Bit(20))) break;
    if (s == zero) {
      z.start[s] = b.Section(0);
      b.Zeros(room - 1);
      continue;
    }
    z.start[s] = b.Section(kLength[s]);
    if (s == PS_SECTION_GENERAL) b.Raw({0, 0, 0});  // value byte, two empty texts
    if (s == PS_SECTION_KEY_TEXT) b.Raw({0});        // K = 0, and the byte after it
    if (s == PS_SECTION_PORT_TYPES) b.Put(z.start[s] + 3, 1);
  }
  z.end = b.Size();
  z.bytes = b.Bytes();
  return z;
}

void ExpectSteps(std::uint32_t caps, PSSection zero, int step) {
  SCOPED_TRACE(testing::Message() << "section " << zero << " with length 0, step " << step);
  ZeroLayout z = WithZeroSection(caps, zero, step);
  Walked w = Walk(z.bytes);
  for (int s = 0; s < PS_SECTION_COUNT; s++) {
    if (s == PS_SECTION_SECURITY && !(caps & Bit(20))) break;
    if (s == zero && s == PS_SECTION_PORT_TYPES) continue;  // counts as missing
    EXPECT_EQ(w.map.Section[s], z.start[s]) << "section " << s;
  }
  EXPECT_EQ(w.map.End, z.end);
}

TEST(SectionWalk, EachLengthZeroSectionTakesItsDefaultStep) {
  const std::uint32_t bare = Bit(20);  // security present; nothing else announced
  ExpectSteps(bare, PS_SECTION_GENERAL, 316);
  ExpectSteps(bare, PS_SECTION_IP, 10);
  ExpectSteps(bare, PS_SECTION_PORT, 149);
  ExpectSteps(bare | Bit(3), PS_SECTION_PORT, 1);
  ExpectSteps(bare, PS_SECTION_NAMES, 1);
  ExpectSteps(bare, PS_SECTION_SIXTH, 1);
  ExpectSteps(bare, PS_SECTION_WIRELESS, 87);
  ExpectSteps(bare | Bit(14), PS_SECTION_WIRELESS, 1);
  ExpectSteps(bare, PS_SECTION_SECURITY, 45);
  ExpectSteps(bare | Bit(19), PS_SECTION_SECURITY, 109);
  ExpectSteps(bare | Bit(22), PS_SECTION_SECURITY, 46);
  ExpectSteps(bare | Bit(19) | Bit(22), PS_SECTION_SECURITY, 111);
  ExpectSteps(bare, PS_SECTION_TEXT, 40);
  ExpectSteps(bare | Bit(18), PS_SECTION_TEXT, 1);
  ExpectSteps(bare, PS_SECTION_KEY, 257);
  ExpectSteps(bare | Bit(23), PS_SECTION_KEY, 1);
}

TEST(SectionWalk, LengthZeroPortTypesCountAsMissingAndGetTheDefaultsAtTheEnd) {
  ZeroLayout z = WithZeroSection(Bit(20), PS_SECTION_PORT_TYPES, 4);
  z.bytes.insert(z.bytes.end(), {0xEE, 0xEE, 0xEE, 0xEE, 0xEE});
  Walked w = Walk(z.bytes);
  const int zero = z.start[PS_SECTION_PORT_TYPES];
  EXPECT_EQ(At(w, PS_SECTION_SECURITY), zero + 4);
  EXPECT_EQ(w.copy[static_cast<std::size_t>(zero + 2)], '9') << "byte 3 was 0";
  EXPECT_EQ(At(w, PS_SECTION_PORT_TYPES), z.end);
  const std::vector<BYTE> defaults(w.copy.begin() + z.end, w.copy.begin() + z.end + 4);
  EXPECT_EQ(defaults, (std::vector<BYTE>{3, 0, '9', 0}));
  EXPECT_EQ(w.copy[static_cast<std::size_t>(z.end + 4)], 0xEE);
}

TEST(SectionWalk, PortTypeDigitsAreNumberedOnlyWhenByteThreeIsZero) {
  FullReply r = MakeFullReply();
  const std::size_t digits = static_cast<std::size_t>(r.portTypes + 2);
  EXPECT_EQ(Walk(r.bytes).copy[digits], 0x1B) << "byte 3 set: the device's own digits stay";
  r.bytes[digits + 1] = 0;
  Walked w = Walk(r.bytes);
  EXPECT_EQ(w.copy[digits], '9');
  EXPECT_EQ(At(w, PS_SECTION_PORT_TYPES), r.portTypes);
}

TEST(SectionWalk, PortTypeByteThreeOutsideTheCopyIsNeitherReadNorWritten) {
  FullReply r = MakeFullReply();
  std::vector<BYTE> cut(r.bytes.begin(), r.bytes.begin() + r.portTypes + 3);  // ends before byte 3
  cut[static_cast<std::size_t>(r.portTypes + 2)] = 0x2A;
  Walked w = Walk(cut);
  EXPECT_EQ(w.copy, cut);
  EXPECT_EQ(At(w, PS_SECTION_PORT_TYPES), r.portTypes);
}

TEST(SectionWalk, SecuritySectionIsSkippedWithoutBitTwenty) {
  FullReply r = MakeFullReply();
  for (int i = 0; i < 4; i++) r.bytes[static_cast<std::size_t>(67 + i)] = static_cast<BYTE>((kAllWireless & ~Bit(20)) >> (8 * i));
  Walked w = Walk(r.bytes);
  EXPECT_EQ(At(w, PS_SECTION_PORT_TYPES), r.portTypes);
  EXPECT_EQ(At(w, PS_SECTION_SECURITY), PS_NO_OFFSET);
  EXPECT_EQ(At(w, PS_SECTION_TEXT), PS_NO_OFFSET);
  EXPECT_EQ(At(w, PS_SECTION_KEY), PS_NO_OFFSET);
  EXPECT_EQ(w.map.End, r.security);
  EXPECT_EQ(w.copy, r.bytes);
}

TEST(SectionWalk, KeyTextLengthPastTheEndIsZeroedAndEndsTheWalk) {
  FullReply r = MakeFullReply();
  const int after = r.keyText + 35;  // walk position after the section
  // K + 1 bytes that fit exactly: the walk goes on (and stops at the end).
  std::vector<BYTE> exact(r.bytes.begin(), r.bytes.begin() + after + 6);
  Walked fits = Walk(exact);
  EXPECT_EQ(fits.copy[static_cast<std::size_t>(r.keyText + 34)], 5);
  EXPECT_EQ(fits.map.KeyTextData, r.keyText + 35);
  EXPECT_EQ(fits.map.End, after + 6);

  // One byte fewer: K runs past the end.
  std::vector<BYTE> cut(r.bytes.begin(), r.bytes.begin() + after + 5);
  Walked w = Walk(cut);
  EXPECT_EQ(w.copy[static_cast<std::size_t>(r.keyText + 34)], 0);
  EXPECT_EQ(w.map.KeyTextData, PS_NO_OFFSET);
  EXPECT_EQ(At(w, PS_SECTION_KEY_TEXT), r.keyText);
  EXPECT_EQ(At(w, PS_SECTION_SIXTH), PS_NO_OFFSET);
  EXPECT_EQ(w.map.End, after);
  // Four bytes remain at the end of the walk: the defaults go there.
  EXPECT_EQ(At(w, PS_SECTION_PORT_TYPES), after);
  EXPECT_EQ(w.copy[static_cast<std::size_t>(after)], 3);
}

TEST(SectionWalk, KeyTextLengthOutsideTheCopyEndsTheWalk) {
  ReplyBuilder b(kAllWireless);
  b.Section(10);
  b.Raw({0, 0, 0});
  b.Section(9);
  b.Section(41);
  b.Section(148);
  const int keyText = b.Section(2);  // too short to hold its length byte at 34
  b.Zeros(20);
  Walked w = Walk(b.Bytes());
  EXPECT_EQ(At(w, PS_SECTION_KEY_TEXT), keyText);
  EXPECT_EQ(At(w, PS_SECTION_SIXTH), PS_NO_OFFSET);
  EXPECT_EQ(w.map.End, keyText + 3);
  std::vector<BYTE> expected = b.Bytes();
  const BYTE defaults[4] = {3, 0, '9', 0};
  std::memcpy(&expected[static_cast<std::size_t>(keyText + 3)], defaults, 4);
  EXPECT_EQ(w.copy, expected) << "only the default port types are written";
}

TEST(SectionWalk, GeneralTextLengthsOutsideTheCopyEndTheWalk) {
  {
    ReplyBuilder b(kAllWireless);
    const int general = b.Section(10);  // the reply ends before the value byte
    Walked w = Walk(b.Bytes());
    EXPECT_EQ(At(w, PS_SECTION_GENERAL), general);
    EXPECT_EQ(w.map.GeneralValue, PS_NO_OFFSET);
    EXPECT_TRUE(w.map.DefaultPortTypesOutside);
  }
  {
    ReplyBuilder b(kAllWireless);
    const int general = b.Section(10);
    b.Raw({7});  // value byte, then nothing
    Walked w = Walk(b.Bytes());
    EXPECT_EQ(w.map.GeneralValue, general + 11);
    EXPECT_EQ(w.map.GeneralLength1, PS_NO_OFFSET);
    EXPECT_EQ(At(w, PS_SECTION_IP), PS_NO_OFFSET);
  }
  {
    ReplyBuilder b(kAllWireless);
    const int general = b.Section(10);
    b.Raw({7, 200, 'a', 'b'});  // a first text that runs past the end
    Walked w = Walk(b.Bytes());
    EXPECT_EQ(w.map.GeneralLength1, general + 12);
    EXPECT_EQ(w.map.GeneralText1, PS_NO_OFFSET);
    EXPECT_EQ(w.map.GeneralLength2, PS_NO_OFFSET);
    EXPECT_EQ(w.copy, b.Bytes());
  }
}

TEST(SectionWalk, ReplyTooShortForTheCapabilityWordReadsNoBits) {
  // Non-extended system section (length 3), general section with length 0 and a
  // reply that ends at byte 60: no capability bit, so the port section would take
  // its default step; everything stays inside.
  ReplyBuilder b(0, 3);
  b.Section(0);
  b.Zeros(60 - b.Size());
  Walked w = Walk(b.Bytes());
  EXPECT_EQ(At(w, PS_SECTION_GENERAL), 42);
  EXPECT_EQ(At(w, PS_SECTION_IP), PS_NO_OFFSET);
  EXPECT_TRUE(w.map.DefaultPortTypesOutside);
}

TEST(SectionWalk, SectionLengthRunningPastTheEndStopsAtTheNextSection) {
  FullReply r = MakeFullReply();
  std::vector<BYTE> cut(r.bytes.begin(), r.bytes.begin() + r.wireless + 40);
  Walked w = Walk(cut);
  EXPECT_EQ(At(w, PS_SECTION_WIRELESS), r.wireless);
  EXPECT_EQ(At(w, PS_SECTION_PORT_TYPES), PS_NO_OFFSET);
  EXPECT_TRUE(w.map.DefaultPortTypesOutside);
  EXPECT_EQ(w.copy, cut);
}

}  // namespace
