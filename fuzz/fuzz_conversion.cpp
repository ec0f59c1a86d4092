// Fuzz target: the whole conversion from arbitrary detail bytes.
#include <cstddef>
#include <cstdint>

#include "conversion_check.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qv::fuzz::RunCheck(qv::fuzz::CheckConversion, data, size);
}
