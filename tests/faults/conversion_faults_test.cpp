// Conversions that fail at each stage leave nothing behind: no open handle,
// the user's settings in place, the report written exactly when the input
// was loaded, and the message of the stage that failed. Many conversions in
// one process do not grow its heap.
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <malloc.h>
#endif
#if defined(__SANITIZE_ADDRESS__)
// Declared here: GCC ships no header for the allocator's statistics.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

#include "convert/conversion.h"
#include "runtime/locale_formats.h"
#include "runtime/service_error.h"
#include "support/temp_folder.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// The error message, or nothing when the conversion succeeded.
std::optional<std::string> Convert(const std::string& input, const std::string& output) {
  try {
    ConvertDetail(input, output, {UserLocaleFormats().decimalSeparator});
  } catch (const ServiceError& error) {
    return error.what();
  }
  return std::nullopt;
}

std::size_t OpenHandles() {
#ifdef _WIN32
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  return count;
#else
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count;
#endif
}

// Wine does not count handles, but a handle left open on a file keeps an
// exclusive open of it from succeeding.
bool NoHandleOn(const std::string& path) {
#ifdef _WIN32
  if (!fs::is_regular_file(path)) return true;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
#else
  (void)path;
#endif
  return true;
}

// Bytes of heap in use.
std::size_t HeapInUse() {
#if defined(_WIN32)
  // The C runtime's heap is one of the process's heaps.
  HANDLE heaps[64];
  const DWORD count = GetProcessHeaps(64, heaps);
  std::size_t total = 0;
  for (DWORD i = 0; i < count && i < 64; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry)) {
      if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) total += entry.cbData;
    }
    HeapUnlock(heaps[i]);
  }
  return total;
#elif defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

bool SameSettings(const LocaleFormatsRecord& a, const LocaleFormatsRecord& b) {
  return a.dateSeparator == b.dateSeparator && a.shortDatePattern == b.shortDatePattern &&
         a.decimalSeparator == b.decimalSeparator;
}

class ConversionFaults : public testing::Test {
 protected:
  std::string PathOf(const std::string& name) const { return folder_.Path(name); }

  test::TempFolder folder_{"qv_faults_"};
  std::string sample_ = test::TempFolder::Read(QV_SOURCE_DIR "/examples/sample.html").value_or("");
  LocaleFormatsRecord user_ = UserLocaleFormats();
};

TEST_F(ConversionFaults, EachStageFailsCleanly) {
  const std::string detail = PathOf("detail.html");
  const std::string report = PathOf("report.xml");
  const std::string kept = "a report of an earlier conversion";
  struct Case {
    const char* what;
    std::string input;
    std::string output;
    std::string error;
    // The input was loaded: the report holds what was built, whatever failed.
    bool reportWritten;
  };
  const Case cases[] = {
      {"input missing", PathOf("missing.html"), report,
       "Unable to open file \"" + PathOf("missing.html") + "\"", false},
      {"input is a folder", PathOf("folder"), report,
       "Unable to open file \"" + PathOf("folder") + "\"", false},
      {"input in a missing folder", PathOf("none/detail.html"), report,
       "Unable to open file \"" + PathOf("none/detail.html") + "\"", false},
      {"output folder missing", detail, PathOf("none/report.xml"),
       "Unable to create file \"" + PathOf("none/report.xml") + "\"", false},
      {"output is a folder", detail, PathOf("folder"),
       "Unable to create file \"" + PathOf("folder") + "\"", false},
#ifndef _WIN32
      // A read that fails is an error of loading: no report is written.
      {"input read fails", "/proc/self/mem", report, "Unable to read file \"/proc/self/mem\"",
       false},
      {"output device full", detail, "/dev/full", "Unable to write file \"/dev/full\"", false},
#endif
  };
  folder_.Write("detail.html", sample_);
  fs::create_directories(folder_.Folder() / "folder");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    folder_.Write("report.xml", kept);
    const std::size_t handles = OpenHandles();
    EXPECT_EQ(Convert(c.input, c.output), c.error);
    EXPECT_EQ(OpenHandles(), handles);
    EXPECT_TRUE(NoHandleOn(c.input));
    EXPECT_TRUE(NoHandleOn(c.output));
    EXPECT_TRUE(SameSettings(UserLocaleFormats(), user_));
    const std::optional<std::string> written = test::TempFolder::Read(report);
    ASSERT_TRUE(written.has_value());
    if (c.reportWritten) {
      EXPECT_NE(written->find("<library>qvmtsfrs.dll</library>\r\n</report>\r\n"),
                std::string::npos)
          << *written;
    } else {
      EXPECT_EQ(*written, kept);
    }
  }
}

TEST_F(ConversionFaults, ManyConversionsKeepTheHeapAndHandles) {
  const std::string detail = PathOf("detail.html");
  const std::string headless = PathOf("headless.html");
  folder_.Write("detail.html", sample_);
  folder_.Write("headless.html", "<html>\r\n<body>\r\n</html>\r\n");
  // One success and one failure of each kind a turn.
  const auto turn = [&] {
    EXPECT_EQ(Convert(detail, PathOf("report.xml")), std::nullopt);
    EXPECT_NE(Convert(headless, PathOf("report.xml")), std::nullopt);
    EXPECT_NE(Convert(PathOf("missing.html"), PathOf("report.xml")), std::nullopt);
    EXPECT_NE(Convert(detail, PathOf("none/report.xml")), std::nullopt);
  };
  for (int i = 0; i < 20; ++i) turn();
  const std::size_t heap = HeapInUse();
  const std::size_t handles = OpenHandles();
  for (int i = 0; i < 1000; ++i) turn();
  EXPECT_LE(HeapInUse(), heap + 4 * 1024);
  EXPECT_EQ(OpenHandles(), handles);
  EXPECT_TRUE(NoHandleOn(detail));
  EXPECT_TRUE(NoHandleOn(PathOf("report.xml")));
  EXPECT_TRUE(SameSettings(UserLocaleFormats(), user_));
}

}  // namespace
}  // namespace qv
