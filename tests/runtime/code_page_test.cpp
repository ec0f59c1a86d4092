// The system code page as the test's locale sets it: UTF-8 on Linux; 1251 or
// 1252 under Wine.
#include <gtest/gtest.h>

#include <string>

#include "runtime/encodings.h"
#include "runtime/platform.h"

namespace qv {
namespace {

bool CodePageHoldsCyrillic() { return Utf16ToCodePage(u"\u0410\u044F\u0401") != "???"; }

TEST(CodePageTest, EmptyTextStaysEmpty) {
  EXPECT_EQ(CodePageToUtf16(""), u"");
  EXPECT_EQ(Utf16ToCodePage(u""), "");
  EXPECT_EQ(LowerInCodePage(""), "");
  EXPECT_EQ(FileNameToUtf8(""), "");
}

TEST(CodePageTest, AsciiPassesUnchanged) {
  const std::string ascii = "C:\\detail\\2011-03 mts.html";
  EXPECT_EQ(CodePageToUtf16(ascii), u"C:\\detail\\2011-03 mts.html");
  EXPECT_EQ(Utf16ToCodePage(u"C:\\detail\\2011-03 mts.html"), ascii);
  EXPECT_EQ(FileNameToUtf8(ascii), ascii);
  EXPECT_EQ(LowerInCodePage("MTS Foris 12"), "mts foris 12");
}

TEST(CodePageTest, CyrillicRoundTripsAndLowers) {
  if (!CodePageHoldsCyrillic()) GTEST_SKIP() << "code page without Cyrillic";
  const std::u16string upper = u"\u041C\u0422\u0421 \u0401\u0416 SMS";  // МТС ЁЖ SMS
  const std::u16string lower = u"\u043C\u0442\u0441 \u0451\u0436 sms";
  const std::string bytes = Utf16ToCodePage(upper);
  EXPECT_EQ(CodePageToUtf16(bytes), upper);
  EXPECT_EQ(LowerInCodePage(bytes), Utf16ToCodePage(lower));
  EXPECT_EQ(DecodeUtf8(FileNameToUtf8(bytes)), upper);
}

TEST(CodePageTest, MissingCharactersBecomeTheDefaultCharacter) {
  // A CJK letter is in none of the single-byte code pages.
  const std::string bytes = Utf16ToCodePage(u"a\u4E00b");
  if (platform::SystemCodePage() == 65001) {
    EXPECT_EQ(bytes,
              "a\xE4\xB8\x80"
              "b");
  } else {
    EXPECT_EQ(bytes, "a?b");
  }
}

TEST(CodePageTest, Utf8CodePageUsesTheOwnDecoder) {
  if (platform::SystemCodePage() != 65001) GTEST_SKIP() << "single-byte code page";
  EXPECT_EQ(CodePageToUtf16("\xE4\xB8"
                            "A\xFF"),
            u"\u0138A?");
  const std::string name = "\xD0\x94\xD0\xB5\xD1\x82\xD0\xB0\xD0\xBB\xD1\x8C.html";
  EXPECT_EQ(FileNameToUtf8(name), name);
  EXPECT_EQ(LowerInCodePage("\xD0\x81\xD0\x96"), "\xD1\x91\xD0\xB6");
}

}  // namespace
}  // namespace qv
