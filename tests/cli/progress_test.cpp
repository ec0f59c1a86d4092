// The progress line: its texts, that it stays off a stream that is not a
// terminal and off short work, and that messages never land inside it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "support/temp_folder.h"
#include "tool.h"

namespace {

using namespace std::chrono_literals;
using qv::cli::ProgressLine;

TEST(ProgressText, FilesBytesAndSizes) {
  struct Case {
    std::string actual;
    const char* expected;
  };
  const Case cases[] = {
      {qv::cli::FileCountText(12, 200, 1), "12/200 files, 1 failed"},
      {qv::cli::ByteShareText(250'000'000, 300'000'000, 1000ms), "83% of 300 MB, 250 MB/s"},
      // 100% only when everything is read.
      {qv::cli::ByteShareText(299'999'999, 300'000'000, 2000ms), "99% of 300 MB, 150 MB/s"},
      {qv::cli::ByteShareText(0, 300'000'000, 0ms), "0% of 300 MB"},
      {qv::cli::SizeText(900'400), "900 KB"},
      {qv::cli::SizeText(2'460'000'000), "2.5 GB"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected);
}

class ProgressLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    stream_ = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(stream_, nullptr);
  }
  void TearDown() override {
    if (stream_ != nullptr) std::fclose(stream_);
  }
  std::string Written() const { return qv::test::TempFolder::Read(path_).value_or(""); }

  // Drawn at every event.
  static constexpr ProgressLine::Timing kAtOnce{0ms, 0ms};
  qv::test::TempFolder folder_{"qv_progress_"};
  std::string path_ = folder_.Path("stderr");
  std::FILE* stream_ = nullptr;
};

TEST_F(ProgressLineTest, OnlyMessagesWhenNotDrawnOrWhenTheWorkIsShort) {
  for (const bool drawn : {false, true}) {
    {
      // Work that ends before the delay, however slow the machine.
      ProgressLine progress(stream_, drawn, 3, 0, drawn ? ProgressLine::Timing{24h, 0ms} : kAtOnce);
      progress.FinishFile("qvmtsfrs: a.html: failed");
      progress.AddBytes(10);
    }
    EXPECT_EQ(Written(), "qvmtsfrs: a.html: failed\n");
    stream_ = std::freopen(path_.c_str(), "wb", stream_);
    ASSERT_NE(stream_, nullptr);
  }
}

TEST_F(ProgressLineTest, MessageClearsTheLineAndIsFollowedByItAndTheEndClearsIt) {
  {
    ProgressLine progress(stream_, true, 3, 0, kAtOnce);
    progress.FinishFile("");
    ASSERT_NE(Written().find("1/3 files, 0 failed"), std::string::npos);
    // The failure is counted by the time its message is out.
    progress.FinishFile("qvmtsfrs: b.html: failed");
  }
  const std::string written = Written();
  EXPECT_NE(written.find("\r1/3 files, 0 failed\033[K\r\033[Kqvmtsfrs: b.html: failed\n"
                         "\r2/3 files, 1 failed\033[K"),
            std::string::npos)
      << written;
  EXPECT_TRUE(written.ends_with("\r\033[K")) << written;
}

TEST_F(ProgressLineTest, DrawsAtMostOncePerInterval) {
  {
    ProgressLine progress(stream_, true, 3, 0, ProgressLine::Timing{0ms, 24h});
    progress.FinishFile("");
    progress.FinishFile("");
  }
  EXPECT_EQ(Written(), "\r1/3 files, 0 failed\033[K\r\033[K");
}

TEST_F(ProgressLineTest, ShowsTheShareOfAllInputBytes) {
  for (const auto& [files, expected] :
       {std::pair(1, "\r50% of 300 MB"), std::pair(4, "\r0/4 files, 0 failed, 50% of 300 MB")}) {
    ProgressLine progress(stream_, true, static_cast<std::size_t>(files), 300'000'000, kAtOnce);
    progress.AddBytes(150'000'000);
    EXPECT_NE(Written().find(expected), std::string::npos) << Written();
  }
}

}  // namespace
