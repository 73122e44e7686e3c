// A dialog's layout composed with each language's texts, and texts that do not fit.
#include "framework/dialog_layout.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "kernel/version.h"

namespace {

using vek::framework::ComposedDialogs;
using vek::framework::DialogItemTemplate;
using vek::framework::DialogLayout;
using vek::framework::DialogTexts;
using vek::framework::ItemText;

constexpr DialogItemTemplate kItems[] = {
    {"Static", nullptr, 10, 1, 2, 30, 8, 0},
    {"Edit", "", 11, 1, 12, 30, 12, 0},  // keeps its own (empty) text
    {"Button", nullptr, 1, 40, 2, 20, 12, 0},
};
constexpr DialogLayout kLayouts[] = {{100, 0, 0, 80, 40, 0, 0, kItems, std::size(kItems)},
                                     {101, 0, 0, 80, 40, 0, 0, kItems, 1}};

constexpr ItemText kGood[] = {{10, "Name :"}, {1, "OK"}};
constexpr ItemText kGoodJa[] = {{10, "名前:"}, {1, "OK"}};

TEST(ComposedDialogs, EachLanguageGetsTheOneLayoutWithItsTexts) {
  const DialogTexts english[] = {{100, "Caption", "Arial", 8, kGood, 2}};
  const DialogTexts japanese[] = {{100, "キャプション", "ＭＳ Ｐゴシック", 9, kGoodJa, 2}};
  ComposedDialogs en(LANG_ENGLISH, kLayouts, english);
  ComposedDialogs ja(LANG_JAPANESE, kLayouts, japanese);
  ASSERT_TRUE(en.ok()) << en.problem();
  ASSERT_TRUE(ja.ok()) << ja.problem();
  // Dialog 101 has no texts in either language, so neither table holds it.
  ASSERT_EQ(en.templates().size(), 1u);
  ASSERT_EQ(ja.templates().size(), 1u);
  const auto& e = en.templates()[0];
  const auto& j = ja.templates()[0];
  EXPECT_EQ(e.language, LANG_ENGLISH);
  EXPECT_EQ(j.language, LANG_JAPANESE);
  EXPECT_STREQ(j.caption, "キャプション");
  EXPECT_STREQ(j.fontName, "ＭＳ Ｐゴシック");
  EXPECT_EQ(j.fontSize, 9);
  ASSERT_EQ(e.itemCount, 3u);
  EXPECT_STREQ(e.items[0].text, "Name :");
  EXPECT_STREQ(j.items[0].text, "名前:");
  EXPECT_STREQ(j.items[1].text, "");
  EXPECT_STREQ(j.items[2].text, "OK");
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(e.items[i].id, j.items[i].id);
    EXPECT_EQ(e.items[i].x, j.items[i].x);
    EXPECT_EQ(e.items[i].cy, j.items[i].cy);
  }
}

TEST(ComposedDialogs, TextsThatDoNotFitComposeNothing) {
  constexpr ItemText kMissing[] = {{10, "Name :"}};
  constexpr ItemText kExtra[] = {{10, "Name :"}, {1, "OK"}, {2, "Cancel"}};
  constexpr ItemText kMisplaced[] = {{1, "OK"}, {10, "Name :"}};
  constexpr ItemText kNullText[] = {{10, nullptr}, {1, "OK"}};
  struct Case {
    const char* what;
    DialogTexts texts;
    const char* problem;
  } cases[] = {
      {"a text missing", {100, "", "Arial", 8, kMissing, 1}, "item 2 (id 1) has no text"},
      {"a text too many", {100, "", "Arial", 8, kExtra, 3}, "1 text(s) more"},
      {"texts out of order", {100, "", "Arial", 8, kMisplaced, 2}, "item 0 (id 10) is given the text of id 1"},
      {"a null text", {100, "", "Arial", 8, kNullText, 2}, "item 0 (id 10)"},
      {"no such dialog", {999, "", "Arial", 8, kGood, 2}, "dialog 999, which has no layout"},
  };
  for (const Case& c : cases) {
    const DialogTexts texts[] = {{100, "Caption", "Arial", 8, kGood, 2}, c.texts};
    ComposedDialogs composed(LANG_ENGLISH, kLayouts, texts);
    EXPECT_FALSE(composed.ok()) << c.what;
    EXPECT_NE(composed.problem().find(c.problem), std::string::npos) << c.what << ": " << composed.problem();
    EXPECT_TRUE(composed.templates().empty()) << c.what;
  }
}

}  // namespace
