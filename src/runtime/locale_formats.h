#pragma once
// The date, time and number text settings as a value: read from the user's
// locale once, when the library is loaded, and handed to whatever reads them.
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// The defaults are the values used when the locale cannot be read.
struct LocaleFormatsRecord {
  char dateSeparator = '/';
  char timeSeparator = ':';
  char decimalSeparator = '.';
  std::string shortDatePattern = "m/d/yy";
  std::string amDesignator = "AM";
  std::string pmDesignator = "PM";
  std::uint16_t twoDigitYearWindow = 50;
};

// The settings of the user's locale as it is now, the fallbacks where an
// item cannot be read (one per platform).
LocaleFormatsRecord ReadLocaleFormats();

// What ReadLocaleFormats gave when the library was loaded; it never changes,
// so any thread may read it.
const LocaleFormatsRecord& UserLocaleFormats();

// The local calendar date, as the date rules need it for missing fields.
struct LocalDate {
  int year;
  int month;
  int day;
};
using Clock = LocalDate (*)();
// The system's local clock (one per platform).
LocalDate SystemLocalDate();

#ifndef _WIN32
// How the strftime formats of a POSIX locale read as settings: the short
// date pattern and date separator from the date format, the time separator
// from the byte after the hour of the time format. The twelve-hour format
// stands in for "%r". Items that cannot be read keep the value they have in
// record.
void ApplyStrftimeFormats(LocaleFormatsRecord& record, std::string_view dateFormat,
                          std::string_view timeFormat, std::string_view twelveHourFormat);
#endif

}  // namespace qv
