#include "file_identity.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace qv::cli {

#ifdef _WIN32
std::optional<FileIdentity> IdentifyExistingFile(const char* path) {
  // Backup semantics let a folder be opened too.
  HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  if (!known) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}
#else
std::optional<FileIdentity> IdentifyExistingFile(const char* path) {
  struct stat status;
  if (stat(path, &status) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                      static_cast<std::uint64_t>(status.st_ino)};
}
#endif

bool SameExistingFile(const char* a, const char* b) {
  const std::optional<FileIdentity> identityA = IdentifyExistingFile(a);
  return identityA && identityA == IdentifyExistingFile(b);
}

}  // namespace qv::cli
