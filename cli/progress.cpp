#include "tool.h"

#include <filesystem>

namespace qv::cli {
namespace {

// Carriage return to the line's start; erase from the cursor to its end.
constexpr std::string_view kReturn = "\r";
constexpr std::string_view kEraseToEnd = "\033[K";

void Write(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* stream, bool drawn, std::size_t files, std::uint64_t bytes,
                           Timing timing)
    : stream_(stream),
      drawn_(drawn),
      timing_(timing),
      lastDrawn_(start_ - timing.redrawInterval),
      fileTotal_(files),
      byteTotal_(bytes) {}

void ProgressLine::AddBytes(std::uint64_t count) {
  std::lock_guard lock(mutex_);
  bytesDone_ += count;
  DrawWhenDueLocked();
}

void ProgressLine::FinishFile(const std::string& failure) {
  std::lock_guard lock(mutex_);
  ++filesDone_;
  if (!failure.empty()) {
    ++filesFailed_;
    PrintLocked(failure);
  }
  DrawWhenDueLocked();
}

void ProgressLine::PrintMessage(std::string_view line) {
  std::lock_guard lock(mutex_);
  PrintLocked(line);
}

void ProgressLine::Finish() {
  std::lock_guard lock(mutex_);
  drawn_ = false;
  ClearLocked();
  std::fflush(stream_);
}

// Drawn at most once per interval, and only once the work has run longer
// than the delay.
void ProgressLine::DrawWhenDueLocked() {
  if (!drawn_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - start_ < timing_.delay || now - lastDrawn_ < timing_.redrawInterval) return;
  DrawLocked();
  std::fflush(stream_);
}

void ProgressLine::PrintLocked(std::string_view line) {
  const bool wasShown = shown_;
  ClearLocked();
  Write(stream_, line);
  Write(stream_, "\n");
  if (wasShown) DrawLocked();
  std::fflush(stream_);
}

void ProgressLine::DrawLocked() {
  lastDrawn_ = std::chrono::steady_clock::now();
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(lastDrawn_ - start_);
  std::string text = fileTotal_ > 1 ? FileCountText(filesDone_, fileTotal_, filesFailed_) : "";
  if (byteTotal_ != 0)
    text += (text.empty() ? "" : ", ") + ByteShareText(bytesDone_, byteTotal_, elapsed);
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

std::string FileCountText(std::size_t done, std::size_t total, std::size_t failed) {
  return std::to_string(done) + "/" + std::to_string(total) + " files, " + std::to_string(failed) +
         " failed";
}

std::string SizeText(std::uint64_t bytes) {
  constexpr std::uint64_t kKilo = 1000;
  constexpr std::uint64_t kMega = kKilo * kKilo;
  constexpr std::uint64_t kGiga = kKilo * kMega;
  if (bytes < kMega) return std::to_string((bytes + kKilo / 2) / kKilo) + " KB";
  if (bytes < kGiga) return std::to_string((bytes + kMega / 2) / kMega) + " MB";
  const std::uint64_t tenths = (bytes + kGiga / 20) / (kGiga / 10);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " GB";
}

std::string ByteShareText(std::uint64_t done, std::uint64_t total,
                          std::chrono::milliseconds elapsed) {
  // Rounded down, so that 100% means finished.
  const std::uint64_t percent = total == 0 ? 100 : (done >= total ? 100 : done * 100 / total);
  std::string text = std::to_string(percent) + "% of " + SizeText(total);
  if (elapsed.count() > 0) {
    const double seconds = static_cast<double>(elapsed.count()) / 1000;
    const auto perSecond = static_cast<std::uint64_t>(static_cast<double>(done) / seconds);
    text += ", " + SizeText(perSecond) + "/s";
  }
  return text;
}

std::uint64_t FileSize(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : static_cast<std::uint64_t>(size);
}

std::uint64_t TotalSize(std::span<const std::string> paths) {
  std::uint64_t total = 0;
  for (const std::string& path : paths) total += FileSize(path);
  return total;
}

}  // namespace qv::cli
