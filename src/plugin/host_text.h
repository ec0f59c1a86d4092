#pragma once
// A path laid out as the host lays it out for the plug-in: a 32-bit
// reference count, the 32-bit byte length, the bytes, a zero byte. For the
// programs and tests that stand in for the host.
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace qv {

class HostText {
 public:
  explicit HostText(std::string_view bytes, std::uint32_t referenceCount = 1)
      : HostText(bytes, static_cast<std::uint32_t>(bytes.size()), referenceCount) {}

  // A length field that differs from the bytes, as a faulty host might send.
  HostText(std::string_view bytes, std::uint32_t lengthField, std::uint32_t referenceCount)
      : storage_(kHeader + bytes.size() + 1, 0) {
    std::memcpy(storage_.data(), &referenceCount, 4);
    std::memcpy(storage_.data() + 4, &lengthField, 4);
    if (!bytes.empty()) std::memcpy(storage_.data() + kHeader, bytes.data(), bytes.size());
  }

  // What the plug-in receives: the first byte of the text. Named like the
  // standard smart pointers' get().
  const char* get() const {  // NOLINT(readability-identifier-naming)
    return storage_.data() + kHeader;
  }
  std::uint32_t ReferenceCount() const {
    std::uint32_t count;
    std::memcpy(&count, storage_.data(), 4);
    return count;
  }

 private:
  static constexpr std::size_t kHeader = 8;
  std::vector<char> storage_;
};

}  // namespace qv
