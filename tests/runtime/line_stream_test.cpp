// Lines of bytes that arrive in pieces, split as a whole file is.
#include "runtime/line_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/line_list.h"

namespace qv {
namespace {

// Every line, each piece of the given size added before the lines it
// completes are read; a line is copied out, and room for one more byte asked
// for, before the next line is read, so that the buffer may move between
// any two lines.
std::vector<std::string> LinesInPieces(std::string_view bytes, std::size_t piece) {
  LineStream stream;
  std::vector<std::string> lines;
  std::string_view line;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    const std::string_view part = bytes.substr(at, piece);
    std::memcpy(stream.Space(part.size()).data(), part.data(), part.size());
    stream.Added(part.size());
    while (stream.Next(line)) {
      lines.emplace_back(line);
      stream.Space(1);
    }
  }
  stream.End();
  while (stream.Next(line)) lines.emplace_back(line);
  return lines;
}

std::vector<std::string> LinesOf(const test::LineList& list) {
  std::vector<std::string> lines;
  for (std::int64_t i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i));
  return lines;
}

TEST(LineStream, SplitsAtCrLfLfAndCr) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"CR LF", "a\r\nb", {"a", "b"}},
      {"LF LF", "a\n\nb", {"a", "", "b"}},
      {"lone CR", "a\rb", {"a", "b"}},
      {"LF CR is two line ends", "a\n\rb", {"a", "", "b"}},
      {"CR CR LF", "a\r\r\nb", {"a", "", "b"}},
      {"final CR LF adds no line", "a\r\nb\r\n", {"a", "b"}},
      {"final CR adds no line", "a\r", {"a"}},
      {"no final line end", "a\r\nbc", {"a", "bc"}},
      {"empty", "", {}},
      {"only CR LF", "\r\n", {""}},
      {"only LF CR", "\n\r", {"", ""}},
      {"zero bytes and 26 stay", std::string("a\0b\x1A", 4), {std::string("a\0b\x1A", 4)}},
      // Moved after the first line: the CR found then ends a line already
      // read, the LF lies two lines on.
      {"moved between lines", "xxxxxx\ry\rz\n", {"xxxxxx", "y", "z"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (std::size_t piece : {1, 2, 3, 1000}) EXPECT_EQ(LinesInPieces(c.bytes, piece), c.lines);
    test::LineList list;
    list.LoadFromBytes(c.bytes);
    EXPECT_EQ(LinesOf(list), c.lines);
  }
}

// Long lines and runs of line ends move the buffer about; the lines must come out whole whatever
// the pieces.
TEST(LineStream, AgreesWithTheWholeFileOnRandomBytes) {
  std::mt19937 random(20110303);
  const std::string pieces[] = {
      "\r", "\n", "\r\n", "x", "<td>", std::string(300, 'y'), std::string(5000, 'z')};
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    for (auto k = random() % 60; k > 0; --k) bytes += pieces[random() % std::size(pieces)];
    test::LineList list;
    list.LoadFromBytes(bytes);
    SCOPED_TRACE(round);
    ASSERT_EQ(LinesInPieces(bytes, 1 + random() % 700), LinesOf(list));
  }
}

}  // namespace
}  // namespace qv
