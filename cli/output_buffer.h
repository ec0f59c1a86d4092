#pragma once
// A command's output gathered into large writes, and the places it goes:
// standard output, or a file replaced only when complete.
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>

#include "convert/report_file.h"
#include "convert/report_printer.h"

namespace qv::cli {

// The output cannot take more: the whole command stops, unlike a failure of
// one input.
class OutputFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Bytes appended to Text() and handed over a megabyte or more at a time.
class OutputBuffer {
 public:
  static constexpr std::size_t kFlushSize = 1 << 20;

  explicit OutputBuffer(ReportOutput& out);
  std::string& Text() { return text_; }
  void FlushWhenFull() {
    if (text_.size() >= kFlushSize) Flush();
  }
  void Flush();

 private:
  ReportOutput& out_;
  std::string text_;
};

// Standard output, or the file at path, which takes the new bytes' place
// only at Finish; raises OutputFailure on a failed write.
class ListingOutput final : public ReportOutput {
 public:
  // An empty path stands for standard output.
  explicit ListingOutput(const std::string& path);

  void Write(const char* data, std::size_t size) override;
  // Makes the file; raises OutputFailure when it cannot be made at all.
  void CheckReady();
  // Puts the file in place; raises OutputFailure.
  void Finish();

 private:
  std::optional<ReportFile> file_;
};

}  // namespace qv::cli
