#include "convert/conversion.h"

#include <exception>
#include <string>

#include "convert/call_row.h"
#include "convert/pruning.h"
#include "convert/report_document.h"
#include "maker.h"
#include "runtime/byte_text.h"
#include "runtime/encodings.h"
#include "runtime/line_list.h"
#include "scan/element_scanner.h"
#include "scan/text_helpers.h"

namespace qv {

std::string CurrentPhone;

namespace {

constexpr std::string_view kApplicationText = "Подготовлено для программы Quarvel";
constexpr std::string_view kLibraryText = "qvmtsfrs.dll";
constexpr std::size_t kPhoneDigits = 10;

void AppendHeaderElement(ReportDocument& document, ReportElement* report, std::u16string_view name,
                         std::u16string_view text) {
  ReportElement* element = document.CreateElement(name);
  document.SetTextContent(element, text);
  document.AppendChild(report, element);
}

class SubscriberWalk {
 public:
  SubscriberWalk(ReportDocument& document, ReportElement* report, ReportFileWriter& writer,
                 const ConversionSettings& settings)
      : document_(document), report_(report), writer_(writer), rowBuffers_(document) {
    rowBuffers_.writer = &writer;
    rowBuffers_.decimalSeparator = settings.decimalSeparator;
  }

  void Run(std::string_view joined) {
    const TextPos length = static_cast<TextPos>(joined.size());
    while (length > RowCursor) {
      if (CurrentPhone.empty()) {
        TakeSubscriberCell(joined);
      } else {
        const std::string_view row = NextTagContent(joined, "tr", RowCursor, CursorChoice::Row);
        if (kTotalMarker.In(row)) {
          CurrentPhone.clear();
        } else {
          // The call goes straight into the file: it cannot change once made.
          ConvertCallRow(row, document_, phone_, rowBuffers_);
        }
      }
    }
  }

 private:
  void TakeSubscriberCell(std::string_view joined) {
    const std::string_view content = NextTagContent(joined, "td", RowCursor, CursorChoice::Row);
    std::string_view cell = content;
    if (FindByte('<', content) != 0) {
      strippedCell_ = StripTags(content);
      cell = strippedCell_;
    }
    cell = TrimBlanks(cell);
    if (!kSubscriberMarker.In(cell)) return;

    // The number is what follows a marker taken to open the cell, wherever
    // the marker really stands.
    const TextPos markerLength = static_cast<TextPos>(kSubscriberMarker.Text().size());
    std::string_view number =
        TrimSlice(cell, markerLength + 1, static_cast<TextPos>(cell.size()) - markerLength);
    if (number.size() > kPhoneDigits) number.remove_prefix(number.size() - kPhoneDigits);
    CurrentPhone.assign(number);

    phone_ = document_.CreateElement(u"phone");
    document_.SetTextContent(phone_, CodePageToUtf16(CurrentPhone));
    document_.AppendChild(report_, phone_);
    // The subscribers before this one are complete: out to the file with them.
    writer_.WriteSettled();
  }

  ReportDocument& document_;
  ReportElement* report_;
  ReportFileWriter& writer_;
  ReportElement* phone_ = nullptr;
  std::string strippedCell_;
  CallRowBuffers rowBuffers_;
};

}  // namespace

void ConvertDetail(std::string_view inputPath, std::string_view outputPath,
                   const ConversionSettings& settings) {
  const std::string input(inputPath);
  RowCursor = 1;
  CurrentPhone.clear();

  LineList detailLines;
  detailLines.LoadFromFile(input.c_str());

  ReportDocument document;
  ReportElement* report = document.CreateElement(u"report");
  document.AppendChild(nullptr, report);
  AppendHeaderElement(document, report, u"application", DecodeUtf8(kApplicationText));
  AppendHeaderElement(document, report, u"url", DecodeUtf8(QV_MAKER_URL));
  AppendHeaderElement(document, report, u"filename", FileNameForReport(inputPath));
  AppendHeaderElement(document, report, u"library", DecodeUtf8(kLibraryText));

  // From here on the report is written whatever happens; a failure to write
  // it is the one the caller hears of.
  ReportFileWriter writer(document, std::string(outputPath));
  std::exception_ptr failure;
  try {
    // The lines do not change from here on: joining them once gives the
    // text every turn of the walk would join again, and joining them in
    // their own buffer keeps the detail in memory once.
    SubscriberWalk(document, report, writer, settings).Run(PruneAndJoin(detailLines));
  } catch (...) {
    failure = std::current_exception();
  }
  detailLines.Clear();
  writer.Finish();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace qv
