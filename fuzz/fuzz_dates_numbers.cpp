// Fuzz target: date and integer texts under several settings and clocks.
#include <cstddef>
#include <cstdint>

#include "dates_numbers_check.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qv::fuzz::RunCheck(qv::fuzz::CheckDatesNumbers, data, size);
}
