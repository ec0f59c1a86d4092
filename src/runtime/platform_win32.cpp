// Files and the ANSI code page on Windows.
#define _CRT_RAND_S
#include <stdlib.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>

#include "runtime/encodings.h"
#include "runtime/platform.h"
#include "runtime/system_errors.h"

namespace qv::platform {
namespace {

using namespace system_error;
// ReadFile and WriteFile count in DWORD; stay well inside it.
constexpr std::size_t kLargestTransfer = 1u << 30;

HANDLE HandleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

int OpenHandle(const char* path, DWORD access, DWORD disposition, std::intptr_t* handle) {
  // CreateFileA reports an empty name as a missing path; it is a missing file.
  if (path == nullptr || *path == '\0') return kFileNotFound;
  HANDLE opened =
      CreateFileA(path, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  *handle = reinterpret_cast<std::intptr_t>(opened);
  return 0;
}

// Our own decoder: MB_PRECOMPOSED is refused for the UTF-8 code page, and the
// "?" rules are ours.
bool IsUtf8() { return SystemCodePage() == kUtf8CodePage; }

}  // namespace

int File::OpenClosed(const char* path, Access access) noexcept {
  const DWORD rights = access == Access::kRead ? GENERIC_READ : GENERIC_WRITE;
  const DWORD disposition = access == Access::kCreateNew ? CREATE_NEW : OPEN_EXISTING;
  systemError_ = OpenHandle(path, rights, disposition, &handle_);
  return systemError_;
}

namespace {

// One ReadFile or WriteFile of at most what a DWORD counts.
template <class Transfer>
std::int64_t TransferOnce(Transfer transfer, std::size_t size, int& lastError, int& systemError) {
  DWORD count = 0;
  if (!transfer(static_cast<DWORD>(std::min(size, kLargestTransfer)), &count)) {
    lastError = systemError = static_cast<int>(GetLastError());
    return -1;
  }
  return count;
}

}  // namespace

std::int64_t File::ReadOnce(void* buffer, std::size_t size) noexcept {
  return TransferOnce(
      [&](DWORD want, DWORD* got) {
        return ReadFile(HandleOf(handle_), buffer, want, got, nullptr);
      },
      size, lastError_, systemError_);
}

std::int64_t File::WriteOnce(const void* data, std::size_t size) noexcept {
  return TransferOnce(
      [&](DWORD want, DWORD* put) {
        return WriteFile(HandleOf(handle_), data, want, put, nullptr);
      },
      size, lastError_, systemError_);
}

// A new file takes the access rules of its folder, as the report did when
// it was created in place; replacing keeps those of the replaced file.
void File::TakePermissionsOf(const File*) noexcept {}

bool File::Close() noexcept {
  if (!IsOpen()) return true;
  const bool closed = CloseHandle(HandleOf(handle_)) != 0;
  handle_ = kClosed;
  if (!closed) lastError_ = systemError_ = static_cast<int>(GetLastError());
  return closed;
}

// Devices and pipes are written into: nothing could be moved over them.
// Only devices are written in place here, never the detail's own file.
ReportTarget FindReportTarget(const char* path, const File* /*input*/) noexcept {
  ReportTarget target;
  try {
    target.file = path;
  } catch (...) {
    target.error = ERROR_NOT_ENOUGH_MEMORY;
    return target;
  }
  const int opened = target.existing.Open(path, File::Access::kWriteExisting);
  if (opened == 0)
    target.inPlace = GetFileType(HandleOf(target.existing.handle_)) != FILE_TYPE_DISK;
  if (opened != 0 && opened != kFileNotFound) target.error = opened;
  // Held without sharing, the file could not be replaced.
  if (!target.inPlace) target.existing.Close();
  return target;
}

namespace {

// The paths come in the ANSI code page; the wide call takes any length.
std::wstring WidePath(const char* path) {
  const int size = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
  if (size <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), size);
  wide.resize(static_cast<std::size_t>(size - 1));
  return wide;
}

}  // namespace

// ReplaceFileW keeps the replaced file's attributes, security and creation
// time; with nothing to replace, the file is moved.
int MoveFileOver(const char* from, const char* to) noexcept {
  try {
    const std::wstring source = WidePath(from);
    const std::wstring destination = WidePath(to);
    if (ReplaceFileW(destination.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr) ||
        (GetLastError() == ERROR_FILE_NOT_FOUND &&
         MoveFileExW(source.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING))) {
      return 0;
    }
    return static_cast<int>(GetLastError());
  } catch (...) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

int RemoveFile(const char* path) noexcept {
  return DeleteFileA(path) ? 0 : static_cast<int>(GetLastError());
}

std::uint32_t RandomNumber() noexcept {
  unsigned number = 0;
  rand_s(&number);
  return number;
}

std::string WithSystemSeparators(std::string_view name) {
  std::string path(name);
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

unsigned SystemCodePage() {
  static const unsigned codePage = GetACP();
  return codePage;
}

std::u16string CodePageToUtf16(std::string_view bytes) {
  if (bytes.empty()) return {};
  if (IsUtf8()) return DecodeUtf8(bytes);
  if (bytes.size() > INT_MAX) bytes = bytes.substr(0, INT_MAX);
  const int size = static_cast<int>(bytes.size());
  // A single-byte code page gives one code unit per byte; ask for the size
  // only when that is not enough.
  std::u16string out(bytes.size(), u'\0');
  int written = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, bytes.data(), size,
                                    reinterpret_cast<wchar_t*>(out.data()), size);
  if (written == 0) {
    int needed = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, bytes.data(), size, nullptr, 0);
    if (needed <= 0) return {};
    out.assign(static_cast<std::size_t>(needed), u'\0');
    written = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, bytes.data(), size,
                                  reinterpret_cast<wchar_t*>(out.data()), needed);
  }
  out.resize(static_cast<std::size_t>(written));
  return out;
}

std::string Utf16ToCodePage(std::u16string_view text) {
  if (text.empty()) return {};
  if (IsUtf8()) return EncodeUtf8(text);
  if (text.size() > INT_MAX / 4) text = text.substr(0, INT_MAX / 4);
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int size = static_cast<int>(text.size());
  int needed =
      WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, wide, size, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string out(static_cast<std::size_t>(needed), '\0');
  int written = WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, wide, size, out.data(), needed,
                                    nullptr, nullptr);
  out.resize(static_cast<std::size_t>(written > 0 ? written : 0));
  return out;
}

std::string LowerInCodePage(std::string_view bytes) {
  if (IsUtf8()) return LowerUtf8(bytes);
  std::string out(bytes);
  // CharLowerBuffA counts in DWORD: lower a huge text piece by piece.
  for (std::size_t done = 0; done < out.size();) {
    DWORD piece = static_cast<DWORD>(std::min(out.size() - done, kLargestTransfer));
    CharLowerBuffA(out.data() + done, piece);
    done += piece;
  }
  return out;
}

}  // namespace qv::platform
