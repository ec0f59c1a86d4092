#include "runtime/text_file_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "runtime/service_error.h"
#include "support/temp_folder.h"

namespace qv {
namespace {

std::vector<std::string> ReadAll(const std::string& path) {
  TextFileReader reader;
  reader.OpenForReading(path);
  std::vector<std::string> lines;
  while (!reader.AtEnd()) {
    lines.push_back(reader.ReadLine());
    reader.SkipLineEnd();
  }
  return lines;
}

TEST(TextFileReaderTest, ReadsLinesEndedByCrLfOrBoth) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"CR LF", "A\r\nB", {"A", "B"}},
      {"lone LF", "A\nB\n", {"A", "B"}},
      {"lone CR", "A\rB\r", {"A", "B"}},
      {"LF CR gives an empty line", "A\n\rB", {"A", "", "B"}},
      {"final CR LF", "A\r\n", {"A"}},
      {"blank line", "A\r\n\r\nB", {"A", "", "B"}},
      {"empty file", "", {}},
      {"byte 26 ends the text", "x\r\ny\x1Az\r\nw", {"x", "y"}},
      {"byte 26 after a line end", "x\r\n\x1A\r\ny", {"x"}},
      {"byte 26 first",
       "\x1A"
       "abc",
       {}},
      {"byte 26 between CR and LF", "x\r\x1A\ny", {"x"}},
      {"zero byte inside a line", std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
  };
  test::TempFolder dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadAll(dir.Write("lines.txt", c.bytes)), c.lines);
  }
}

// Lines and line ends that straddle the 256-byte buffer.
TEST(TextFileReaderTest, ReadsAcrossTheBufferBoundary) {
  test::TempFolder dir;
  for (std::size_t length : {254u, 255u, 256u, 257u, 511u, 512u, 1000u}) {
    SCOPED_TRACE(length);
    const std::string first(length, 'a');
    const std::string second(length / 3, 'b');
    EXPECT_EQ(ReadAll(dir.Write("long.txt", first + "\r\n" + second + "\r\nc")),
              (std::vector<std::string>{first, second, "c"}));
  }
}

TEST(TextFileReaderTest, EndTestIsTrueAtByte26) {
  test::TempFolder dir;
  TextFileReader reader;
  reader.OpenForReading(dir.Write("eof.txt", "x\r\ny\x1Az"));
  EXPECT_EQ(reader.ReadLine(), "x");
  reader.SkipLineEnd();
  EXPECT_EQ(reader.ReadLine(), "y");
  reader.SkipLineEnd();
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(reader.ReadLine(), "");
}

TEST(TextFileReaderTest, SkipInsideALineSkipsItsRest) {
  test::TempFolder dir;
  TextFileReader reader;
  reader.OpenForReading(dir.Write("skip.txt", "abc\r\ndef"));
  reader.SkipLineEnd();
  EXPECT_EQ(reader.ReadLine(), "def");
  reader.SkipLineEnd();
  EXPECT_TRUE(reader.AtEnd());
}

void ExpectInOutError(const std::function<void()>& operation, const char* message) {
  try {
    operation();
    ADD_FAILURE() << "no error";
  } catch (const ServiceError& error) {
    EXPECT_STREQ(error.what(), message);
  }
}

TEST(TextFileReaderTest, OpenFailuresCarryTheSystemCode) {
  test::TempFolder dir;
  dir.Write("file.txt", "x");
  struct Case {
    std::string name;
    const char* message;
  };
  std::vector<Case> cases = {
      {dir.Path("missing.txt"), "File not found"},
      {"", "File not found"},
      {"qv-no-such-file-here.txt", "File not found"},
      {dir.Path("no-such-folder/a.txt"), "Invalid filename"},
      {dir.Path("file.txt/a.txt"), "Invalid filename"},
      {dir.Path(""), "Access denied"},
  };
#ifndef _WIN32
  cases.push_back({dir.Path(std::string(300, 'n')), "Invalid filename"});
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextFileReader reader;
    ExpectInOutError([&] { reader.OpenForReading(c.name); }, c.message);
    ExpectInOutError([&] { reader.AtEnd(); }, "File not open");
  }
}

TEST(TextFileReaderTest, OperationsOnAReaderNotOpenFailWith103) {
  const std::function<void(TextFileReader&)> operations[] = {
      [](TextFileReader& r) { r.AtEnd(); },
      [](TextFileReader& r) { r.ReadLine(); },
      [](TextFileReader& r) { r.SkipLineEnd(); },
  };
  for (std::size_t i = 0; i < std::size(operations); ++i) {
    SCOPED_TRACE(i);
    TextFileReader never;
    ExpectInOutError([&] { operations[i](never); }, "File not open");
  }
}

TEST(TextFileReaderTest, SystemCodesMapToReaderCodes) {
  struct Case {
    int system;
    int code;
    const char* message;
  };
  const Case cases[] = {{32, 5, "Access denied"},     {145, 5, "Access denied"},
                        {183, 5, "Access denied"},    {19, 150, "I/O error 150"},
                        {31, 162, "I/O error 162"},   {18, 18, "I/O error 18"},
                        {4, 4, "Too many open files"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.system);
    EXPECT_EQ(InOutCodeOfSystemError(c.system), c.code);
    EXPECT_EQ(InOutMessage(c.code), c.message);
  }
}

}  // namespace
}  // namespace qv
