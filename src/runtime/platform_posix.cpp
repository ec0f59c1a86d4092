// Files and the system code page on Linux. Error codes are given in the
// Windows numbering so that messages and codes read the same on both builds.
#include "runtime/platform.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/code_page_posix.h"
#include "runtime/system_errors.h"

namespace qv::platform {
namespace {

using namespace system_error;

// Windows tells a missing file (2) from a missing folder on its path (3).
bool FolderOfPathExists(const char* path) {
  const char* slash = std::strrchr(path, '/');
  if (slash == nullptr) return true;
  if (slash == path) return true;  // the root
  std::string folder(path, static_cast<std::size_t>(slash - path));
  struct stat info;
  return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int WindowsCodeOfErrno(int error, const char* path) {
  switch (error) {
    case ENOENT:
      return FolderOfPathExists(path) ? kFileNotFound : kPathNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return kPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kAccessDenied;
    case EMFILE:
    case ENFILE:
      return kTooManyOpenFiles;
    case ENOMEM:
      return kNotEnoughMemory;
    case EROFS:
      return kWriteProtect;
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK:
      return kSharingViolation;
    case EEXIST:
      return kFileExists;
    case EINVAL:
      return kInvalidParameter;
    case ENOSPC:
    case EDQUOT:
      return kDiskFull;
    case EIO:
      return kIoDevice;
    case EBADF:
      return kInvalidHandle;
    default:
      return kGeneralFailure;
  }
}

// O_NONBLOCK keeps a FIFO without a partner from hanging the open; reads and
// writes are blocking again afterwards.
int OpenDescriptor(const char* path, int flags, int* descriptor) {
  if (path == nullptr || *path == '\0') return kFileNotFound;
  int fd;
  do {
    fd = ::open(path, flags | O_CLOEXEC | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return WindowsCodeOfErrno(errno, path);
  struct stat info;
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return kAccessDenied;
  }
  int status = ::fcntl(fd, F_GETFL);
  if (status != -1) ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
  *descriptor = fd;
  return 0;
}

}  // namespace

int File::Open(const char* path, Access access) noexcept {
  const int flags = access == Access::kRead            ? O_RDONLY
                    : access == Access::kWriteExisting ? O_WRONLY
                                                       : O_WRONLY | O_CREAT | O_EXCL;
  int fd = -1;
  const int code = OpenDescriptor(path, flags, &fd);
  if (code == 0) handle_ = fd;
  return code;
}

namespace {

// One read or write, again when a signal broke it off.
template <class Transfer>
std::int64_t TransferOnce(Transfer transfer, int& lastError) {
  ssize_t count;
  do {
    count = transfer();
  } while (count < 0 && errno == EINTR);
  if (count < 0) lastError = WindowsCodeOfErrno(errno, "");
  return count;
}

}  // namespace

std::int64_t File::ReadOnce(void* buffer, std::size_t size) noexcept {
  return TransferOnce([&] { return ::read(static_cast<int>(handle_), buffer, size); }, lastError_);
}

std::int64_t File::WriteOnce(const void* data, std::size_t size) noexcept {
  return TransferOnce([&] { return ::write(static_cast<int>(handle_), data, size); }, lastError_);
}

bool File::IsRegularFile() const noexcept {
  struct stat info;
  return IsOpen() && ::fstat(static_cast<int>(handle_), &info) == 0 && S_ISREG(info.st_mode);
}

void File::TakePermissionsOf(const File& other) noexcept {
  struct stat info;
  if (IsOpen() && other.IsOpen() && ::fstat(static_cast<int>(other.handle_), &info) == 0) {
    ::fchmod(static_cast<int>(handle_), info.st_mode & 07777);
  }
}

void File::Close() noexcept {
  if (!IsOpen()) return;
  ::close(static_cast<int>(handle_));
  handle_ = kClosed;
}

std::string ReplacedFileOf(const char* path) {
  struct stat info;
  if (::lstat(path, &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return ::realpath(path, resolved) != nullptr ? resolved : path;
}

int MoveFileOver(const char* from, const char* to) noexcept {
  return ::rename(from, to) == 0 ? 0 : WindowsCodeOfErrno(errno, to);
}

int RemoveFile(const char* path) noexcept {
  return ::unlink(path) == 0 ? 0 : WindowsCodeOfErrno(errno, path);
}

std::string ProcessAndThreadTag() {
  return std::to_string(::getpid()) + "-" + std::to_string(::gettid());
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
