#include <gtest/gtest.h>

#include "framework/framework.h"

namespace {

TEST(Format, FieldBoundsAndTheThirtyTwoBitLengths) {
  CStringA name;
  name.Format("%-0.18s|", "PrintServerNameLonger");
  EXPECT_EQ(name, "PrintServerNameLon|");
  CStringA mac;
  mac.Format("%2.2x:%2.2X", 0x0c, 0xab);
  EXPECT_EQ(mac, "0c:AB");
  CStringA numbers;
  DWORD big = 0xFFFFFFFFu;
  LONG negative = -5;
  numbers.Format("%lu %ld %d%%", big, negative, 7);
  EXPECT_EQ(numbers, "4294967295 -5 7%");
  CStringA version;
  version.Format("%d.%2.2x", 1, 0x0b);
  EXPECT_EQ(version, "1.0b");
}

TEST(Format, WideFormatsTakeWideTexts) {
  CStringW text;
  text.Format(u"[%s]::OpenPrintPort() = %d", u"VEK12AB0C-1", 87);
  EXPECT_EQ(text, u"[VEK12AB0C-1]::OpenPrintPort() = 87");
  CStringW mixed;
  mixed.Format(u"%S/%c/%5s/%-4d|", "narrow", u'x', u"ab", 3);
  EXPECT_EQ(mixed, u"narrow/x/   ab/3   |");
  WCHAR buffer[64];
  EXPECT_EQ(wsprintfW(buffer, u"%d.%d.%d.%d,PID:%d", 192, 168, 0, 10, 1), 18);
  EXPECT_EQ(std::u16string(buffer), u"192.168.0.10,PID:1");
}

TEST(CStringBehaviour, EditingAndConversions) {
  CStringA s("  Found  ");
  s.Trim();
  EXPECT_EQ(s.GetLength(), 5);
  s += " ";
  s += "PS";
  EXPECT_EQ(s, "Found PS");
  EXPECT_EQ(s.Find('P'), 6);
  EXPECT_EQ(s.Mid(6), "PS");
  EXPECT_EQ(s.Left(5), "Found");
  EXPECT_EQ(s.Right(2), "PS");
  EXPECT_EQ(CStringA("abc").CompareNoCase("ABC"), 0);
  CStringW w = s;  // converts
  EXPECT_EQ(w, u"Found PS");
  char* raw = s.GetBuffer(32);
  std::snprintf(raw, 32, "x%d", 12);
  s.ReleaseBuffer();
  EXPECT_EQ(s, "x12");
  EXPECT_EQ(s.Mid(10), "");
}

TEST(PointerList, OrderPositionsAndBlocks) {
  CPtrList list(10);
  int values[25];
  for (int i = 0; i < 25; ++i) list.AddTail(&values[i]);  // three blocks of 10
  EXPECT_EQ(list.GetCount(), 25);
  EXPECT_EQ(list.GetHead(), &values[0]);
  POSITION found = list.Find(&values[12]);
  ASSERT_NE(found, nullptr);
  list.RemoveAt(found);
  EXPECT_EQ(list.Find(&values[12]), nullptr);
  list.InsertBefore(list.FindIndex(0), &values[24]);
  EXPECT_EQ(list.GetHead(), &values[24]);
  int seen = 0;
  for (POSITION p = list.GetHeadPosition(); p;) {
    list.GetNext(p);
    ++seen;
  }
  EXPECT_EQ(seen, 25);
  while (!list.IsEmpty()) list.RemoveHead();
  EXPECT_EQ(list.GetHeadPosition(), nullptr);
  list.AddHead(&values[1]);
  EXPECT_EQ(list.GetTail(), &values[1]);
}

TEST(Resources, StringTablesFollowTheUsersLanguage) {
  static const vek::framework::StringResource english[] = {{106, "Found "}, {107, "Only English"}};
  static const vek::framework::StringResource japanese[] = {{106, "\xe7\x99\xba\xe8\xa6\x8b "}};
  vek::framework::RegisterStringTable(LANG_ENGLISH, english, 2);
  vek::framework::RegisterStringTable(LANG_JAPANESE, japanese, 1);
  vek::SetLanguage(0x0411, 0x0411);
  CStringA text;
  EXPECT_TRUE(text.LoadString(106));
  EXPECT_EQ(text, "\xe7\x99\xba\xe8\xa6\x8b ");
  EXPECT_TRUE(text.LoadString(107));  // falls back to English
  EXPECT_EQ(text, "Only English");
  vek::SetLanguage(0x0409, 0x0409);
  EXPECT_TRUE(text.LoadString(106));
  EXPECT_EQ(text, "Found ");
  EXPECT_FALSE(text.LoadString(9999));

  // The program shows itself in the user's language only where it has texts in
  // it; the front end's own words follow.
  vek::SetLanguage(0x0407, 0x0407);
  EXPECT_EQ(vek::framework::ProgramLanguage(), LANG_ENGLISH);
  static const vek::framework::StringResource german[] = {{106, "Gefunden "}};
  vek::framework::RegisterStringTable(0x07, german, 1);
  EXPECT_EQ(vek::framework::ProgramLanguage(), 0x07);
  vek::ResetOsVersionAndLanguage();
}

}  // namespace
