#include "convert/report_file.h"

#include <utility>

#include "runtime/service_error.h"
#include "runtime/system_errors.h"

namespace qv {
namespace {

// Names tried when earlier ones are taken, by files left from a killed run.
constexpr int kTemporaryNameAttempts = 100;

}  // namespace

ReportFile::ReportFile(std::string path) : path_(std::move(path)) { Prepare(); }

ReportFile::~ReportFile() { Discard(); }

// A report that cannot be written in place today cannot be replaced either:
// an existing one is opened for writing first. Devices and pipes are written
// into directly, as nothing could be moved over them.
void ReportFile::Prepare() {
  const std::string createFailure = "Unable to create file \"" + path_ + "\"";
  target_ = platform::ReplacedFileOf(path_.c_str());
  platform::File existing;
  const int probe = existing.OpenExistingForWriting(target_.c_str());
  if (probe == 0 && !existing.IsRegularFile()) {
    file_ = std::move(existing);
    return;
  }
  if (probe != 0 && probe != system_error::kFileNotFound) {
    failure_ = createFailure;
    return;
  }
  const std::string stem = target_ + ".~qv" + platform::ProcessAndThreadTag() + "-";
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    temporary_ = stem + std::to_string(attempt) + ".tmp";
    const int created = file_.CreateNew(temporary_.c_str());
    if (created == 0) {
      if (existing.IsOpen()) file_.TakePermissionsOf(existing);
      return;
    }
    if (created != system_error::kFileExists) break;
  }
  temporary_.clear();
  failure_ = createFailure;
}

void ReportFile::Write(const char* data, std::size_t size) {
  if (!failure_.empty()) return;
  if (!file_.WriteAll(data, size)) failure_ = "Unable to write file \"" + path_ + "\"";
}

void ReportFile::Commit() {
  if (failure_.empty()) {
    file_.Close();
    if (!temporary_.empty()) {
      if (platform::MoveFileOver(temporary_.c_str(), target_.c_str()) == 0) {
        temporary_.clear();
      } else {
        failure_ = "Unable to create file \"" + path_ + "\"";
      }
    }
  }
  Discard();
  if (!failure_.empty()) throw ServiceError(failure_);
}

void ReportFile::Discard() noexcept {
  file_.Close();
  if (!temporary_.empty()) platform::RemoveFile(temporary_.c_str());
  temporary_.clear();
}

}  // namespace qv
