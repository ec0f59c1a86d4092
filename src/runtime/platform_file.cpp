// The parts of a file handle that are the same on every platform; the
// system calls are in the platform's own file.
#include "runtime/platform.h"

#include "runtime/system_errors.h"

namespace qv::platform {

int File::Open(const char* path, Access access) noexcept {
  Close();
  return OpenClosed(path, access);
}

// Fills the buffer as far as the file allows, so a short count means the end
// even on pipes, which hand out data in pieces.
std::int64_t File::Read(void* buffer, std::size_t size) noexcept {
  if (!IsOpen()) {
    lastError_ = system_error::kInvalidHandle;
    return -1;
  }
  auto* bytes = static_cast<unsigned char*>(buffer);
  std::size_t done = 0;
  while (done < size) {
    const std::int64_t got = ReadOnce(bytes + done, size - done);
    if (got < 0) {
      if (done > 0) break;  // the failure shows again on the next read
      return -1;
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(done);
}

bool File::WriteAll(const void* data, std::size_t size) noexcept {
  if (!IsOpen()) {
    lastError_ = system_error::kInvalidHandle;
    return false;
  }
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const std::int64_t put = WriteOnce(bytes, size);
    if (put < 0) return false;
    if (put == 0) {
      lastError_ = system_error::kDiskFull;
      return false;
    }
    bytes += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

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
