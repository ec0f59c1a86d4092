#include "detect/recognition.h"

#include <algorithm>

#include "runtime/byte_text.h"
#include "runtime/date_time.h"
#include "runtime/encodings.h"
#include "runtime/locale_formats.h"
#include "runtime/numbers.h"
#include "runtime/text_file_reader.h"
#include "scan/text_helpers.h"

namespace qv {
namespace {

// Matched in the ASCII-lowered line, so a capital Cyrillic "З" never matches.
constexpr std::string_view kPeriodMarker = "за период с";
static_assert(kPeriodMarker.size() == 20, "the source must be read as UTF-8");

using LineTest = bool (*)(std::string_view lowered);

bool HoldsPeriodMarker(std::string_view lowered) { return FindText(kPeriodMarker, lowered) != 0; }

bool HoldsCellMarkers(std::string_view lowered) {
  return FindText("<td>", lowered) != 0 && FindText("</td>", lowered) != 0;
}

// The date in the last ten bytes of the line's text. The detail writes
// day.month.year; its dots become the user's date separator so that the
// user's date settings can read it.
bool TryTakeDate(std::string_view line, const LocaleFormatsRecord& formats, Clock today,
                 DateTimeValue& date) {
  const std::string text = StripTags(line);
  const std::string_view tail = SliceText(text, static_cast<TextPos>(text.size()) - 9, 10);
  std::string separated(tail);
  std::replace(separated.begin(), separated.end(), '.', formats.dateSeparator);
  return TryParseDateTime(separated, formats, date, today);
}

// Reads the file from its top to the first line that passes the test and
// ends in a date; a line whose date does not convert is passed over. The
// reader's file closes with the reader, on every path; one that failed to
// open was never open, so the open's own error is the one that leaves.
bool FindDatedLine(std::string_view path, LineTest takes, const LocaleFormatsRecord& formats,
                   Clock today, DateTimeValue& date) {
  TextFileReader reader;
  reader.OpenForReading(path);
  while (!reader.AtEnd()) {
    const std::string line = LowerAscii(reader.ReadLine());
    reader.SkipLineEnd();
    if (takes(line) && TryTakeDate(line, formats, today, date)) return true;
  }
  return false;
}

std::string DisplayName(DateTimeValue date, std::string_view path) {
  const unsigned month = MonthOfDate(date);
  return IntToDecimal(YearOfDate(date)) + (month < 10 ? "-0" : "-") + IntToDecimal(month) +
         " MTS FORIS " + FileNameToUtf8(FileNameOf(path));
}

}  // namespace

std::string NameDetail(std::string_view path, const LocaleFormatsRecord& formats, Clock today) {
  DateTimeValue date = 0;
  if (FindDatedLine(path, HoldsPeriodMarker, formats, today, date)) {
    return DisplayName(ShiftMonths(date, -1), path);
  }
  if (FindDatedLine(path, HoldsCellMarkers, formats, today, date)) return DisplayName(date, path);
  return {};
}

}  // namespace qv
