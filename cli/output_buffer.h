#pragma once
// The places a listing goes: standard output, or a file replaced only when
// complete.
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>

#include "convert/report_file.h"
#include "convert/report_printer.h"
#include "records.h"

namespace qv::cli {

// The output cannot take more: the whole command stops, unlike a failure of
// one input.
class OutputFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
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
