// Paths, unreadable files and the file handle: what naming does with the
// file system, directly and through the exported function.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "detail_files.h"
#include "detect/recognition.h"
#include "host_text.h"
#include "plugin/qvmtsfrs.h"
#include "runtime/platform.h"
#include "runtime/service_error.h"
#include "support/temp_folder.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qv::detect_test {
namespace {

const char kMarch[] = "<html>\n<p>Детализация за период с 01.03.2011 по 31.03.2011</p>\n</html>\n";

class DetailFiles : public ::testing::Test {
 protected:
  std::string Name(std::string_view path) const { return NameDetail(path, settings_, MidJuly2026); }

  LocaleFormatsRecord settings_ = DateSettings('.', "dd.MM.yyyy");
  test::TempFolder folder_;
};

std::string NameThroughExport(const std::string& path) {
  QvShortText255 buffer;
  std::memset(buffer, 'x', sizeof buffer);
  PlugInNameDetal(buffer, HostText(path).get());
  return std::string(reinterpret_cast<const char*>(buffer + 1), buffer[0]);
}

std::string LastErrorOfExport() {
  QvShortText255 buffer;
  PlugInLastError(buffer);
  return std::string(reinterpret_cast<const char*>(buffer + 1), buffer[0]);
}

// Open descriptors of this process, where the system lets us count them.
int OpenFileCount() {
#ifdef __linux__
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    ++count;
  return count;
#else
  return 0;
#endif
}

TEST_F(DetailFiles, EveryPathFormGivesTheFileName) {
  folder_.Write("march.html", kMarch);
  const struct {
    const char* what;
    std::string path;
  } cases[] = {
      {"a name without a folder", "march.html"},
      {"a full path", folder_.Path("march.html")},
#ifdef _WIN32
      // The system takes a "\\?\" name as it stands, where "/" separates nothing.
      {"a \\\\?\\ path with a slash", "\\\\?\\" + folder_.Folder().string() + "/march.html"},
#endif
  };
  const std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(folder_.Folder());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Name(c.path), "2011-02 MTS FORIS march.html");
    EXPECT_EQ(NameThroughExport(c.path), NameDetail(c.path, UserLocaleFormats(), SystemLocalDate));
  }
  std::filesystem::current_path(saved);
}

struct FailureCase {
  const char* what;
  std::string path;
  const char* message;
};

TEST_F(DetailFiles, UnreadableFilesRaiseTheReadersError) {
  const FailureCase cases[] = {
      {"a missing file", folder_.Path("missing.html"), "File not found"},
      {"the empty path", "", "File not found"},
      {"a missing folder", folder_.Path("none") + test::TempFolder::kSeparator + "march.html",
       "Invalid filename"},
      {"a folder", folder_.Folder().string(), "Access denied"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      Name(c.path);
      ADD_FAILURE() << "named an unreadable file";
    } catch (const ServiceError& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
    EXPECT_EQ(NameThroughExport(c.path), "");
    EXPECT_EQ(LastErrorOfExport(), c.message);
  }
}

// Linux counts the descriptors; Windows refuses to open the file again
// without sharing while a handle is left open.
TEST_F(DetailFiles, ClosesTheFileWhateverItHolds) {
  const struct {
    const char* what;
    const char* content;
  } cases[] = {
      {"named by the period line", kMarch},
      {"named by a table line", "<tr><td>x</td><td>15.01.2011</td></tr>\n"},
      {"not a detail", "Hello\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = folder_.Write("march.html", c.content);
    const int before = OpenFileCount();
    Name(path);
    EXPECT_EQ(OpenFileCount(), before);
    platform::File again;
    EXPECT_EQ(again.Open(path.c_str(), qv::platform::File::Access::kRead), 0);
  }
}

TEST_F(DetailFiles, ClosesAFileThatFailsWhileBeingRead) {
#ifndef __linux__
  GTEST_SKIP() << "needs a file that opens but cannot be read";
#else
  // Reading this process's memory from address 0 fails with an I/O error.
  const int before = OpenFileCount();
  EXPECT_THROW(Name("/proc/self/mem"), ServiceError);
  EXPECT_EQ(OpenFileCount(), before);
#endif
}

// A detail of hundreds of megabytes is named from its top: the read ends at
// the period line. A pipe shows it: what the naming did not read stays in it.
TEST_F(DetailFiles, ReadsNoFurtherThanThePeriodLine) {
#ifdef _WIN32
  GTEST_SKIP() << "needs a named pipe";
#else
  const std::string path = folder_.Path("march.html");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  const int keeper = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
  const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
  ASSERT_GE(keeper, 0);
  ASSERT_GE(writer, 0);
  std::string rest;
  while (rest.size() < 32768) rest += "<tr><td>x</td><td>15.07.2011</td></tr>\n";
  const std::string content = kMarch + rest;
  EXPECT_EQ(::write(writer, content.data(), content.size()), static_cast<ssize_t>(content.size()));
  ::close(writer);

  EXPECT_EQ(Name(path), "2011-02 MTS FORIS march.html");

  std::string unread;
  char chunk[4096];
  for (ssize_t got; (got = ::read(keeper, chunk, sizeof chunk)) > 0;)
    unread.append(chunk, static_cast<std::size_t>(got));
  ::close(keeper);
  EXPECT_GT(unread.size(), rest.size() / 2);
#endif
}

// The path is opened whole: its first 255 bytes name another file here.
TEST_F(DetailFiles, OpensALongPathWhole) {
#ifdef _WIN32
  GTEST_SKIP() << "paths of the ANSI functions end at 260 bytes";
#else
  const std::string decoyName(255 - folder_.Folder().string().size() - 1, 'd');
  ASSERT_EQ(folder_.Write(decoyName, "<p>за период с 01.05.2011 по 31.05.2011</p>\n").size(), 255u);
  const std::string path = folder_.Write(decoyName + ".html", kMarch);
  EXPECT_EQ(Name(path), "2011-02 MTS FORIS " + decoyName + ".html");
#endif
}

// The name is whole here; the exported function stores its first 255 bytes.
TEST_F(DetailFiles, LongNamesAreCutOnlyWhenStored) {
#ifdef _WIN32
  GTEST_SKIP() << "paths of the ANSI functions end at 260 bytes";
#else
  const std::string fileName = std::string(245, 'n') + ".html";
  const std::string path = folder_.Write(fileName, kMarch);
  const std::string name = Name(path);
  EXPECT_EQ(name, "2011-02 MTS FORIS " + fileName);
  // The export reads the dates under the user's settings, not the test's.
  const std::string userName = NameDetail(path, UserLocaleFormats(), SystemLocalDate);
  EXPECT_EQ(NameThroughExport(path), userName.substr(0, 255));
#endif
}

// Only a system with the Cyrillic code page has such file names: Wine with
// LANG=ru_RU.UTF-8, or a Linux locale in CP1251.
TEST_F(DetailFiles, CodePageFileNamesBecomeUtf8) {
  if (platform::SystemCodePage() != 1251) GTEST_SKIP() << "the system code page is not 1251";
  const std::string march = folder_.Write("\xEC\xE0\xF0\xF2.html", kMarch);  // "март.html"
  EXPECT_EQ(Name(march), "2011-02 MTS FORIS март.html");

  // Two UTF-8 bytes for every letter take the name past 255 bytes.
  std::string yaYaYa;
  for (int i = 0; i < 120; ++i) yaYaYa += '\xFF';  // "я"
  const std::string path = folder_.Write(yaYaYa + ".html", kMarch);
  std::string expected = "2011-02 MTS FORIS ";
  for (int i = 0; i < 120; ++i) expected += "я";
  expected += ".html";
  EXPECT_EQ(Name(path), expected);
  EXPECT_EQ(NameThroughExport(path), expected.substr(0, 255));
}

}  // namespace
}  // namespace qv::detect_test
