#pragma once
// The texts of the progress line.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace qv::cli {

// "12/200 files, 1 failed"
std::string FileCountText(std::size_t done, std::size_t total, std::size_t failed);

// "83% of 300 MB, 250 MB/s"; no rate before any time has passed.
std::string ByteShareText(std::uint64_t done, std::uint64_t total,
                          std::chrono::milliseconds elapsed);

// "900 KB", "300 MB", "2.5 GB": decimal units, as file managers show them.
std::string SizeText(std::uint64_t bytes);

}  // namespace qv::cli
