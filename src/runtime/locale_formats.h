#pragma once
// The process-wide date, time and number text settings, filled from the
// user's locale when the library is loaded.
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

extern LocaleFormatsRecord LocaleFormats;

// Reads the user's locale into LocaleFormats (the fallbacks where an item
// cannot be read). Runs once at library load; tests may call it again.
void LoadLocaleFormats();

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
