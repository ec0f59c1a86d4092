#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace qv {

// The one failure type of the library. It carries the service's own message
// text ("List index (1) out of bounds", "Unable to open file \"x\"", ...). It
// is caught at the exported functions and never crosses them.
class ServiceError : public std::runtime_error {
 public:
  explicit ServiceError(const std::string& message) : std::runtime_error(message) {}
};

// The index error of a list of lines, "List index (%d) out of bounds": what
// a detail with too few lines ends with.
[[noreturn]] void RaiseListIndexError(std::int64_t index);

}  // namespace qv
