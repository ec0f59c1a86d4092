#pragma once
// Whether two paths lead to one file, whatever names, links or ".." they
// take to get there.
#include <cstdint>
#include <optional>
#include <tuple>

namespace qv::cli {

struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool operator==(const FileIdentity&) const = default;
  bool operator<(const FileIdentity& other) const {
    return std::tie(volume, index) < std::tie(other.volume, other.index);
  }
};

// Nothing when the path leads to no file that can be looked at.
std::optional<FileIdentity> IdentifyExistingFile(const char* path);

bool SameExistingFile(const char* a, const char* b);

}  // namespace qv::cli
