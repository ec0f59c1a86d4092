#pragma once
// Whether two paths lead to one file, whatever names, links or ".." they
// take to get there.
#include <compare>
#include <cstdint>
#include <optional>

namespace qv::cli {

struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  auto operator<=>(const FileIdentity&) const = default;
};

// Nothing when the path leads to no file that can be looked at.
std::optional<FileIdentity> IdentifyExistingFile(const char* path);

bool SameExistingFile(const char* a, const char* b);

}  // namespace qv::cli
