// Code pages chosen by name, whatever locale the test runs in.
#ifndef _WIN32
#include "runtime/code_page_posix.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/environment_guard.h"

namespace qv::platform {
namespace {

TEST(CodePagePosixTest, CodesetOfLocaleName) {
  struct Case {
    const char* locale;
    const char* codeset;
  };
  const Case cases[] = {
      {"C", "ANSI_X3.4-1968"},         {"POSIX", "ANSI_X3.4-1968"},
      {"xx_YY.KOI8-R", "KOI8-R"},  // not installed: taken from the name
      {"xx_YY.CP1251@euro", "CP1251"}, {"xx_YY", "ANSI_X3.4-1968"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    EXPECT_EQ(CodesetOfLocale(c.locale), c.codeset);
  }
  const std::string ru = CodesetOfLocale("ru_RU.CP1251");
  EXPECT_TRUE(ru == "CP1251") << ru;
}

TEST(CodePagePosixTest, LocaleOfTheEnvironmentInOrder) {
  struct Case {
    const char* all;
    const char* ctype;
    const char* lang;
    const char* locale;
  };
  const Case cases[] = {
      {"ru_RU.CP1251", "en_US.UTF-8", "de_DE.UTF-8", "ru_RU.CP1251"},
      {"", "ru_RU.KOI8-R", "de_DE.UTF-8", "ru_RU.KOI8-R"},
      {nullptr, nullptr, "de_DE.UTF-8", "de_DE.UTF-8"},
      {nullptr, nullptr, nullptr, "C"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    const test::EnvironmentGuard guard{{"LC_ALL", c.all}, {"LC_CTYPE", c.ctype}, {"LANG", c.lang}};
    EXPECT_EQ(LocaleNameOfEnvironment("LC_CTYPE"), c.locale);
  }
}

TEST(CodePagePosixTest, WindowsNumbers) {
  struct Case {
    const char* codeset;
    unsigned number;
  };
  const Case cases[] = {
      {"UTF-8", 65001},           {"utf8", 65001},   {"CP1251", 1251},
      {"ISO-8859-5", 28595},      {"KOI8-R", 20866}, {"ANSI_X3.4-1968", 28591},
      {"no-such-codeset", 28591},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codeset);
    EXPECT_EQ(CodePage(c.codeset).Number(), c.number);
  }
}

// Every byte of CP1251 and what lowering makes of it, as Windows lowers it.
TEST(CodePagePosixTest, Cp1251LowersEveryCapital) {
  std::map<int, int> capitals;
  for (int b = 'A'; b <= 'Z'; ++b) capitals[b] = b + 32;
  for (int b = 0xC0; b <= 0xDF; ++b) capitals[b] = b + 32;
  const std::pair<int, int> others[] = {{0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C},
                                        {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2},
                                        {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
                                        {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};
  for (const auto& [upper, lower] : others) capitals[upper] = lower;
  const CodePage cp1251("CP1251");
  for (int b = 0; b < 256; ++b) {
    SCOPED_TRACE(b);
    const std::string byte(1, static_cast<char>(b));
    const int expected = capitals.count(b) != 0 ? capitals[b] : b;
    EXPECT_EQ(static_cast<unsigned char>(cp1251.Lower(byte)[0]), expected);
  }
}

TEST(CodePagePosixTest, Cp1251Conversions) {
  const CodePage cp1251("CP1251");
  EXPECT_EQ(cp1251.ToUtf16("\xC0\xFF\xA8\xB8\x88 z"), u"\u0410\u044F\u0401\u0451\u20AC z");
  EXPECT_EQ(cp1251.FromUtf16(u"\u0410\u044F\u0401\u0451\u20AC z"), "\xC0\xFF\xA8\xB8\x88 z");
  // 0x98 is a hole of the code page: it keeps its value both ways.
  EXPECT_EQ(cp1251.ToUtf16("\x98"), u"\u0098");
  EXPECT_EQ(cp1251.FromUtf16(u"\u0098"), "\x98");
  // Missing characters: one "?" each, a surrogate pair counting as one.
  EXPECT_EQ(cp1251.FromUtf16(u"\u00E9\xD83D\xDE00\xD800"
                             "a"),
            "???a");
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(cp1251.FromUtf16(cp1251.ToUtf16(byte)), byte) << b;
  }
}

TEST(CodePagePosixTest, Latin1ForTheCLocale) {
  const CodePage c("ANSI_X3.4-1968");
  EXPECT_EQ(c.ToUtf16("\xC0\xE9"), u"\u00C0\u00E9");
  EXPECT_EQ(c.Lower("\xC0\xD7\xDE"
                    "A"),
            "\xE0\xD7\xFE"
            "a");
  EXPECT_EQ(c.FromUtf16(u"\u0410"), "?");
}

TEST(CodePagePosixTest, Utf8CodePage) {
  const CodePage utf8("UTF-8");
  EXPECT_EQ(utf8.ToUtf16("\xE2\x82"), u"\u0082");
  EXPECT_EQ(utf8.FromUtf16(u"\u0410\xD83D\xDE00"), "\xD0\x90\xF0\x9F\x98\x80");
  EXPECT_EQ(utf8.Lower("\xD0\x81\xD0\xAF Z"), "\xD1\x91\xD1\x8F z");
}

TEST(CodePagePosixTest, MultiByteCodesetGoesThroughIconv) {
  const CodePage eucJp("EUC-JP");
  EXPECT_EQ(eucJp.Number(), 0u);
  const std::u16string text = u"\u65E5\u672C a";
  const std::string bytes = eucJp.FromUtf16(text);
  EXPECT_EQ(bytes, "\xC6\xFC\xCB\xDC a");
  EXPECT_EQ(eucJp.ToUtf16(bytes), text);
  EXPECT_EQ(eucJp.ToUtf16("a\xC6"), u"a?");
  EXPECT_EQ(eucJp.FromUtf16(u"\u20AC!"), "?!");
  EXPECT_EQ(eucJp.Lower("\xA7\xA1 A"), "\xA7\xD1 a");  // Cyrillic А in EUC-JP
}

}  // namespace
}  // namespace qv::platform
#endif
