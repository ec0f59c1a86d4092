#pragma once
// Detail files written into a fresh folder, and the date settings and clock
// the tests name them under.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <utility>

#include "runtime/locale_formats.h"
#include "runtime/platform.h"

namespace qv::detect_test {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

inline LocaleFormatsRecord DateSettings(char separator, std::string shortDatePattern) {
  LocaleFormatsRecord formats;
  formats.dateSeparator = separator;
  formats.shortDatePattern = std::move(shortDatePattern);
  return formats;
}

inline LocalDate MidJuly2026() { return {2026, 7, 15}; }

// Both ctest runs of the program may work at the same time: every folder
// gets a random name.
class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    path_ = (std::filesystem::temp_directory_path() /
             ("qv_detect_" + std::to_string(random()) + std::to_string(random())))
                .string();
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string PathOf(std::string_view name) const { return path_ + kSeparator + std::string(name); }

  // The name is in the system code page, as the plug-in receives paths;
  // the file is written the way the plug-in opens it.
  std::string Write(std::string_view name, std::string_view bytes) const {
    const std::string path = PathOf(name);
    platform::File file;
    EXPECT_EQ(file.CreateForWriting(path.c_str()), 0) << path;
    EXPECT_TRUE(file.WriteAll(bytes.data(), bytes.size())) << path;
    return path;
  }

 private:
  std::string path_;
};

}  // namespace qv::detect_test
