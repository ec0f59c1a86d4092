// A report is replaced only when complete: the conversion writes beside it
// and moves its file over it at the end. What a finished call leaves behind
// is checked with the conversion's outcomes; here what POSIX adds to it.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
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

struct stat StatOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
  return info;
}

mode_t ModeOf(const std::string& path) { return StatOf(path).st_mode; }

// The conversion's message, from a child process that runs as nobody when
// asked: the cases of a shared folder need a second user.
std::string ConvertAs(bool asNobody, const std::string& input, const std::string& output) {
  if (!asNobody) return Convert(input, output);
  int channel[2];
  if (pipe(channel) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    const passwd* nobody = getpwnam("nobody");
    const bool changed = nobody != nullptr && setgroups(0, nullptr) == 0 &&
                         setgid(nobody->pw_gid) == 0 && setuid(nobody->pw_uid) == 0;
    const std::string message = changed ? Convert(input, output) : "not nobody";
    _exit(write(channel[1], message.data(), message.size()) < 0);
  }
  close(channel[1]);
  std::string message;
  char piece[256];
  for (ssize_t got; (got = read(channel[0], piece, sizeof piece)) > 0;)
    message.append(piece, static_cast<std::size_t>(got));
  close(channel[0]);
  waitpid(child, nullptr, 0);
  return message;
}

// What becomes of an output of each kind: the message ("" when the
// conversion succeeded, else how it failed), and what it leaves.
struct OutputCase {
  const char* what;
  bool needsRoot;
  bool asNobody;
  std::function<std::string()> prepare;  // gives the output path
  const char* failure;
  std::function<void(const std::string& output)> check;
};

TEST(ReportReplacement, OutputsOfEveryKind) {
  test::TempFolder folder;
  const std::string detail = folder.Write("detail.html", kHeading + kSubscriber + kRow);
  const std::string report = folder.Path("reference.xml");
  ASSERT_EQ(Convert(detail, report), "");
  const std::string expected = *test::TempFolder::Read(report);
  const std::string shared = folder.Path("shared");
  ASSERT_EQ(mkdir(shared.c_str(), 0777), 0);
  ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
  const passwd* nobody = getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  const uid_t otherUser = nobody->pw_uid;
  const gid_t otherGroup = nobody->pw_gid;
  int descriptor = -1;
  const auto oldFile = [&](const std::string& name, mode_t mode, uid_t owner, gid_t group) {
    const std::string path = folder.Write(name, kOldReport);
    EXPECT_EQ(chmod(path.c_str(), mode), 0);
    EXPECT_EQ(chown(path.c_str(), owner, group), 0);
    return path;
  };
  const auto holds = [&](const std::string& path, const std::string& bytes) {
    EXPECT_EQ(test::TempFolder::Read(path), bytes) << path;
  };
  const auto appending = [&](const std::string& output) {
    descriptor = open(folder.Write("log.txt", kOldReport).c_str(), O_WRONLY | O_APPEND);
    return output + std::to_string(descriptor);
  };
  const auto appended = [&](const std::string&) {
    close(descriptor);
    holds(folder.Path("log.txt"), kOldReport + expected);
  };
  const OutputCase cases[] = {
      {"a new report gets the mode of a new file", false, false,
       [&] {
         umask(027);
         return folder.Path("new.xml");
       },
       "", [&](const std::string& output) { EXPECT_EQ(ModeOf(output) & 07777, 0640u); }},
      {"a report keeps its mode, owner and group", true, false,
       [&] { return oldFile("owned.xml", 0604, otherUser, otherGroup); }, "",
       [&](const std::string& output) {
         EXPECT_EQ(StatOf(output).st_mode & 07777, 0604u);
         EXPECT_EQ(StatOf(output).st_uid, otherUser);
         EXPECT_EQ(StatOf(output).st_gid, otherGroup);
         holds(output, expected);
       }},
      {"rights of a group the caller is not in are not passed on", true, true,
       [&] { return oldFile("shared/grouped.xml", 0664, otherUser, 0); }, "",
       [&](const std::string& output) {
         EXPECT_EQ(StatOf(output).st_mode & 07777, 0604u);
         EXPECT_EQ(StatOf(output).st_gid, otherGroup);
       }},
      {"a link leads to its report and stays", false, false,
       [&] {
         folder.Write("linked.xml", kOldReport);
         symlink("linked.xml", folder.Path("link.xml").c_str());
         return folder.Path("link.xml");
       },
       "",
       [&](const std::string& output) {
         EXPECT_TRUE(S_ISLNK(ModeOf(output)));
         holds(folder.Path("linked.xml"), expected);
       }},
      {"a link to a missing file makes that file", false, false,
       [&] {
         symlink("made.xml", folder.Path("dangling.xml").c_str());
         return folder.Path("dangling.xml");
       },
       "", [&](const std::string&) { holds(folder.Path("made.xml"), expected); }},
      {"another user's link in a shared folder is not followed", true, false,
       [&] {
         const std::string secret = oldFile("secret.xml", 0600, 0, 0);
         const std::string link = shared + "/planted.xml";
         symlink(secret.c_str(), link.c_str());
         EXPECT_EQ(lchown(link.c_str(), otherUser, otherGroup), 0);
         return link;
       },
       "Unable to create file",
       [&](const std::string&) { holds(folder.Path("secret.xml"), kOldReport); }},
      {"another owner's report in a shared folder is written in place", true, true,
       [&] { return oldFile("shared/open.xml", 0666, 0, 0); }, "",
       [&](const std::string& output) {
         holds(output, expected);
         EXPECT_EQ(StatOf(output).st_uid, 0u);
       }},
      {"/dev/fd/N appends where the redirect appends", false, false,
       [&] { return appending("/dev/fd/"); }, "", appended},
      {"/proc/self/fd/N too", false, false, [&] { return appending("/proc/self/fd/"); }, "",
       appended},
      {"a link to /dev/fd/N too", false, false,
       [&] {
         symlink(appending("/dev/fd/").c_str(), folder.Path("fd-link.xml").c_str());
         return folder.Path("fd-link.xml");
       },
       "", appended},
      {"a name of 255 bytes", false, false,
       [&] { return folder.Path(std::string(251, 'n') + ".xml"); }, "",
       [&](const std::string& output) { holds(output, expected); }},
      {"a device is written into", false, false, [] { return std::string("/dev/null"); }, "",
       [](const std::string& output) { EXPECT_TRUE(S_ISCHR(ModeOf(output))); }},
      {"a full device fails the write", false, false, [] { return std::string("/dev/full"); },
       "Unable to write file", [](const std::string&) {}},
      {"a pipe without a reader fails the write, and no signal stays", false, false,
       [&] {
         int ends[2];
         EXPECT_EQ(pipe(ends), 0);
         close(ends[0]);
         descriptor = ends[1];
         return "/dev/fd/" + std::to_string(descriptor);
       },
       "Unable to write file",
       [&](const std::string&) {
         close(descriptor);
         sigset_t pending;
         sigpending(&pending);
         EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
       }},
  };
  for (const OutputCase& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.needsRoot && geteuid() != 0) continue;  // a second user takes root to set up
    const mode_t mask = umask(022);
    const std::string output = c.prepare();
    const std::string message = ConvertAs(c.asNobody, detail, output);
    umask(mask);
    EXPECT_EQ(message, *c.failure == '\0' ? "" : std::string(c.failure) + " \"" + output + "\"");
    c.check(output);
  }
  // No temporary file stays in either folder.
  for (const std::string& name : folder.Names()) EXPECT_FALSE(name.ends_with(".tmp")) << name;
  for (const auto& entry : std::filesystem::directory_iterator(shared)) {
    EXPECT_FALSE(entry.path().string().ends_with(".tmp")) << entry.path();
  }
}

// Written in place, a report would empty its file before the detail in it
// was read.
TEST(ReportReplacement, ADetailIsNeverEmptiedAsItsOwnReport) {
  if (geteuid() != 0) GTEST_SKIP() << "a second user takes root to set up";
  test::TempFolder folder;
  const std::string shared = folder.Path("shared");
  ASSERT_EQ(mkdir(shared.c_str(), 01777), 0);
  ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
  const std::string detail = folder.Write("shared/detail.html", kHeading + kSubscriber + kRow);
  ASSERT_EQ(chmod(detail.c_str(), 0666), 0);
  EXPECT_EQ(ConvertAs(true, detail, detail), "Unable to create file \"" + detail + "\"");
  EXPECT_EQ(test::TempFolder::Read(detail), kHeading + kSubscriber + kRow);
}

TEST(ReportReplacement, AnUnreadableDetailKeepsTheReport) {
  test::TempFolder folder;
  const std::string report = folder.Write("report.xml", kOldReport);
  // Reading a process's memory at address 0 fails.
  EXPECT_EQ(Convert("/proc/self/mem", report), "Unable to read file \"/proc/self/mem\"");
  EXPECT_EQ(test::TempFolder::Read(report), kOldReport);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"report.xml"});
}

// The reader leaves while a write waits for room: the write is cut short,
// and the kernel raises SIGPIPE even so.
TEST(ReportReplacement, AReaderThatLeavesFailsTheWriteWithoutASignal) {
  test::TempFolder folder;
  std::string bytes = kHeading + kSubscriber;
  while (bytes.size() < (1u << 20)) bytes += kRow;
  const std::string detail = folder.Write("detail.html", bytes);
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  const std::string output = "/dev/fd/" + std::to_string(ends[1]);
  const pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    _exit(Convert(detail, output) == "Unable to write file \"" + output + "\"" ? 0 : 1);
  }
  close(ends[1]);
  char start[5];
  EXPECT_EQ(read(ends[0], start, sizeof start), 5);
  close(ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_FALSE(WIFSIGNALED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
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
  std::string temporary;
  for (int wait = 0; temporary.empty() && wait < 10000; ++wait, usleep(1000)) {
    for (const std::string& name : folder.Names()) {
      if (name.ends_with(".tmp") && std::filesystem::file_size(folder.Path(name)) > 0) {
        temporary = name;
      }
    }
  }
  // The name the README gives for cleaning up, and no access for others
  // while the bytes are written.
  EXPECT_TRUE(temporary.size() == 16 && temporary.starts_with(".qv-") &&
              temporary.find_first_not_of("0123456789abcdef", 4) == 12)
      << temporary;
  EXPECT_EQ(ModeOf(folder.Path(temporary)) & 0777, 0600u);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  close(feed);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(test::TempFolder::Read(report), kOldReport);
}

// The variables of the preloaded fault shim, when the test runs with it
// (convert.preloaded_faults); elsewhere the tests that need it skip.
template <class Value>
Value* ShimVariable(const char* name) {
  return static_cast<Value*>(dlsym(RTLD_DEFAULT, name));
}

TEST(PreloadedFaults, FilesLeftByKilledRunsArePassedOver) {
  int* zeroDraws = ShimVariable<int>("qv_shim_zero_random_draws");
  if (zeroDraws == nullptr) GTEST_SKIP() << "needs the fault shim preloaded";
  test::TempFolder folder;
  const std::string detail = folder.Write("detail.html", kHeading + kSubscriber + kRow);
  const std::string leftover = folder.Write(".qv-00000000.tmp", "left by a killed run");
  *zeroDraws = 1;  // the first name tried is the leftover's
  EXPECT_EQ(Convert(detail, folder.Path("report.xml")), "");
  EXPECT_EQ(*zeroDraws, 0);
  EXPECT_EQ(test::TempFolder::Read(leftover), "left by a killed run");
  EXPECT_NE(test::TempFolder::Read(folder.Path("report.xml")), std::nullopt);
}

// The whole detail is read after the report failed, to hear of a later
// failed read, which outranks it.
TEST(PreloadedFaults, AFailedReadOutranksAnEarlierFailure) {
  long* failingOffset = ShimVariable<long>("qv_shim_failing_read_offset");
  if (failingOffset == nullptr) GTEST_SKIP() << "needs the fault shim preloaded";
  test::TempFolder folder;
  std::string bytes = kHeading + kSubscriber;
  while (bytes.size() < (2u << 20)) bytes += kRow;
  const std::string detail = folder.Write("detail.failing", bytes);
  const std::string report = folder.Write("report.xml", kOldReport);
  *failingOffset = 1 << 20;  // after the printer has written to the report
  for (const std::string& output :
       {folder.Path("missing/report.xml"), std::string("/dev/full"), report}) {
    SCOPED_TRACE(output);
    EXPECT_EQ(Convert(detail, output), "Unable to read file \"" + detail + "\"");
  }
  *failingOffset = -1;
  EXPECT_EQ(test::TempFolder::Read(report), kOldReport);
}

#endif

}  // namespace
}  // namespace qv
