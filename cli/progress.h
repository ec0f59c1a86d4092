#pragma once
// One line on the terminal, redrawn in place while work runs: files done out
// of how many for several inputs, or the share of bytes read and the rate
// for one large input. Messages printed through it never cut into the line.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
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

  void SetFileTotal(std::size_t total) { fileTotal_ = total; }
  void CountFile(bool failed);
  void SetByteTotal(std::uint64_t total) { byteTotal_ = total; }
  void AddBytes(std::uint64_t count) { bytesDone_ += count; }

  // A line of its own, such as a failure; the progress is drawn again below it.
  void PrintMessage(std::string_view line);

  // Stops redrawing and clears the line; the destructor does it too.
  void Finish();

 private:
  void RedrawUntilFinished();
  void DrawLocked();
  void ClearLocked();
  std::string Text() const;

  std::FILE* stream_;
  Timing timing_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::atomic<std::size_t> fileTotal_{0};
  std::atomic<std::size_t> filesDone_{0};
  std::atomic<std::size_t> filesFailed_{0};
  std::atomic<std::uint64_t> byteTotal_{0};
  std::atomic<std::uint64_t> bytesDone_{0};
  std::mutex mutex_;
  std::condition_variable finishing_;
  bool finished_ = false;
  bool shown_ = false;
  std::thread redrawer_;
};

}  // namespace qv::cli
