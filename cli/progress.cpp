#include "progress.h"

#include "progress_text.h"

namespace qv::cli {
namespace {

// Carriage return to the line's start; erase from the cursor to its end.
constexpr std::string_view kReturn = "\r";
constexpr std::string_view kEraseToEnd = "\033[K";

void Write(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* stream, bool drawn, Timing timing)
    : stream_(stream), timing_(timing) {
  if (drawn) redrawer_ = std::thread([this] { RedrawUntilFinished(); });
}

ProgressLine::~ProgressLine() { Finish(); }

void ProgressLine::CountFile(bool failed) {
  if (failed) ++filesFailed_;
  ++filesDone_;
}

void ProgressLine::PrintMessage(std::string_view line) {
  std::lock_guard lock(mutex_);
  const bool wasShown = shown_;
  ClearLocked();
  Write(stream_, line);
  Write(stream_, "\n");
  if (wasShown) DrawLocked();
  std::fflush(stream_);
}

void ProgressLine::Finish() {
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
  }
  finishing_.notify_all();
  if (redrawer_.joinable()) redrawer_.join();
  std::lock_guard lock(mutex_);
  ClearLocked();
  std::fflush(stream_);
}

void ProgressLine::RedrawUntilFinished() {
  std::unique_lock lock(mutex_);
  while (!finishing_.wait_for(lock, timing_.redrawInterval, [this] { return finished_; })) {
    if (std::chrono::steady_clock::now() - start_ >= timing_.delay) {
      DrawLocked();
      std::fflush(stream_);
    }
  }
}

void ProgressLine::DrawLocked() {
  const std::string text = Text();
  if (text.empty()) return;
  Write(stream_, kReturn);
  Write(stream_, text);
  Write(stream_, kEraseToEnd);
  shown_ = true;
}

void ProgressLine::ClearLocked() {
  if (!shown_) return;
  Write(stream_, kReturn);
  Write(stream_, kEraseToEnd);
  shown_ = false;
}

std::string ProgressLine::Text() const {
  if (fileTotal_ > 1) return FileCountText(filesDone_, fileTotal_, filesFailed_);
  if (byteTotal_ > 0) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    return ByteShareText(bytesDone_, byteTotal_, elapsed);
  }
  return {};
}

}  // namespace qv::cli
