#pragma once
// Host texts as a faulty host might lay them out, and the reference count the
// plug-in must leave alone.
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace qv::test {

// The reference count in front of a host text's length.
inline std::uint32_t ReferenceCountOf(const char* hostText) {
  std::uint32_t count;
  std::memcpy(&count, hostText - 8, 4);
  return count;
}

// A host text whose length field may differ from its bytes.
class FaultyHostText {
 public:
  FaultyHostText(std::string_view bytes, std::uint32_t lengthField, std::uint32_t referenceCount)
      : storage_(8 + bytes.size() + 1, 0) {
    std::memcpy(storage_.data(), &referenceCount, 4);
    std::memcpy(storage_.data() + 4, &lengthField, 4);
    if (!bytes.empty()) std::memcpy(storage_.data() + 8, bytes.data(), bytes.size());
  }
  const char* get() const {  // NOLINT(readability-identifier-naming)
    return storage_.data() + 8;
  }

 private:
  std::vector<char> storage_;
};

}  // namespace qv::test
