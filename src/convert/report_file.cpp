#include "convert/report_file.h"

#include <cstdio>
#include <utility>

#include "runtime/service_error.h"
#include "runtime/system_errors.h"

namespace qv {
namespace {

// Each name is random, so files left by killed runs are passed over; the
// limit only stops a folder that refuses every name for that reason.
constexpr int kTemporaryNameAttempts = 100;

// A short name of fixed length, whatever the report's own name.
std::string TemporaryNameBeside(const std::string& file) {
  char name[20];
  std::snprintf(name, sizeof name, ".qv-%08x.tmp", static_cast<unsigned>(platform::RandomNumber()));
  return file.substr(0, file.find_last_of(platform::kSeparators) + 1) + name;
}

}  // namespace

void ReportFile::Open(const platform::File* input) {
  platform::ReportTarget target = platform::FindReportTarget(path_.c_str(), input);
  if (target.error != 0) Raise("Unable to create file", target.error);
  if (target.inPlace) {
    file_ = std::move(target.existing);
    return;
  }
  target_ = std::move(target.file);
  replaced_ = std::move(target.existing);
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    temporary_ = TemporaryNameBeside(target_);
    const int created = file_.Open(temporary_.c_str(), platform::File::Access::kCreateNew);
    if (created == 0) return;
    if (created != system_error::kFileExists) break;
  }
  temporary_.clear();
  Raise("Unable to create file", file_.SystemError());
}

void ReportFile::Write(const char* data, std::size_t size) {
  if (writeFailed_ || !file_.WriteAll(data, size))
    Raise("Unable to write file", file_.SystemError());
}

// The file is private until complete; it takes the report's permissions
// only now.
void ReportFile::Commit() {
  if (!temporary_.empty()) file_.TakePermissionsOf(replaced_.IsOpen() ? &replaced_ : nullptr);
  if (writeFailed_ || !file_.Close()) Raise("Unable to write file", file_.SystemError());
  if (temporary_.empty()) return;
  const int moved = platform::MoveFileOver(temporary_.c_str(), target_.c_str());
  if (moved != 0) Raise("Unable to create file", moved);
  temporary_.clear();
}

// A failed write stays failed: the bytes after it would leave a hole.
void ReportFile::Raise(const char* failure, int systemError) {
  writeFailed_ = true;
  Discard();
  throw ServiceError(std::string(failure) + " \"" + path_ + "\"", systemError);
}

void ReportFile::Discard() noexcept {
  file_.Close();
  replaced_.Close();
  if (!temporary_.empty()) platform::RemoveFile(temporary_.c_str());
  temporary_.clear();
}

}  // namespace qv
