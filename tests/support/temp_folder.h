#pragma once
// A private folder for the files a test or a fuzz check writes, removed
// afterwards. Its name differs by process: ctest runs each test program
// under two locales at once, and fuzzing jobs run side by side.
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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

class TempFolder {
 public:
  static constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

  explicit TempFolder(const std::string& prefix = "qv_test_") : path_(UniqueTempFolder(prefix)) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Folder() const { return path_; }
  // Joined as bytes: a name in the system code page reaches the file
  // functions as the plug-in would receive it.
  std::string Path(std::string_view name) const {
    return path_.string() + kSeparator + std::string(name);
  }
  // A file that cannot be written throws, which fails the test or the check.
  std::string Write(std::string_view name, std::string_view bytes) const {
    const std::string path = Path(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
    return path;
  }
  static std::optional<std::string> Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
  }
  // The names of the files in the folder, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace qv::test
