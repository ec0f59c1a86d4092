#include "runtime/line_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "runtime/service_error.h"
#include "temp_files.h"

namespace qv {
namespace {

struct SplitCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> lines;
};

const SplitCase kSplitCases[] = {
    {"CR LF", "a\r\nb", {"a", "b"}},
    {"LF LF", "a\n\nb", {"a", "", "b"}},
    {"lone CR", "a\rb", {"a", "b"}},
    {"LF CR is two line ends", "a\n\rb", {"a", "", "b"}},
    {"CR CR", "a\r\rb", {"a", "", "b"}},
    {"final CR LF adds no line", "a\r\nb\r\n", {"a", "b"}},
    {"final LF adds no line", "a\n", {"a"}},
    {"final CR adds no line", "a\r", {"a"}},
    {"no final line end", "a\r\nbc", {"a", "bc"}},
    {"one byte", "x", {"x"}},
    {"empty", "", {}},
    {"only CR LF", "\r\n", {""}},
    {"only LF CR", "\n\r", {"", ""}},
    {"only CR", "\r", {""}},
    {"blank lines between", "\r\n\r\na", {"", "", "a"}},
    {"zero bytes and 26 stay", std::string("a\0b\x1A", 4), {std::string("a\0b\x1A", 4)}},
    {"CR CR LF", "a\r\r\nb", {"a", "", "b"}},
};

std::vector<std::string> LinesOf(const LineList& list) {
  std::vector<std::string> lines;
  for (std::int64_t i = 0; i < list.Count(); ++i) lines.emplace_back(list.Get(i));
  return lines;
}

TEST(LineListTest, SplitsBytesAtCrLfAndBoth) {
  for (const SplitCase& c : kSplitCases) {
    SCOPED_TRACE(c.name);
    LineList list;
    list.LoadFromBytes(c.bytes);
    EXPECT_EQ(LinesOf(list), c.lines);
    EXPECT_EQ(list.Count(), static_cast<std::int64_t>(c.lines.size()));
  }
}

TEST(LineListTest, FileSplitsLikeBytes) {
  TempDir dir;
  for (const SplitCase& c : kSplitCases) {
    SCOPED_TRACE(c.name);
    std::string path = dir.Write("split.txt", c.bytes);
    LineList list;
    list.LoadFromFile(path.c_str());
    EXPECT_EQ(LinesOf(list), c.lines);
  }
}

// Sizes around the doubling chunks (1024, then 1024 + 2048, ...) catch a
// chunk boundary that loses or repeats bytes.
TEST(LineListTest, LoadsFilesAcrossChunkBoundaries) {
  TempDir dir;
  for (std::size_t size : {1023u, 1024u, 1025u, 3071u, 3072u, 3073u, 7168u, 100000u}) {
    SCOPED_TRACE(size);
    std::string bytes;
    for (std::size_t i = 0; bytes.size() < size; ++i) {
      bytes += std::to_string(i);
      bytes += (i % 3 == 0) ? "\r\n" : (i % 3 == 1 ? "\n" : "\r");
    }
    bytes.resize(size);
    std::string path = dir.Write("chunks.txt", bytes);
    LineList fromFile;
    fromFile.LoadFromFile(path.c_str());
    LineList fromBytes;
    fromBytes.LoadFromBytes(bytes);
    EXPECT_EQ(LinesOf(fromFile), LinesOf(fromBytes));
  }
}

TEST(LineListTest, JoinedTextEndsEveryLineWithCrLf) {
  LineList list;
  EXPECT_EQ(list.JoinedText(), "");
  list.LoadFromBytes("a\nb");
  EXPECT_EQ(list.JoinedText(), "a\r\nb\r\n");
  list.LoadFromBytes("a\r\n\r\nb\r\n");
  EXPECT_EQ(list.JoinedText(), "a\r\n\r\nb\r\n");
  list.Delete(1);
  EXPECT_EQ(list.JoinedText(), "a\r\nb\r\n");
}

TEST(LineListTest, IndexOutsideTheListRaisesWithTheIndex) {
  struct Case {
    const char* bytes;
    std::int64_t index;
    bool del;
    const char* message;
  };
  const Case cases[] = {
      {"", 0, false, "List index (0) out of bounds"},
      {"", -1, true, "List index (-1) out of bounds"},
      {"a\nb", 2, false, "List index (2) out of bounds"},
      {"a\nb", 2, true, "List index (2) out of bounds"},
      {"a\nb", -1, false, "List index (-1) out of bounds"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    LineList list;
    list.LoadFromBytes(c.bytes);
    const auto before = list.Count();
    try {
      if (c.del) {
        list.Delete(c.index);
      } else {
        list.Get(c.index);
      }
      ADD_FAILURE() << "no error";
    } catch (const ServiceError& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
    EXPECT_EQ(list.Count(), before);
  }
}

TEST(LineListTest, DeleteMovesLaterLinesDown) {
  LineList list;
  list.LoadFromBytes("a\nb\nc");
  list.Delete(0);
  EXPECT_EQ(list.Get(0), "b");
  EXPECT_EQ(list.Get(1), "c");
  EXPECT_EQ(list.Count(), 2);
}

TEST(LineListTest, MissingFileRaisesOpenErrorNamingIt) {
  TempDir dir;
  const std::string path = dir.Path("missing.txt");
  LineList list;
  try {
    list.LoadFromFile(path.c_str());
    ADD_FAILURE() << "no error";
  } catch (const ServiceError& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to open file \"" + path + "\"");
  }
  EXPECT_EQ(list.Count(), 0);
}

TEST(LineListTest, FolderCannotBeLoaded) {
  TempDir dir;
  LineList list;
  EXPECT_THROW(list.LoadFromFile(dir.Path("").c_str()), ServiceError);
}

TEST(LineJoinerTest, ReadsTheLinesOfTheList) {
  for (const SplitCase& c : kSplitCases) {
    SCOPED_TRACE(c.name);
    LineList list;
    list.LoadFromBytes(c.bytes);
    LineJoiner joiner(list);
    std::vector<std::string> lines;
    for (std::string_view line; joiner.Next(line);) lines.emplace_back(line);
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(joiner.Finish(), "");
  }
}

// Lines kept at once, kept after the next line was read, or dropped, with
// line ends of every length: the joined text must come out whole, whether
// it fits in the bytes read or waits in the queue.
TEST(LineJoinerTest, JoinsTheLinesKept) {
  std::mt19937 random(20110305);
  const std::string_view lineEnds[] = {"\r\n", "\n", "\r", ""};
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    for (std::size_t i = random() % 40; i > 0; --i) {
      bytes += std::string(random() % 12, static_cast<char>('a' + i % 26));
      bytes += lineEnds[i == 1 ? random() % 4 : random() % 3];
    }
    SCOPED_TRACE(bytes);
    // The lines as read from a buffer of their own.
    LineList original;
    original.LoadFromBytes(bytes);
    const auto lineEnded = [&](std::int64_t index) {
      return std::string(original.Get(index)) + "\r\n";
    };

    LineList list;
    list.LoadFromBytes(bytes);
    LineJoiner joiner(list);
    std::string expected;
    std::int64_t index = 0;
    std::optional<std::int64_t> held;
    std::string_view heldLine;
    for (std::string_view line; joiner.Next(line); ++index) {
      ASSERT_EQ(line, original.Get(index));
      if (held) {
        joiner.Keep(heldLine, line.data());
        expected += lineEnded(*held);
        held.reset();
      }
      switch (random() % 3) {
        case 0:
          joiner.Keep(line);
          expected += lineEnded(index);
          break;
        case 1:
          held = index;
          heldLine = line;
          break;
        default:
          break;
      }
    }
    if (held) {
      joiner.Keep(heldLine);
      expected += lineEnded(*held);
    }
    ASSERT_EQ(std::string(joiner.Finish()), expected);
    EXPECT_EQ(list.Count(), 0);
  }
}

TEST(LineListTest, CrLfFileJoinsBackToItsBytes) {
  const std::string bytes = "<tr>\r\n<td>\xD0\x90</td>\r\n\r\n</tr>\r\n";
  LineList list;
  list.LoadFromBytes(bytes);
  EXPECT_EQ(list.JoinedText(), bytes);
}

}  // namespace
}  // namespace qv
