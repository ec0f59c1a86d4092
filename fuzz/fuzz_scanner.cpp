// Fuzz target: NextTagContent against the plain walk of its states.
#include <cstddef>
#include <cstdint>

#include "fuzz_target.h"
#include "scanner_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qv::fuzz::RunCheck(qv::fuzz::CheckScanner, data, size);
}
