#pragma once
// The report file, replaced only when complete: the bytes go to a temporary
// file beside it, which takes the report's name at the end. A conversion
// that fails or is killed on the way leaves an existing report as it was.
#include <cstddef>
#include <string>

#include "convert/report_printer.h"
#include "runtime/platform.h"

namespace qv {

class ReportFile final : public ReportOutput {
 public:
  explicit ReportFile(std::string path) : path_(std::move(path)) {}
  ~ReportFile() { Discard(); }
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;

  // Makes the file the bytes go to; raises Unable to create file "<path>".
  void Open();
  // Raises Unable to write file "<path>", and again at every later call.
  void Write(const char* data, std::size_t size) override;
  // Puts the complete report in place; raises Unable to create file or
  // Unable to write file. The temporary file is gone afterwards.
  void Commit();

 private:
  [[noreturn]] void Raise(const char* failure, int systemError);
  void Discard() noexcept;

  std::string path_;
  // The file the report replaces: the path, or where links at it lead.
  std::string target_;
  std::string temporary_;
  platform::File file_;
  // The report being replaced, kept open for its permissions.
  platform::File replaced_;
  bool writeFailed_ = false;
};

}  // namespace qv
