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
    if (file_.OpenForReading(path_.c_str()) != 0) {
      throw ServiceError("Unable to open file \"" + path_ + "\"");
    }
  }

  // Fills space with the next bytes: how many, 0 at the end. A failed read
  // is an error: taking it for the end would lose the rest of the detail.
  std::size_t Read(std::span<char> space) {
    const std::int64_t got = file_.Read(space.data(), space.size());
    if (got < 0) throw ServiceError("Unable to read file \"" + path_ + "\"");
    return static_cast<std::size_t>(got);
  }

 private:
  std::string path_;
  platform::File file_;
};

}  // namespace

void ConvertDetail(std::string_view inputPath, std::string_view outputPath,
                   const ConversionSettings& settings) {
  DetailFile detail(inputPath);
  ReportFile report{std::string(outputPath)};
  ReportPrinter printer(report, FileNameToUtf8(inputPath));
  DetailWalk walk(printer, settings.decimalSeparator);
  std::exception_ptr failure;
  // After a failure the rest of the detail is still read, only to hear of
  // a failed read, which outranks it.
  for (;;) {
    const std::span<char> space = walk.Space();
    const std::size_t got = detail.Read(space);
    if (got == 0) break;
    if (failure || report.Failed()) continue;
    try {
      walk.Added(got);
    } catch (...) {
      failure = std::current_exception();
    }
  }
  if (!failure && !report.Failed()) {
    try {
      walk.Finish();
    } catch (...) {
      failure = std::current_exception();
    }
  }
  printer.End();
  report.Commit();
  if (failure) std::rethrow_exception(failure);
}

void WalkDetail(std::string_view path, const ConversionSettings& settings, DetailEvents& events) {
  DetailFile detail(path);
  DetailWalk walk(events, settings.decimalSeparator);
  for (std::uint64_t total = 0;;) {
    const std::size_t got = detail.Read(walk.Space());
    if (got == 0) break;
    walk.Added(got);
    total += got;
    events.BytesRead(total);
  }
  walk.Finish();
}

}  // namespace qv
