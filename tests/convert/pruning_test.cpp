// The pruning as the detail is read, against the list deleted one line at a
// time.
#include "convert/pruning.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "runtime/byte_text.h"
#include "runtime/line_stream.h"
#include "runtime/service_error.h"
#include "support/detail_model.h"

namespace qv {
namespace {

using Lines = std::vector<std::string>;

std::string JoinWithLineEnds(const Lines& lines, std::string_view lineEnd = "\r\n") {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + std::string(lineEnd);
  return bytes;
}

using Outcome = test::PrunedDetail;

Outcome PruneOneByOne(const Lines& input, std::string_view lineEnd = "\r\n") {
  return test::PruneLineByLine(JoinWithLineEnds(input, lineEnd));
}

// The passes as the conversion carries them out, on the bytes arriving in
// pieces of the given size.
Outcome PruneAsRead(const Lines& input, std::string_view lineEnd = "\r\n", std::size_t piece = 5) {
  const std::string bytes = JoinWithLineEnds(input, lineEnd);
  LineStream lines;
  DetailPruner pruner;
  std::string joined;
  const auto takeLines = [&] {
    std::string_view line;
    std::string_view kept;
    while (lines.Next(line)) {
      if (pruner.Take(line, kept)) joined.append(kept).append("\r\n");
    }
  };
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    const std::string_view part = std::string_view(bytes).substr(at, piece);
    pruner.CopyHeldLine();
    std::memcpy(lines.Space(part.size()).data(), part.data(), part.size());
    lines.Added(part.size());
    takeLines();
  }
  lines.End();
  takeLines();
  try {
    joined.append(pruner.Finish()).append("\r\n");
  } catch (const ServiceError& error) {
    return {error.what(), ""};
  }
  return {std::nullopt, joined};
}

const std::string kHeading = "<h3>Состоявшиеся разговоры</h3>";
const std::string kSubscriber = "<td>Абонентский номер 9161234567</td>";
const std::string kTotal = "<td>Итого</td>";

// The lines arrive in pieces of every size, so that a line, or the LF after
// a CR, is cut anywhere.
TEST(PruningTest, MatchesDeletingOneLineAtATime) {
  const std::string_view lineEnds[] = {"\r\n", "\n", "\r"};
  std::mt19937 random(20110331);
  int withError = 0;
  int withBlocks = 0;
  for (int round = 0; round < 20000; ++round) {
    const int count = static_cast<int>(random() % 13);
    Lines input;
    for (int k = 0; k < count; ++k) {
      const std::string tag = std::to_string(k);
      switch (random() % 8) {
        case 0:
          input.push_back("");
          break;
        case 1:
          input.push_back(" \t\x01");
          break;
        case 2:
          input.push_back(kHeading + tag);
          break;
        case 3:
          input.push_back(kSubscriber + tag);
          break;
        case 4:
          input.push_back(kTotal + tag);
          break;
        case 5:
          input.push_back(kSubscriber + kTotal + tag);
          break;
        default:
          input.push_back("<tr>" + tag + "</tr>");
          break;
      }
    }
    const std::string_view lineEnd = lineEnds[random() % 3];
    const Outcome expected = PruneOneByOne(input, lineEnd);
    const Outcome actual = PruneAsRead(input, lineEnd, 1 + random() % 40);
    SCOPED_TRACE(JoinWithLineEnds(input, lineEnd));
    ASSERT_EQ(actual.error, expected.error);
    ASSERT_EQ(actual.joined, expected.joined);
    if (expected.error) ++withError;
    if (std::count(expected.joined.begin(), expected.joined.end(), '\n') > 2) ++withBlocks;
  }
  // Both outcomes must have been met often enough to mean something.
  EXPECT_GT(withError, 1000);
  EXPECT_GT(withBlocks, 1000);
}

TEST(PruningTest, OutsideBlocks) {
  struct Case {
    Lines input;
    Lines expected;
  };
  const std::string& H = kHeading;
  const Case cases[] = {
      {{H, "a", "b", "Абонентский номер", "x", "y", "Итого", "c"},
       {"b", "Абонентский номер", "x", "c"}},
      {{H, "Абонентский номер", "x", "Итого"}, {H, "Абонентский номер", "Итого"}},
      {{H, "a", "Абонентский номер", "x", "y", "Итого", "Абонентский номер 2", "z", "Итого 2", "e"},
       {"a", "Абонентский номер", "x", "Итого", "Абонентский номер 2", "e"}},
      // A line holding both markers ends outside a block.
      {{H, "Абонентский номер Итого", "x"}, {"x"}},
      {{H, "x"}, {"x"}},
      // Blank lines go first: every byte up to the space counts as blank.
      {{"<html>", H, "Абонентский номер", " ", "a", "\t\x1a", std::string("\0", 1), "b c", "z"},
       {H, "Абонентский номер", "a", "b c", "z"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(JoinWithLineEnds(c.input));
    EXPECT_EQ(PruneAsRead(c.input).joined, JoinWithLineEnds(c.expected));
  }
}

TEST(PruningTest, IndexErrors) {
  struct Case {
    const char* what;
    Lines input;
  };
  const Case cases[] = {
      {"empty file", {}},
      {"one line", {kHeading}},
      {"no heading", {"<html>", kSubscriber, "<tr>1</tr>", kTotal}},
      {"heading last", {"<html>", "", kHeading}},
      {"only blanks after the heading", {kHeading, " ", "\t"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(PruneAsRead(c.input).error, "List index (1) out of bounds");
    EXPECT_EQ(PruneOneByOne(c.input).error, "List index (1) out of bounds");
  }
}

TEST(PruningTest, MarkersAreFoundWhereverTheyStand) {
  const std::string_view marker = kSubscriberMarker.Text();
  const auto join = [](std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces) text.append(piece);
    return text;
  };
  const std::string texts[] = {
      "",
      "\x90",
      join({marker}),
      join({"x", marker}),
      join({marker, "x"}),
      join({"А", marker}),
      join({marker.substr(0, 32)}),
      join({"x", marker.substr(0, 32)}),
      join({marker.substr(1)}),
      join({marker.substr(0, 2), marker}),
      join({"\x90\x90\x90", marker.substr(0, 10), "\xD0", marker}),
      std::string(100, '\x90'),
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    EXPECT_EQ(kSubscriberMarker.In(text), FindText(marker, text) != 0);
    std::string withTotal = text;
    withTotal.append("Итого");
    EXPECT_TRUE(kTotalMarker.In(withTotal));
  }
}

}  // namespace
}  // namespace qv
