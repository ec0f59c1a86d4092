#include "progress_text.h"

namespace qv::cli {

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

}  // namespace qv::cli
