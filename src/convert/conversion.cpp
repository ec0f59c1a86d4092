#include "convert/conversion.h"

#include <exception>
#include <string>

#include "convert/report_file.h"
#include "convert/report_printer.h"
#include "runtime/encodings.h"
#include "runtime/platform.h"
#include "runtime/service_error.h"

namespace qv {
namespace {

// The detail file, read in blocks straight into the walk's buffer.
class DetailFile {
 public:
  explicit DetailFile(std::string_view path) : path_(path) {
    if (file_.Open(path_.c_str(), platform::File::Access::kRead) != 0) {
      throw ServiceError("Unable to open file \"" + path_ + "\"", file_.SystemError());
    }
  }

  // Fills space with the next bytes: how many, 0 at the end. A failed read
  // is an error: taking it for the end would lose the rest of the detail.
  std::size_t Read(std::span<char> space) {
    const std::int64_t got = file_.Read(space.data(), space.size());
    if (got < 0) {
      throw ServiceError("Unable to read file \"" + path_ + "\"", file_.SystemError());
    }
    return static_cast<std::size_t>(got);
  }

  const platform::File& Handle() const { return file_; }

 private:
  std::string path_;
  platform::File file_;
};

// Runs one step of the conversion, keeping its failure for later.
template <class Step>
void Attempt(std::exception_ptr& failure, Step step) {
  try {
    step();
  } catch (...) {
    failure = std::current_exception();
  }
}

}  // namespace

// A failed read outranks a failed write, which outranks a failed walk: the
// whole detail is read even after a failure, only to hear of a failed read.
// A failed walk still leaves the report of what it walked.
void ConvertDetail(std::string_view inputPath, std::string_view outputPath,
                   const ConversionSettings& settings) {
  DetailFile detail(inputPath);
  ReportFile report{std::string(outputPath)};
  std::exception_ptr writeFailure;
  std::exception_ptr walkFailure;
  Attempt(writeFailure, [&] { report.Open(&detail.Handle()); });
  ReportPrinter printer(report, FileNameToUtf8(inputPath));
  DetailWalk walk(printer, settings.decimalSeparator);
  while (const std::size_t got = detail.Read(walk.Space())) {
    if (!writeFailure && !walkFailure) Attempt(walkFailure, [&] { walk.Added(got); });
  }
  if (!writeFailure && !walkFailure) Attempt(walkFailure, [&] { walk.Finish(); });
  // A write that failed during the walk fails here again, in its own rank.
  if (!writeFailure) {
    Attempt(writeFailure, [&] {
      printer.End();
      report.Commit();
    });
  }
  if (writeFailure) std::rethrow_exception(writeFailure);
  if (walkFailure) std::rethrow_exception(walkFailure);
}

void WalkDetail(std::string_view path, const ConversionSettings& settings, DetailEvents& events) {
  DetailFile detail(path);
  DetailWalk walk(events, settings.decimalSeparator);
  std::uint64_t total = 0;
  while (const std::size_t got = detail.Read(walk.Space())) {
    walk.Added(got);
    events.BytesRead(total += got);
  }
  walk.Finish();
}

}  // namespace qv
