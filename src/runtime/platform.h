#pragma once
// The small interface to the operating system: files, the system code page.
// One implementation per platform (platform_win32.cpp, platform_posix.cpp).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::platform {

// System error codes use the Windows numbering on every platform:
// 2 file not found, 3 path not found, 4 too many open files, 5 access
// denied, 32 sharing violation...
class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  ~File();

  // kRead: an existing file, for reading without sharing. kWriteExisting:
  // a file that exists, for writing, not truncated. kCreateNew: a file that
  // must not exist yet (80 when it does), for writing, readable by its owner
  // alone.
  enum class Access { kRead, kWriteExisting, kCreateNew };
  // Closes the file first. Returns 0 or the system error code. path is
  // zero-terminated, in the system code page.
  int Open(const char* path, Access access) noexcept;
  // Gives this file the permissions, owner and group of replaced, as far as
  // the caller may, or with no file to replace, those a new file gets.
  void TakePermissionsOf(const File* replaced) noexcept;
  // Bytes read (0 at the end), or -1 when the read failed.
  std::int64_t Read(void* buffer, std::size_t size) noexcept;
  // False when not every byte was written (a full disk, for example).
  bool WriteAll(const void* data, std::size_t size) noexcept;
  bool IsOpen() const noexcept { return handle_ != kClosed; }
  // The system error code of the last failed Read or WriteAll.
  int LastError() const noexcept { return lastError_; }
  // The system's own number (errno, GetLastError) of the last failed call.
  int SystemError() const noexcept { return systemError_; }
  // False when the system reports a failure at closing, which can be the
  // first news of a write that did not reach the disk.
  bool Close() noexcept;

 private:
  // The platform's own parts: opening into handle_, and one system read or
  // write of up to size bytes (the count, or -1 with lastError_ set).
  int OpenClosed(const char* path, Access access) noexcept;
  std::int64_t ReadOnce(void* buffer, std::size_t size) noexcept;
  std::int64_t WriteOnce(const void* data, std::size_t size) noexcept;

  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t handle_ = kClosed;
  int lastError_ = 0;
  int systemError_ = 0;

  friend struct ReportTarget FindReportTarget(const char* path, const File* input) noexcept;
};

// Where a report named path goes. Links are followed only where the kernel
// follows them for an ordinary user (not into another user's link in a
// shared sticky folder).
struct ReportTarget {
  // The file a complete report is moved over: path, or where links lead.
  std::string file;
  // The existing file, open for writing, if any.
  File existing;
  // Write into existing instead of replacing it: a device, a pipe, a
  // descriptor of this process, or a file the caller may write but not
  // replace.
  bool inPlace = false;
  // 0, or the system error code that stops the report being written.
  int error = 0;
};
// input, when given, is the detail being read: a file written in place is
// emptied first, which must never be the detail itself.
ReportTarget FindReportTarget(const char* path, const File* input) noexcept;

// The characters after which a file's own name starts in a path.
#ifdef _WIN32
inline constexpr const char* kSeparators = "\\/:";
#else
inline constexpr const char* kSeparators = "/";
#endif

// Moves a file over another, in one step, keeping what the system keeps
// with the replaced file. Returns 0 or the system error code.
int MoveFileOver(const char* from, const char* to) noexcept;
int RemoveFile(const char* path) noexcept;
// Random bits from the system, for names no other run can foresee.
std::uint32_t RandomNumber() noexcept;

// The name with every "/" as the system's own separator: "\" on Windows,
// which takes "/" literally in a "\\?\" name; unchanged elsewhere.
std::string WithSystemSeparators(std::string_view name);

// The system's ANSI code page; kUtf8CodePage when it is UTF-8. Settled once.
unsigned SystemCodePage();
inline constexpr unsigned kUtf8CodePage = 65001;
std::u16string CodePageToUtf16(std::string_view bytes);
std::string Utf16ToCodePage(std::u16string_view text);
// Lowers the letters of the code page, byte text in, byte text out.
std::string LowerInCodePage(std::string_view bytes);

}  // namespace qv::platform
