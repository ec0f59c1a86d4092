// The page's functions: arguments in, work handed on, every failure stopped
// here, as at the plug-in's exports.
#include "page_api.h"

#include "convert/conversion.h"
#include "convert/report_printer.h"
#include "detect/recognition.h"
#include "plugin/boundary.h"

namespace qv::page {
namespace {

enum Channel : int { kReportChannel = 0 };

// The report's bytes, handed to the page as the printer lets them go.
class PageOutput final : public ReportOutput {
 public:
  explicit PageOutput(Channel channel) : channel_(channel) {}
  void Write(const char* data, std::size_t size) override { QvPageWrite(channel_, data, size); }

 private:
  Channel channel_;
};

// One walk over the detail feeds everything the page shows of it.
class PageEvents final : public DetailEvents {
 public:
  explicit PageEvents(ReportPrinter& printer) : printer_(printer) {}

  void Subscriber(std::string_view number) override { printer_.Subscriber(number); }
  void Call(const CallRecord& call) override { printer_.Call(call); }
  void BytesRead(std::uint64_t total) override { QvPageProgress(static_cast<double>(total)); }

 private:
  ReportPrinter& printer_;
};

std::string_view TextOrEmpty(const char* text) { return text != nullptr ? text : ""; }

// The report holds what was found before a failure, as the plug-in's does.
void Convert(std::string_view path, std::string_view filename, char decimalSeparator) {
  PageOutput report(kReportChannel);
  ReportPrinter printer(report, filename);
  PageEvents events(printer);
  try {
    WalkDetail(path, ConversionSettings{decimalSeparator}, events);
  } catch (...) {
    printer.End();
    throw;
  }
  printer.End();
}

}  // namespace
}  // namespace qv::page

extern "C" {

void QvPageNameDetail(unsigned char* buffer, const char* path, char dateSeparator,
                      const char* shortDatePattern, char timeSeparator, const char* amDesignator,
                      const char* pmDesignator) noexcept {
  if (buffer == nullptr) {
    qv::RecordLastFailure("No buffer for the name");
    return;
  }
  qv::StoreShortText(buffer, {});
  qv::RunAtBoundary([&] {
    qv::LocaleFormatsRecord formats;
    formats.dateSeparator = dateSeparator;
    formats.shortDatePattern = qv::page::TextOrEmpty(shortDatePattern);
    formats.timeSeparator = timeSeparator;
    formats.amDesignator = qv::page::TextOrEmpty(amDesignator);
    formats.pmDesignator = qv::page::TextOrEmpty(pmDesignator);
    qv::StoreShortText(buffer, qv::NameDetail(qv::page::TextOrEmpty(path), formats,
                                              qv::SystemLocalDate));
  });
}

uint8_t QvPageConvertDetail(const char* path, const char* filename,
                            char decimalSeparator) noexcept {
  return qv::RunAtBoundary([&] {
           qv::page::Convert(qv::page::TextOrEmpty(path), qv::page::TextOrEmpty(filename),
                             decimalSeparator);
         })
             ? 1
             : 0;
}

void QvPageLastError(unsigned char* buffer) noexcept {
  if (buffer != nullptr) qv::StoreShortText(buffer, qv::LastFailure());
}

}  // extern "C"
