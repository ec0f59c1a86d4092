#pragma once
// A temporary folder name no other test process uses: ctest runs each test
// program under two locales at once, so names must differ by process.
#include <atomic>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace qv::test {

inline std::filesystem::path UniqueTempFolder(const std::string& prefix) {
  static std::atomic<unsigned> counter{0};
#ifdef _WIN32
  const long long processId = _getpid();
#else
  const long long processId = getpid();
#endif
  return std::filesystem::temp_directory_path() /
         (prefix + std::to_string(processId) + "_" + std::to_string(counter++));
}

}  // namespace qv::test
