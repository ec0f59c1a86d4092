#pragma once
// A path laid out as the host lays it out for the plug-in: a 32-bit
// reference count, the 32-bit byte length, the bytes, a zero byte. For the
// programs that stand in for the host.
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace qv {

class HostText {
 public:
  explicit HostText(std::string_view bytes) : storage_(kHeader + bytes.size() + 1, 0) {
    const std::uint32_t header[2] = {1, static_cast<std::uint32_t>(bytes.size())};
    std::memcpy(storage_.data(), header, kHeader);
    if (!bytes.empty()) std::memcpy(storage_.data() + kHeader, bytes.data(), bytes.size());
  }

  // What the plug-in receives: the first byte of the text. Named like the
  // standard smart pointers' get().
  const char* get() const {  // NOLINT(readability-identifier-naming)
    return storage_.data() + kHeader;
  }

 private:
  static constexpr std::size_t kHeader = 8;
  std::vector<char> storage_;
};

}  // namespace qv
