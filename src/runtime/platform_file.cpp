// The parts of a file handle that are the same on every platform; opening,
// reading, writing and closing are in the platform's own file.
#include "runtime/platform.h"

namespace qv::platform {

File::File(File&& other) noexcept : handle_(other.handle_), lastError_(other.lastError_) {
  other.handle_ = kClosed;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    lastError_ = other.lastError_;
    other.handle_ = kClosed;
  }
  return *this;
}

File::~File() { Close(); }

}  // namespace qv::platform
