// Files and the system code page on Linux. Error codes are given in the
// Windows numbering so that messages and codes read the same on both builds.
#include "runtime/platform.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include "runtime/code_page_posix.h"
#include "runtime/system_errors.h"

namespace qv::platform {
namespace {

using namespace system_error;

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Windows tells a missing file (2) from a missing folder on its path (3).
bool FolderOfPathExists(const char* path) {
  struct stat info;
  return ::stat(FolderOf(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The Windows code of each errno but ENOENT, whose code depends on the path.
struct CodeOfErrors {
  int code;
  std::initializer_list<int> errors;
};

constexpr CodeOfErrors kWindowsCodes[] = {
    {kPathNotFound, {ENOTDIR, ENAMETOOLONG, ELOOP}},
    {kAccessDenied, {EACCES, EPERM, EISDIR}},
    {kTooManyOpenFiles, {EMFILE, ENFILE}},
    {kNotEnoughMemory, {ENOMEM}},
    {kWriteProtect, {EROFS}},
    {kSharingViolation, {EBUSY, ETXTBSY, EWOULDBLOCK}},
    {kFileExists, {EEXIST}},
    {kInvalidParameter, {EINVAL}},
    {kDiskFull, {ENOSPC, EDQUOT}},
    {kIoDevice, {EIO}},
    {kInvalidHandle, {EBADF}},
};

int WindowsCodeOfErrno(int error, const char* path) {
  if (error == ENOENT) return FolderOfPathExists(path) ? kFileNotFound : kPathNotFound;
  for (const CodeOfErrors& entry : kWindowsCodes) {
    if (std::find(entry.errors.begin(), entry.errors.end(), error) != entry.errors.end())
      return entry.code;
  }
  return kGeneralFailure;
}

// O_NONBLOCK keeps a FIFO without a partner from hanging the open; reads and
// writes are blocking again afterwards. Returns the descriptor, or -1 with
// errno set.
int OpenDescriptor(const char* path, int flags) {
  if (path == nullptr || *path == '\0') {
    errno = ENOENT;
    return -1;
  }
  int fd;
  do {
    fd = ::open(path, flags | O_CLOEXEC | O_NONBLOCK, 0600);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  struct stat info;
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    return -1;
  }
  int status = ::fcntl(fd, F_GETFL);
  if (status != -1) ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
  return fd;
}

}  // namespace

int File::OpenClosed(const char* path, Access access) noexcept {
  const int flags = access == Access::kRead            ? O_RDONLY
                    : access == Access::kWriteExisting ? O_WRONLY
                                                       : O_WRONLY | O_CREAT | O_EXCL;
  const int fd = OpenDescriptor(path, flags);
  if (fd >= 0) {
    handle_ = fd;
    return 0;
  }
  systemError_ = errno;
  return WindowsCodeOfErrno(systemError_, path);
}

namespace {

// One read or write, again when a signal broke it off.
template <class Transfer>
std::int64_t TransferOnce(Transfer transfer, int& lastError, int& systemError) {
  ssize_t count;
  do {
    count = transfer();
  } while (count < 0 && errno == EINTR);
  if (count < 0) {
    systemError = errno;
    lastError = WindowsCodeOfErrno(errno, "");
  }
  return count;
}

}  // namespace

std::int64_t File::ReadOnce(void* buffer, std::size_t size) noexcept {
  return TransferOnce([&] { return ::read(static_cast<int>(handle_), buffer, size); }, lastError_,
                      systemError_);
}

// A pipe whose reader went away raises SIGPIPE, which would end the host
// process: the signal is held back on this thread during the write and
// taken away if the write may have raised it (a failed write, or one cut
// short), unless the thread held it back already.
std::int64_t File::WriteOnce(const void* data, std::size_t size) noexcept {
  sigset_t brokenPipe;
  sigset_t previous;
  sigemptyset(&brokenPipe);
  sigaddset(&brokenPipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &brokenPipe, &previous);
  const std::int64_t put = TransferOnce(
      [&] { return ::write(static_cast<int>(handle_), data, size); }, lastError_, systemError_);
  if (put < static_cast<std::int64_t>(size) && sigismember(&previous, SIGPIPE) == 0) {
    const timespec now{};
    ::sigtimedwait(&brokenPipe, nullptr, &now);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return put;
}

namespace {

// The process's file mask, read without setting it: setting it, even for a
// moment, would change the files other threads create meanwhile.
mode_t FileMask() {
  constexpr mode_t kUsualMask = 022;
  char status[256] = {};
  const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return kUsualMask;
  const ssize_t got = ::read(fd, status, sizeof status - 1);
  ::close(fd);
  const char* field = got > 0 ? std::strstr(status, "\nUmask:\t") : nullptr;
  if (field == nullptr) return kUsualMask;
  mode_t mask = 0;
  for (const char* digit = field + 8; *digit >= '0' && *digit <= '7'; ++digit) {
    mask = static_cast<mode_t>(mask * 8 + static_cast<mode_t>(*digit - '0'));
  }
  return mask;
}

}  // namespace

void File::TakePermissionsOf(const File* replaced) noexcept {
  const int fd = static_cast<int>(handle_);
  struct stat old;
  if (replaced == nullptr || ::fstat(static_cast<int>(replaced->handle_), &old) != 0) {
    ::fchmod(fd, 0666 & ~FileMask());
    return;
  }
  // Only a privileged caller may give a file away, and only a member of the
  // group keep it; rights meant for the old group are not given to another.
  if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
      ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
    old.st_mode &= ~static_cast<mode_t>(S_IRWXG);
  }
  ::fchmod(fd, old.st_mode & 07777);
}

bool File::Close() noexcept {
  if (!IsOpen()) return true;
  const int closed = ::close(static_cast<int>(handle_));
  handle_ = kClosed;
  // After EINTR the descriptor is gone on Linux, and nothing more is known.
  if (closed == 0 || errno == EINTR) return true;
  systemError_ = errno;
  lastError_ = WindowsCodeOfErrno(errno, "");
  return false;
}

int MoveFileOver(const char* from, const char* to) noexcept {
  return ::rename(from, to) == 0 ? 0 : errno;
}

int RemoveFile(const char* path) noexcept { return ::unlink(path) == 0 ? 0 : errno; }

std::uint32_t RandomNumber() noexcept {
  std::uint32_t number = 0;
  while (::getrandom(&number, sizeof number, 0) < 0 && errno == EINTR) {
  }
  return number;
}

namespace {

// The kernel's protected_symlinks rule, kept whatever the system's setting:
// in a sticky folder anyone may write to, only links of the folder's owner
// or of the caller are followed.
bool MayFollow(const struct stat& link, const std::string& folder) {
  struct stat info;
  if (::stat(folder.c_str(), &info) != 0) return false;
  const bool shared = (info.st_mode & S_ISVTX) != 0 && (info.st_mode & S_IWOTH) != 0;
  return !shared || link.st_uid == info.st_uid || link.st_uid == ::geteuid();
}

// Replacing takes a folder the caller may write to, and in a sticky one the
// file's or the folder's ownership, or privilege.
bool MayReplace(const struct stat& file, const std::string& folder) {
  struct stat info;
  if (::stat(folder.c_str(), &info) != 0 ||
      ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
    return false;
  }
  const uid_t caller = ::geteuid();
  return (info.st_mode & S_ISVTX) == 0 || caller == 0 || file.st_uid == caller ||
         info.st_uid == caller;
}

bool IsDescriptorFolder(const std::string& folder) {
  constexpr long kProcFileSystem = 0x9fa0;  // the kernel's number for /proc
  struct statfs info;
  return ::statfs(folder.c_str(), &info) == 0 && static_cast<long>(info.f_type) == kProcFileSystem;
}

// A descriptor of this process is duplicated: the copy shares its offset
// and flags, so what the redirect left (appending, say) stays. Another's is
// opened anew. -1 with errno set when neither works.
int OpenDescriptorLink(const std::string& link) {
  const int number = std::atoi(link.c_str() + link.rfind('/') + 1);
  struct stat ours;
  struct stat linked;
  if (::fstat(number, &ours) == 0 && ::stat(link.c_str(), &linked) == 0 &&
      ours.st_dev == linked.st_dev && ours.st_ino == linked.st_ino) {
    return ::fcntl(number, F_DUPFD_CLOEXEC, 0);
  }
  return OpenDescriptor(link.c_str(), O_WRONLY);
}

// Where a link leads; a link that cannot be read leads to itself, which
// ends as a loop.
std::string LinkTarget(const std::string& link) {
  char target[PATH_MAX];
  const ssize_t size = ::readlink(link.c_str(), target, sizeof target);
  if (size <= 0 || size == sizeof target) return link;
  std::string path(target, static_cast<std::size_t>(size));
  return path[0] == '/' ? path : FolderOf(link) + "/" + path;
}

// A file that exists: devices, pipes and files that may not be replaced are
// written in place, the last emptied first, as ">" would; but never the
// detail being read, whose bytes emptying would lose.
int OpenExisting(const std::string& file, const struct stat& info, const struct stat* input,
                 bool& inPlace) {
  const bool regular = S_ISREG(info.st_mode);
  inPlace = !regular || !MayReplace(info, FolderOf(file));
  if (inPlace && regular && input != nullptr && input->st_dev == info.st_dev &&
      input->st_ino == info.st_ino) {
    errno = EINVAL;
    return -1;
  }
  return OpenDescriptor(file.c_str(), O_WRONLY | (inPlace && regular ? O_TRUNC : 0));
}

}  // namespace

ReportTarget FindReportTarget(const char* path, const File* input) noexcept {
  constexpr int kLinksFollowed = 40;  // as many as the kernel follows
  ReportTarget target;
  struct stat inputInfo;
  const bool inputKnown = input != nullptr && input->IsOpen() &&
                          ::fstat(static_cast<int>(input->handle_), &inputInfo) == 0;
  try {
    target.file = path;
    for (int links = 0;; ++links) {
      struct stat info;
      // A missing file is made; why a path cannot be used shows there.
      if (::lstat(target.file.c_str(), &info) != 0) return target;
      const std::string folder = FolderOf(target.file);
      const bool descriptorLink = S_ISLNK(info.st_mode) && IsDescriptorFolder(folder);
      if (!S_ISLNK(info.st_mode) || descriptorLink) {
        bool inPlace = true;
        const int fd = descriptorLink ? OpenDescriptorLink(target.file)
                                      : OpenExisting(target.file, info,
                                                     inputKnown ? &inputInfo : nullptr, inPlace);
        target.existing.handle_ = fd < 0 ? File::kClosed : fd;
        target.inPlace = fd >= 0 && inPlace;
        // A file gone meanwhile is made anew.
        if (fd < 0 && errno != ENOENT) target.error = errno;
        return target;
      }
      if (links == kLinksFollowed || !MayFollow(info, folder)) {
        target.error = links == kLinksFollowed ? ELOOP : EACCES;
        return target;
      }
      target.file = LinkTarget(target.file);
    }
  } catch (...) {
    target.error = ENOMEM;
  }
  return target;
}

std::string WithSystemSeparators(std::string_view name) { return std::string(name); }

unsigned SystemCodePage() { return SystemCodePageConversions().Number(); }

std::u16string CodePageToUtf16(std::string_view bytes) {
  return SystemCodePageConversions().ToUtf16(bytes);
}

std::string Utf16ToCodePage(std::u16string_view text) {
  return SystemCodePageConversions().FromUtf16(text);
}

std::string LowerInCodePage(std::string_view bytes) {
  return SystemCodePageConversions().Lower(bytes);
}

}  // namespace qv::platform
