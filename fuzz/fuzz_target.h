#pragma once
// The body of every fuzz target: run the check, and on a finding say what
// it was and abort, so that libFuzzer keeps the input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace qv::fuzz {

using Check = std::string (*)(std::string_view data);

inline int RunCheck(Check check, const std::uint8_t* data, std::size_t size) {
  const std::string findings = check(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!findings.empty()) {
    std::fprintf(stderr, "fuzz check failed: %s\n", findings.c_str());
    std::abort();
  }
  return 0;
}

}  // namespace qv::fuzz
