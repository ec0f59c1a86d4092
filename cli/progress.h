#pragma once
// One line on the terminal, redrawn in place while work runs: the files
// done out of how many, the failures, the share of all input bytes read
// and the rate. Messages printed through it never cut into the line.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>

namespace qv::cli {

class ProgressLine {
 public:
  struct Timing {
    // Short work finishes without the line ever appearing.
    std::chrono::milliseconds delay{1000};
    std::chrono::milliseconds redrawInterval{250};
  };

  // Messages go to stream; the line is drawn there only when drawn is true,
  // which a caller sets for a terminal.
  ProgressLine(std::FILE* stream, bool drawn, Timing timing);
  ProgressLine(std::FILE* stream, bool drawn) : ProgressLine(stream, drawn, Timing{}) {}
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void SetTotals(std::size_t files, std::uint64_t bytes);
  void AddBytes(std::uint64_t count) { bytesDone_ += count; }
  // One input done; a failure's message, when not empty, is printed and
  // counted at once, so the line never tells fewer failures than shown.
  void FinishFile(const std::string& failure);

  // A line of its own; the progress is drawn again below it.
  void PrintMessage(std::string_view line);

  // Stops redrawing and clears the line; the destructor does it too.
  void Finish();

 private:
  void RedrawUntil(const std::stop_token& stop);
  void PrintLocked(std::string_view line);
  void DrawLocked();
  void ClearLocked();
  std::string Text() const;

  std::FILE* stream_;
  Timing timing_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::size_t fileTotal_ = 0;
  std::uint64_t byteTotal_ = 0;
  std::atomic<std::size_t> filesDone_{0};
  std::atomic<std::size_t> filesFailed_{0};
  std::atomic<std::uint64_t> bytesDone_{0};
  std::mutex mutex_;
  std::condition_variable_any finishing_;
  bool shown_ = false;
  std::jthread redrawer_;
};

// "12/200 files, 1 failed"
std::string FileCountText(std::size_t done, std::size_t total, std::size_t failed);
// "83% of 300 MB, 250 MB/s"; no rate before any time has passed.
std::string ByteShareText(std::uint64_t done, std::uint64_t total,
                          std::chrono::milliseconds elapsed);
// "900 KB", "300 MB", "2.5 GB": decimal units, as file managers show them.
std::string SizeText(std::uint64_t bytes);

// 0 for what has no size, such as a pipe.
std::uint64_t FileSize(const std::string& path);
std::uint64_t TotalSize(std::span<const std::string> paths);

}  // namespace qv::cli
