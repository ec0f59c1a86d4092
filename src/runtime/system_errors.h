#pragma once
// System error numbers in the Windows numbering, which both builds report:
// the line reader's codes and messages follow from them.
namespace qv::system_error {

inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kInvalidHandle = 6;
inline constexpr int kNotEnoughMemory = 8;
inline constexpr int kWriteProtect = 19;
inline constexpr int kGeneralFailure = 31;
inline constexpr int kSharingViolation = 32;
inline constexpr int kFileExists = 80;
inline constexpr int kInvalidParameter = 87;
inline constexpr int kDiskFull = 112;
inline constexpr int kDirectoryNotEmpty = 145;
inline constexpr int kAlreadyExists = 183;
inline constexpr int kIoDevice = 1117;

}  // namespace qv::system_error
