// Fuzz target: naming a detail from arbitrary file bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz_target.h"
#include "naming_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qv::fuzz::RunCheck(qv::fuzz::CheckNaming, data, size);
}
