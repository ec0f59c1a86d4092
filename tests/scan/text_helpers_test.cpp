#include "scan/text_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace qv {
namespace {

using std::string_literals::operator""s;

std::string RemoveAll(std::string_view text, std::string_view pattern) {
  std::string out = "left over";
  qv::RemoveAll(text, pattern, out);
  return out;
}

TEST(RemoveAll, SearchesAgainFromTheStartAfterEachRemoval) {
  const struct {
    std::string text, pattern, expected;
  } cases[] = {
      {"+7 &lt;-- 123", "&lt;--", "+7  123"},
      {"&lt;&lt;----", "&lt;--", ""},  // removing the inner arrow forms the outer one
      {"&lt;-&lt;---", "&lt;--", ""},
      {"&lt;-&lt;--", "&lt;--", "&lt;-"},
      {"aabb", "ab", ""},
      {"31.01.2011", "", "31.01.2011"},
      {"", "ab", ""},
      {"ab", "abc", "ab"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + " / " + c.pattern);
    EXPECT_EQ(RemoveAll(c.text, c.pattern), c.expected);
  }
}

// The plain algorithm the fast one must agree with.
std::string RemoveAllByRescanning(std::string text, std::string_view pattern) {
  for (TextPos at; (at = FindText(pattern, text)) != 0;) {
    text.erase(static_cast<std::size_t>(at - 1), pattern.size());
  }
  return text;
}

std::string RandomText(std::mt19937& random, std::string_view alphabet, std::size_t maxLength) {
  std::string text(std::uniform_int_distribution<std::size_t>(0, maxLength)(random), ' ');
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  for (char& byte : text) byte = alphabet[pick(random)];
  return text;
}

TEST(RemoveAll, AgreesWithRescanningOnRandomTexts) {
  std::mt19937 random(20110131);
  for (std::string_view alphabet : {"ab", "abc", "a&-"}) {
    for (int round = 0; round < 20000; ++round) {
      std::string pattern = RandomText(random, alphabet, 5);
      if (pattern.empty()) pattern.push_back(alphabet[0]);
      const std::string text = RandomText(random, alphabet, 24);
      SCOPED_TRACE(text + " / " + pattern);
      ASSERT_EQ(RemoveAll(text, pattern), RemoveAllByRescanning(text, pattern));
    }
  }
}

TEST(NthField, SplitsTheTrimmedTextFramedBySeparators) {
  const struct {
    std::string text;
    char separator;
    std::int32_t n;
    std::string expected;
  } cases[] = {
      {"07.12.2010 09:05:00", ' ', 1, "07.12.2010"},
      {"07.12.2010 09:05:00", ' ', 2, "09:05:00"},
      {"07.12.2010", '.', 1, "07"},
      {"07.12.2010", '.', 2, "12"},
      {"07.12.2010", '.', 3, "2010"},
      {"07.12.2010", '.', 4, ""},
      {"07.12.2010", '.', 0, ""},
      {"07.12.2010", '.', INT32_MAX, ""},
      {"abc", '.', 1, ""},  // no separator at all: not even the whole text
      {".x.y", '.', 1, "x"},
      {".x.y", '.', 2, "y"},
      {"x.y", '.', 1, "x"},
      {"x.y", '.', 2, "y"},
      {"x.y.", '.', 2, "y"},
      {"x.y.", '.', 3, ""},
      {"a..b", '.', 1, "a"},
      {"a..b", '.', 2, ""},
      {"a..b", '.', 3, "b"},
      {"a . b", '.', 1, "a "},
      {"a . b", '.', 2, " b"},
      {"  a b  ", ' ', 1, "a"},
      {"  a b  ", ' ', 2, "b"},
      {"  ab  ", ' ', 1, "ab"},  // the separator only among the trimmed blanks
      {" \t \r", ' ', 1, ""},
      {".", '.', 1, ""},
      {"..", '.', 1, ""},
      {"..", '.', 2, ""},
      {"\x01x.y\x02", '.', 2, "y"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << '"' << c.text << "\" '" << c.separator << "' " << c.n);
    EXPECT_EQ(NthField(c.text, c.separator, c.n), c.expected);
  }
}

TEST(StripTags, DropsEachLessThanUpToTheNextGreaterThan) {
  const struct {
    std::string text, expected;
  } cases[] = {
      {"<td class=c>12:05</td>", "12:05"},
      {"a > b", "a > b"},
      {"x<y", "x"},
      {"<a<b>c>", "c>"},
      {"", ""},
      {"<b>1</b> <i>2</i>", "1 2"},
      {"<>", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(StripTags(c.text), c.expected);
  }
}

TEST(TrimSpacing, TrimsOnlyTabLineFeedCarriageReturnAndSpaceOfASlice) {
  const struct {
    std::string text;
    TextPos first, count;
    std::string expected;
  } cases[] = {
      {" \tab c\r\n", 1, 8, "ab c"},
      {"x \t\r\n y", 2, 4, ""},
      {"abc", 1, 0, ""},
      {"abc", 1, -3, ""},
      {"a b c", 2, 3, "b"},
      {"\xC2\xA0x\xC2\xA0", 1, 5, "\xC2\xA0x\xC2\xA0"},
      {"\x0cx\x0c", 1, 3, "\x0cx\x0c"},
      {"\0x\0"s, 1, 3, "\0x\0"s},
      // Slices reaching outside the text are clamped, never read outside it.
      {" ab ", 0, 9, "ab"},
      {" ab ", 3, 9, "b"},
      {" ab ", 9, 2, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << testing::PrintToString(c.text) << " " << c.first << " " << c.count);
    EXPECT_EQ(TrimSpacing(SliceText(c.text, c.first, c.count)), c.expected);
  }
}

}  // namespace
}  // namespace qv
