#include "scan/element_scanner.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/scanner_model.h"

namespace qv {
namespace {

struct ScanCase {
  std::string text, name;
  TextPos start;
  std::string expected;
  TextPos stop;
};

void ExpectScans(std::initializer_list<ScanCase> cases) {
  for (const ScanCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << testing::PrintToString(c.text) << " name " << c.name << " from " << c.start);
    const TagContent found = NextTagContent(c.text, c.name, c.start);
    EXPECT_EQ(found.content, c.expected);
    EXPECT_EQ(found.stop, c.stop);
  }
}

TEST(NextTagContent, WalksTheCellsOfARow) {
  const std::string row = "<tr><td> 12 </td><td>x</td></tr>";
  ExpectScans({
      {row, "td", 1, "12", 18},
      {row, "td", 18, "x", 28},
      {row, "td", 28, "", 33},  // the "</tr>" ends the search
      {row, "td", 33, "", 33},
      {row, "td", 40, "", 39},
      {row, "tr", 1, "<td> 12 </td><td>x</td>", 33},
  });
}

TEST(NextTagContent, MatchesLooselyAsTheCallersExpect) {
  ExpectScans({
      {"no tags at all", "td", 1, "", 15},
      {"", "td", 1, "", 1},
      {"<td>abc", "td", 1, "", 8},
      {"<td class=x>5</td>", "td", 1, "5", 19},
      {"<td class=str>7</td></tr>", "tr", 1, "7</td>", 26},
      {"<span>1/2</span><td>x</td>", "td", 1, "", 17},
      {"<span>1/2</span><td>x</td>", "td", 17, "x", 27},
      {"<TD>1</TD>", "td", 1, "", 11},
      {"<td><b>x</b></td>", "td", 1, "<b>x</b>", 18},
      {"<td>\t x \r\n</td>", "td", 1, "x", 16},
      {"<td>\x0cx\xC2\xA0</td>", "td", 1, "\x0cx\xC2\xA0", 14},
      {"td <b>1</b>", "td", 1, "", 12},      // the name read before the tag counts
      {"<td>1</tdx>", "td", 1, "1", 12},     // so does any "/" and the name
      {"<td>a/td>b</td>", "td", 1, "", 10},  // no "<" read in the content yet
      {"<td>a<b>/td>", "td", 1, "a", 13},
      {"<p>x<td>y</td>", "td", 1, "y", 15},
      {"<td>x</td>", "", 1, "", 11},  // an empty name never matches
      {"<td>x", "td", 5, "", 6},
      {"<td>x</td>", "td", 0, "x", 11},  // a start before the text reads from its start
  });
}

TEST(NextTagContent, FindsLongNames) {
  const std::string name = "tabletabletabletable";
  ExpectScans({
      {"<tabletabletabletable> x </tabletabletabletable>", name, 1, "x", 49},
      {"<tabletabletabletable> x </abletabletabletable>", name, 1, "", 48},
      {"<abletabletabletable> x </tabletabletabletable>", name, 1, "", 48},
  });
}

TEST(NextTagContent, AgreesWithTheStateTableOnRandomTexts) {
  std::mt19937 random(20101207);
  const std::string_view alphabet = "<>/tdx ";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  for (const char* name : {"td", "t", "d>", "/t", "", "td<"}) {
    for (int round = 0; round < 20000; ++round) {
      std::string text(std::uniform_int_distribution<std::size_t>(0, 24)(random), ' ');
      for (char& byte : text) byte = alphabet[pick(random)];
      const TextPos start =
          std::uniform_int_distribution<TextPos>(1, static_cast<TextPos>(text.size()) + 3)(random);
      SCOPED_TRACE(testing::Message() << '"' << text << "\" " << name << " " << start);
      const test::ScanOutcome expected = test::ReferenceScan(text, name, start);
      const TagContent found = NextTagContent(text, name, start);
      ASSERT_EQ(found.content, expected.content);
      ASSERT_EQ(found.stop, expected.stop);
    }
  }
}

// Texts made of whole tags and cell texts, long enough for the searches that
// take eight bytes at a time.
TEST(NextTagContent, AgreesWithTheStateTableOnRandomMarkup) {
  std::mt19937 random(20110301);
  const std::string_view pieces[] = {"<td>",     "</td>", "<tr>", "</tr>", "<b>", "</b>",
                                     "12345678", "x",     " ",    "/",     "<",   ">",
                                     "td",       "tr",    "\r\n", "<td x>"};
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  for (const char* name : {"td", "tr", "b"}) {
    for (int round = 0; round < 20000; ++round) {
      std::string text;
      for (int n = std::uniform_int_distribution<int>(0, 20)(random); n > 0; --n) {
        text += pieces[pick(random)];
      }
      const TextPos start =
          std::uniform_int_distribution<TextPos>(1, static_cast<TextPos>(text.size()) + 1)(random);
      SCOPED_TRACE(testing::Message() << '"' << text << "\" " << name << " " << start);
      const test::ScanOutcome expected = test::ReferenceScan(text, name, start);
      const TagContent found = NextTagContent(text, name, start);
      ASSERT_EQ(found.content, expected.content);
      ASSERT_EQ(found.stop, expected.stop);
      // A walk over a cut of the text that did not run out decided what the
      // whole text gives.
      const std::size_t cut = std::uniform_int_distribution<std::size_t>(0, text.size())(random);
      const TagContent early = NextTagContent(std::string_view(text).substr(0, cut), name, start);
      if (!early.ranOut) {
        ASSERT_EQ(early.content, expected.content) << "cut at " << cut;
        ASSERT_EQ(early.stop, expected.stop) << "cut at " << cut;
      }
    }
  }
}

// Rows mostly in the usual form, some with spacing, markup or a "/" in them,
// some cut short: a row read off in one pass gives what the row walk and
// then the cell walks over its content give.
TEST(ReadPlainRow, AgreesWithTheWalks) {
  std::mt19937 random(20110302);
  const std::string_view cellTexts[] = {
      "12", " x ", "", "9:48", "\xD0\x9C\xD0\xBE", "a/td>b", "<b>1</b>", "\r\n", "&lt;-- 1", "<"};
  const std::string_view gaps[] = {"", "", "", "", " ", "\r\n", "x", "<td x>"};
  const auto pick = [&random](const auto& list) {
    return std::string(
        list[std::uniform_int_distribution<std::size_t>(0, std::size(list) - 1)(random)]);
  };
  int plainRows = 0;
  std::vector<std::string_view> cells;
  for (int round = 0; round < 20000; ++round) {
    // Some rows of the usual form only, up to more cells than are kept.
    const bool usual = round % 8 == 1;
    std::string text = pick(gaps) + "<tr>";
    for (int n = std::uniform_int_distribution<int>(0, 20)(random); n > 0; --n) {
      text += (usual ? "" : pick(gaps)) + "<td>" + (usual ? "12" : pick(cellTexts)) + "</td>";
    }
    text += pick(gaps) + "</tr>" + pick(gaps) + "<tr><td>";
    if (round % 4 == 0)
      text.resize(std::uniform_int_distribution<std::size_t>(0, text.size())(random));
    SCOPED_TRACE(text);
    TagContent row;
    if (!ReadPlainRow(text, row, cells)) continue;
    ++plainRows;
    const TagContent walked = NextTagContent(text, "tr", 1);
    ASSERT_EQ(row.content, walked.content);
    ASSERT_EQ(row.stop, walked.stop);
    ASSERT_FALSE(walked.ranOut);
    std::vector<std::string_view> walkedCells;
    for (TextPos cursor = 1; static_cast<TextPos>(walked.content.size()) > cursor;) {
      const TagContent cell = NextTagContent(walked.content, "td", cursor);
      if (walkedCells.size() < kKeptCells) walkedCells.push_back(cell.content);
      cursor = cell.stop;
    }
    ASSERT_EQ(cells, walkedCells);
  }
  EXPECT_GT(plainRows, 500);
}

}  // namespace
}  // namespace qv
