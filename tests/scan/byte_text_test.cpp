#include "runtime/byte_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace qv {
namespace {

constexpr TextPos kMax = std::numeric_limits<TextPos>::max();
constexpr TextPos kMin = std::numeric_limits<TextPos>::min();
using std::string_literals::operator""s;

TEST(TrimBlanks, RemovesEveryByteUpToSpaceAtBothEnds) {
  const struct {
    std::string text, expected;
  } cases[] = {
      {"\t x \r", "x"},
      {"\0\0\0"s, ""},
      {"\0a\x1f b\x0b\x0c\0"s, "a\x1f b"},
      {"", ""},
      {"\xA0x\xA0", "\xA0x\xA0"},
      {"\xD0\x98\xC2\xA0", "\xD0\x98\xC2\xA0"},
      {"\x7F", "\x7F"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(TrimBlanks(c.text), c.expected);
  }
}

TEST(FindText, FirstOccurrenceCountedInBytes) {
  const struct {
    std::string pattern, text;
    TextPos expected;
  } cases[] = {
      {"", "abc", 0},       {"abcd", "abc", 0}, {"abc", "abc", 1},
      {"c", "abc", 3},      {"aab", "aaab", 2}, {"Итого", "1 Итого 2 Итого", 3},
      {"\0b"s, "a\0b"s, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern + " in " + c.text);
    EXPECT_EQ(FindText(c.pattern, c.text), c.expected);
  }
}

TEST(FindText, LongPatternsFoundWherePrefixesRepeat) {
  // Long patterns take their own search: make it meet near misses.
  const std::string pattern = std::string(100, 'a') + "b";
  const std::string text = std::string(150, 'a') + "b" + std::string(10, 'a') + pattern;
  EXPECT_EQ(FindText(pattern, text), 51);
  EXPECT_EQ(FindText(pattern + "c", text), 0);
}

TEST(FindByte, FirstPositionOrZero) {
  EXPECT_EQ(FindByte('a', "abcabc"), 1);
  EXPECT_EQ(FindByte('c', "abcabc"), 3);
  EXPECT_EQ(FindByte('d', "abcabc"), 0);
  EXPECT_EQ(FindByte('a', ""), 0);
  EXPECT_EQ(FindByte('\xD0', "x\xD0\x98"), 2);
}

TEST(SliceText, ClampsIndexAndCount) {
  const struct {
    std::string text;
    TextPos index, count;
    std::string expected;
  } cases[] = {
      {"abcdef", 0, 3, "abc"}, {"abcdef", -2, 3, "abc"},   {"abc", 2, 100, "bc"},
      {"abc", 4, 1, ""},       {"abcde", -4, 10, "abcde"}, {"abc", 3, 1, "c"},
      {"abc", 1, 0, ""},       {"abc", 1, -5, ""},         {"abc", kMin, kMax, "abc"},
      {"abc", kMax, kMax, ""}, {"abc", 2, kMax, "bc"},     {"", 1, 1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " " << c.index << " " << c.count);
    EXPECT_EQ(SliceText(c.text, c.index, c.count), c.expected);
  }
}

TEST(CaseFolding, OnlyTheAsciiLettersChange) {
  EXPECT_EQ(LowerAscii("MTS FORIS @[`{"), "mts foris @[`{");
  EXPECT_EQ(UpperAscii("mts foris @[`{"), "MTS FORIS @[`{");
  EXPECT_EQ(LowerAscii("ИТОГО"), "ИТОГО");
  EXPECT_EQ(UpperAscii("итого"), "итого");
}

TEST(FileNameOf, TakesTheBytesAfterTheLastSeparator) {
  const struct {
    std::string path, expected;
  } cases[] = {
      {"C:\\dir\\file.html", "file.html"},
      {"C:file", "file"},
      {"C:\\dir\\", ""},
      {"/home/u/a.htm", "a.htm"},
      {"d\\e/f:g", "g"},
      {"plain", "plain"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FileNameOf(c.path), c.expected);
  }
}

}  // namespace
}  // namespace qv
