#include <gtest/gtest.h>

#include <cstdlib>

#include "kernel/kernel.h"
#include "kernel/locale_language.h"

namespace {

class VersionEnvironment : public ::testing::Test {
 protected:
  void TearDown() override {
    unsetenv("VEK_WINVER");
    unsetenv("VEK_LANGID");
    vek::ResetOsVersionAndLanguage();
  }
  static OSVERSIONINFOW Read() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    EXPECT_TRUE(GetVersionExW(&info));
    return info;
  }
};

TEST_F(VersionEnvironment, FamiliesFromTheEnvironment) {
  setenv("VEK_WINVER", "98", 1);
  vek::ResetOsVersionAndLanguage();
  EXPECT_EQ(Read().dwPlatformId, VER_PLATFORM_WIN32_WINDOWS);
  EXPECT_NE(GetVersion() & 0x80000000u, 0u);

  setenv("VEK_WINVER", "nt4", 1);
  vek::ResetOsVersionAndLanguage();
  OSVERSIONINFOW nt4 = Read();
  EXPECT_EQ(nt4.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(nt4.dwMajorVersion, 4u);

  setenv("VEK_WINVER", "5.16", 1);
  vek::ResetOsVersionAndLanguage();
  EXPECT_EQ(Read().dwMinorVersion, 16u);

  unsetenv("VEK_WINVER");
  vek::ResetOsVersionAndLanguage();
  OSVERSIONINFOW standard = Read();
  EXPECT_EQ(standard.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(standard.dwMajorVersion, 5u);
}

TEST_F(VersionEnvironment, SizeFieldMustMatchTheStructure) {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = 276;
  EXPECT_TRUE(GetVersionExW(&info));
  info.dwOSVersionInfoSize = 148;
  EXPECT_FALSE(GetVersionExW(&info));
  OSVERSIONINFOA narrow{};
  narrow.dwOSVersionInfoSize = 148;
  EXPECT_TRUE(GetVersionExA(&narrow));
}

TEST_F(VersionEnvironment, LanguageFromLangIdOrLang) {
  setenv("VEK_LANGID", "0x0411", 1);
  vek::ResetOsVersionAndLanguage();
  EXPECT_EQ(PRIMARYLANGID(GetUserDefaultLangID()), LANG_JAPANESE);
  unsetenv("VEK_LANGID");
  const char* saved = std::getenv("LANG");
  std::string keep = saved ? saved : "";
  unsetenv("LC_ALL");
  setenv("LANG", "ja_JP.UTF-8", 1);
  vek::ResetOsVersionAndLanguage();
  EXPECT_EQ(PRIMARYLANGID(GetSystemDefaultLangID()), LANG_JAPANESE);
  setenv("LANG", "C.UTF-8", 1);
  vek::ResetOsVersionAndLanguage();
  EXPECT_EQ(GetUserDefaultLangID(), 0x0409);
  if (saved) setenv("LANG", keep.c_str(), 1); else unsetenv("LANG");
  vek::SetLanguage(0x0411, 0x0409);
  EXPECT_EQ(GetUserDefaultLangID(), 0x0411);
  EXPECT_EQ(GetSystemDefaultLangID(), 0x0409);
}

TEST(LocaleLanguage, LocaleNamesGiveTheUsersLanguageId) {
  struct Case {
    const char* locale;
    LANGID id;
  };
  const Case cases[] = {
      {"de_DE.UTF-8", 1031}, {"de_CH.UTF-8", 2055}, {"de_AT", 3079},    {"DE_lu", 4103},     {"de_LI", 5127},
      {"de", 1031},          {"fr_FR.UTF-8", 1036}, {"fr_BE", 2060},    {"fr_CA.UTF-8", 3084}, {"fr_CH", 4108},
      {"fr_LU", 5132},       {"it_IT", 1040},       {"it_CH", 2064},    {"es_ES.UTF-8", 1034}, {"es_MX", 2058},
      {"es_AR", 11274},      {"es_PR", 20490},      {"ja_JP.UTF-8", 1041}, {"en_US.UTF-8", 1033}, {"en_GB", 2057},
      {"sv_FI@euro", 0x081D}, {"pt_BR", 0x0416},    {"C", 1033},        {"C.UTF-8", 1033},   {"POSIX", 1033},
      {"", 1033},            {"xx_YY", 1033},       {"_", 1033},
  };
  for (const Case& c : cases) EXPECT_EQ(vek::LanguageOfLocale(c.locale), c.id) << c.locale;
}

TEST_F(VersionEnvironment, TheMessagesLocaleDecidesBeforeLang) {
  const char* saved = std::getenv("LANG");
  std::string keep = saved ? saved : "";
  unsetenv("LC_ALL");
  setenv("LC_MESSAGES", "it_CH.UTF-8", 1);
  setenv("LANG", "de_DE.UTF-8", 1);
  vek::ResetOsVersionAndLanguage();
  EXPECT_EQ(GetUserDefaultLangID(), 2064);
  unsetenv("LC_MESSAGES");
  vek::ResetOsVersionAndLanguage();
  EXPECT_EQ(GetUserDefaultLangID(), 1031);
  if (saved) setenv("LANG", keep.c_str(), 1); else unsetenv("LANG");
}

TEST(Strings, Utf16RoundTripKeepsForeignBytes) {
  std::string text = "Dr\xc3\xbc" "cker \xe3\x83\x97 \xf0\x9f\x96\xa8 \xff\x80";
  std::u16string wide = vek::ToWide(text);
  EXPECT_EQ(wide[2], u'\u00fc');
  EXPECT_EQ(vek::ToNarrow(wide), text);
  EXPECT_EQ(vek::CompareNoCase("Ports", "PORTS"), 0);
  EXPECT_LT(vek::CompareNoCase("a", "B"), 0);
}

}  // namespace
