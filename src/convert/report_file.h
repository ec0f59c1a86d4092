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
  // A failure to prepare the file is kept, not raised: the caller still
  // reads its input to the end (a failed read outranks it) and hears of it
  // from Commit.
  explicit ReportFile(std::string path);
  ~ReportFile();
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;

  // Keeps the first failure and writes nothing after it.
  void Write(const char* data, std::size_t size) override;
  bool Failed() const { return !failure_.empty(); }
  // Puts the complete report in place; raises Unable to create file "<path>"
  // or Unable to write file "<path>". The temporary file is gone afterwards.
  void Commit();

 private:
  void Prepare();
  void Discard() noexcept;

  std::string path_;
  // The file the report replaces: the path, or where a link at it leads.
  std::string target_;
  std::string temporary_;
  platform::File file_;
  std::string failure_;
};

}  // namespace qv
