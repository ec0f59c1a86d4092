// A report is replaced only when complete: the conversion writes beside it
// and moves its file over it at the end. What a finished call leaves behind
// is checked with the conversion's outcomes; here what POSIX adds to it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "convert/conversion.h"
#include "runtime/service_error.h"
#include "support/temp_folder.h"

namespace qv {
namespace {

#ifndef _WIN32

const std::string kHeading = "<h3>Состоявшиеся разговоры</h3>\r\n";
const std::string kSubscriber = "<tr><td>Абонентский номер 9161234567</td></tr>\r\n";
const std::string kRow =
    "<tr><td>1</td><td>07.12.2010</td><td>9:05:00</td><td></td><td>4957654321</td>"
    "<td>Москва</td><td>Москва</td><td>Телефония</td><td></td><td>2:05</td><td>1,50</td></tr>\r\n";
const std::string kOldReport = "the report of an earlier conversion";

std::string Convert(const std::string& input, const std::string& output) {
  try {
    ConvertDetail(input, output, {','});
  } catch (const ServiceError& error) {
    return error.what();
  }
  return "";
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(lstat(path.c_str(), &info), 0);
  return info.st_mode;
}

TEST(ReportReplacement, KeepsPermissionsAndLinks) {
  test::TempFolder folder;
  const std::string detail = folder.Write("detail.html", kHeading + kSubscriber + kRow);
  const mode_t previousMask = umask(027);
  EXPECT_EQ(Convert(detail, folder.Path("new.xml")), "");
  EXPECT_EQ(ModeOf(folder.Path("new.xml")) & 0777, 0640u);
  umask(previousMask);

  const std::string existing = folder.Write("existing.xml", kOldReport);
  chmod(existing.c_str(), 0604);
  EXPECT_EQ(Convert(detail, existing), "");
  EXPECT_EQ(ModeOf(existing) & 0777, 0604u);

  ASSERT_EQ(symlink("existing.xml", folder.Path("link.xml").c_str()), 0);
  folder.Write("existing.xml", kOldReport);
  EXPECT_EQ(Convert(detail, folder.Path("link.xml")), "");
  EXPECT_TRUE(S_ISLNK(ModeOf(folder.Path("link.xml"))));
  EXPECT_EQ(test::TempFolder::Read(existing), test::TempFolder::Read(folder.Path("new.xml")));
}

// Devices are written into as they are, never replaced.
TEST(ReportReplacement, DevicesAreWrittenInPlace) {
  test::TempFolder folder;
  const std::string detail = folder.Write("detail.html", kHeading + kSubscriber + kRow);
  EXPECT_EQ(Convert(detail, "/dev/null"), "");
  EXPECT_EQ(Convert(detail, "/dev/full"), "Unable to write file \"/dev/full\"");
  EXPECT_TRUE(S_ISCHR(ModeOf("/dev/null")));
  EXPECT_TRUE(S_ISCHR(ModeOf("/dev/full")));
}

TEST(ReportReplacement, AnUnreadableDetailKeepsTheReport) {
  test::TempFolder folder;
  const std::string report = folder.Write("report.xml", kOldReport);
  // Reading a process's memory at address 0 fails.
  EXPECT_EQ(Convert("/proc/self/mem", report), "Unable to read file \"/proc/self/mem\"");
  EXPECT_EQ(test::TempFolder::Read(report), kOldReport);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"report.xml"});
}

// The detail comes through a pipe that the test fills only half-way, so the
// conversion is surely under way, writing its temporary file, when it dies.
TEST(ReportReplacement, AKilledConversionKeepsTheReport) {
  test::TempFolder folder;
  const std::string report = folder.Write("report.xml", kOldReport);
  const std::string pipe = folder.Path("detail.pipe");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const int feed = open(pipe.c_str(), O_RDWR);
  ASSERT_GE(feed, 0);
  const pid_t child = fork();
  if (child == 0) {
    Convert(pipe, report);
    _exit(0);
  }
  std::string half = kHeading + kSubscriber;
  while (half.size() < (1u << 20)) half += kRow;
  ASSERT_EQ(write(feed, half.data(), half.size()), static_cast<ssize_t>(half.size()));
  bool writing = false;
  for (int wait = 0; !writing && wait < 10000; ++wait, usleep(1000)) {
    for (const std::string& name : folder.Names()) {
      writing |= name.ends_with(".tmp") && std::filesystem::file_size(folder.Path(name)) > 0;
    }
  }
  EXPECT_TRUE(writing);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  close(feed);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(test::TempFolder::Read(report), kOldReport);
}

#endif

}  // namespace
}  // namespace qv
