#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>

#include "runtime/encodings.h"
#include "support/utf8_model.h"

namespace qv {
namespace {

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::u16string text;
};

const DecodeCase kDecodeCases[] = {
    {"empty", "", u""},
    {"ASCII with line ends", "a\r\nb", u"a\r\nb"},
    {"two bytes", "\xD0\x90", u"\u0410"},
    {"three bytes", "\xE2\x82\xAC", u"\u20AC"},
    {"four bytes", "\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
    {"largest code point", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
    {"overlong two bytes", "\xC0\x80", u"?"},
    {"overlong C1", "\xC1\xBF", u"?"},
    {"encoded surrogate", "\xED\xA0\x80", u"?"},
    {"encoded low surrogate", "\xED\xBF\xBF", u"?"},
    {"U+FFFE", "\xEF\xBF\xBE", u"?"},
    {"U+FFFD stays", "\xEF\xBF\xBD", u"\uFFFD"},
    {"overlong three bytes", "\xE0\x9F\xBF", u"?"},
    {"overlong four bytes", "\xF0\x8F\xBF\xBF", u"?"},
    {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"?"},
    {"lone 255", "\xFF", u"?"},
    {"lone continuation", "\x80", u"?"},
    {"continuations",
     "\x80\xBF"
     "a",
     u"??a"},
    {"lone lead at the end", "\xE2", u"?"},
    {"lead cut one byte short", "\xE2\x82", u"\u0082"},
    {"lead cut two bytes short", "a\xF0\x9F", u"a??"},
    {"stopped early by ASCII",
     "\xE4\xB8"
     "A",
     u"\u0138A"},
    {"two-byte lead before ASCII",
     "\xD0"
     "A",
     u"?A"},
    {"four-byte lead stopped after two",
     "\xF0\x90"
     "x",
     u"\u0410x"},
    {"four-byte lead stopped after three",
     "\xF0\x9F\x98"
     "x",
     u"?x"},
    {"four-byte lead stopped after three, large",
     "\xF3\xBF\xBF"
     "x",
     u"\x3FFF"
     "x"},
    {"five-byte form", "\xF8\x88\x80\x80\x80", u"?"},
    {"six-byte form",
     "\xFC\x84\x80\x80\x80\x80"
     "z",
     u"?z"},
    {"eight-byte lead near the end", "\xFF\x80\x80", u"???"},
    {"eight-byte lead, seven continuations", "\xFF\x80\x80\x80\x80\x80\x80\x80", u"?"},
    {"five-byte lead stopped after two",
     "\xF8\x90"
     "abc",
     u"\x0610"
     "abc"},
    {"five-byte lead too near the end",
     "\xF8\x90"
     "a",
     u"??a"},
    {"Cyrillic word", "\xD0\x9C\xD0\xA2\xD0\xA1 \xD1\x91", u"\u041C\u0422\u0421 \u0451"},
    {"ASCII run over eight bytes then Cyrillic", "abcdefghij\xD0\xB0", u"abcdefghij\u0430"},
    {"Cyrillic run ends at a bad byte", "\xD0\xB0\xD0\xB1\xFF\xD0\xB2", u"\u0430\u0431?\u0432"},
};

TEST(Utf8Test, DecodesWithOneQuestionMarkPerBadSequence) {
  for (const DecodeCase& c : kDecodeCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeUtf8(c.bytes), c.text);
  }
}

// The fast paths take eight ASCII bytes or a run of two-byte letters at a
// time: every case must decode the same at any offset behind them. (Nothing
// follows the case: its end of input matters.)
TEST(Utf8Test, DecodesTheSameAfterAnyPrefix) {
  const std::string prefixes[] = {"",
                                  "a",
                                  "abcdefg",
                                  "abcdefgh",
                                  "\xD0\xB0",
                                  "\xD0\xB0\xD0\xB1"
                                  "cd"};
  for (const std::string& prefix : prefixes) {
    const std::u16string decodedPrefix = DecodeUtf8(prefix);
    for (const DecodeCase& c : kDecodeCases) {
      SCOPED_TRACE(std::string(c.name) + " after " + std::to_string(prefix.size()));
      EXPECT_EQ(DecodeUtf8(prefix + c.bytes), decodedPrefix + c.text);
    }
  }
}

// Each byte from 0x80 up before second bytes from the whole range, then a
// continuation.
TEST(Utf8Test, ThreeByteMixesDecodeByTheRulesWithoutLoneSurrogates) {
  std::string bytes;
  for (int a = 0x80; a < 0x100; ++a) {
    for (int b = 0; b < 0x100; b += 7) {
      bytes.assign({static_cast<char>(a), static_cast<char>(b), static_cast<char>(0xBF)});
      const std::u16string text = DecodeUtf8(bytes);
      ASSERT_EQ(text, test::ReferenceDecodeUtf8(bytes)) << a << " " << b;
      ASSERT_FALSE(test::HasLoneSurrogate(text)) << a << " " << b;
    }
  }
}

// Cleaned a sequence at a time, as the report printer cleans texts.
std::string Cleaned(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      out += bytes[i++];
      continue;
    }
    char sequence[4];
    std::size_t written = 0;
    i += CleanUtf8Sequence(bytes.substr(i), sequence, written);
    out.append(sequence, written);
  }
  return out;
}

// Cleaning must be exactly decoding and encoding again, for the table and
// for random mixes of its pieces behind every prefix.
TEST(Utf8Test, CleaningIsDecodingAndEncodingAgain) {
  const std::string prefixes[] = {"", "a", "abcdefgh",
                                  "\xD0\xB0\xD0\xB1"
                                  "cd"};
  for (const std::string& prefix : prefixes) {
    for (const DecodeCase& c : kDecodeCases) {
      SCOPED_TRACE(std::string(c.name) + " after " + std::to_string(prefix.size()));
      EXPECT_EQ(Cleaned(prefix + c.bytes), EncodeUtf8(DecodeUtf8(prefix + c.bytes)));
    }
  }
  std::mt19937 random(20101207);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    for (int n = static_cast<int>(random() % 8); n > 0; --n) {
      bytes += kDecodeCases[random() % std::size(kDecodeCases)].bytes;
      if (random() % 4 == 0) bytes += static_cast<char>(random());
    }
    SCOPED_TRACE(bytes);
    ASSERT_EQ(Cleaned(bytes), EncodeUtf8(DecodeUtf8(bytes)));
  }
}

TEST(Utf8Test, EncodesAndDecodesBack) {
  const std::u16string texts[] = {u"",       u"abc",          u"\u0410\u0451",
                                  u"\u20AC", u"\xD83D\xDE00", u"\u07FF\u0800\uFFFD"};
  for (const std::u16string& text : texts) {
    SCOPED_TRACE(text.size());
    EXPECT_EQ(DecodeUtf8(EncodeUtf8(text)), text);
  }
  EXPECT_EQ(EncodeUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(EncodeUtf8(u"\xDC00"), "\xEF\xBF\xBD");
}

TEST(Utf8Test, LowersLatinAndCyrillicLetters) {
  struct Case {
    const char* upper;
    const char* lower;
  };
  const Case cases[] = {
      {"MTS FORIS", "mts foris"},
      {"\xD0\x90\xD0\x91\xD0\xAF", "\xD0\xB0\xD0\xB1\xD1\x8F"},  // АБЯ
      {"\xD0\x81\xD0\x8E", "\xD1\x91\xD1\x9E"},                  // ЁЎ
      {"\xC3\x80\xC3\x9E\xC3\x97", "\xC3\xA0\xC3\xBE\xC3\x97"},  // ÀÞ, × stays
      {"\xC5\xB8", "\xC3\xBF"},                                  // Ÿ
      {"\xC4\xB0", "i"},                                         // İ
      {"\xCE\xA3\xCE\x86", "\xCF\x83\xCE\xAC"},                  // ΣΆ
      {"\xD0\xB0z1", "\xD0\xB0z1"},
      {"\xFF\xD0"
       "A",
       "\xFF\xD0"
       "a"},  // bad bytes kept
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.upper);
    EXPECT_EQ(LowerUtf8(c.upper), c.lower);
  }
}

}  // namespace
}  // namespace qv
