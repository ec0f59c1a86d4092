// Fuzz target: UTF-8 decoding, re-encoding and writing the decoded text.
#include <cstddef>
#include <cstdint>

#include "fuzz_target.h"
#include "utf8_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qv::fuzz::RunCheck(qv::fuzz::CheckUtf8, data, size);
}
