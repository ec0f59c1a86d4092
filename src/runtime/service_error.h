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
  explicit ServiceError(const std::string& message, int systemError = 0)
      : std::runtime_error(message), systemError_(systemError) {}
  // The system's own number for the cause of a failed file call (errno, or
  // GetLastError on Windows), 0 when there is none. The exports' messages
  // never show it; the tool tells it with std::system_category().
  int SystemError() const noexcept { return systemError_; }

 private:
  int systemError_;
};

// The index error of a list of lines, "List index (%d) out of bounds": what
// a detail with too few lines ends with.
[[noreturn]] void RaiseListIndexError(std::int64_t index);

}  // namespace qv
