#pragma once
// Known settings and a fixed clock for the tests.
#include "runtime/locale_formats.h"

namespace qv::testing {

inline LocalDate FixedClock() { return {2026, 3, 15}; }

// Day, month and year with "." and a 24-hour clock, as a Russian user has.
inline LocaleFormatsRecord DayMonthYearFormats() {
  LocaleFormatsRecord formats;
  formats.dateSeparator = '.';
  formats.timeSeparator = ':';
  formats.decimalSeparator = ',';
  formats.shortDatePattern = "dd.MM.yyyy";
  formats.amDesignator = "";
  formats.pmDesignator = "";
  return formats;
}

inline LocaleFormatsRecord MonthDayYearFormats() {
  LocaleFormatsRecord formats;
  formats.shortDatePattern = "M/d/yyyy";
  return formats;
}

// Year, month and day with "-", the order of the report's times.
inline LocaleFormatsRecord YearMonthDayFormats() {
  LocaleFormatsRecord formats = DayMonthYearFormats();
  formats.dateSeparator = '-';
  formats.shortDatePattern = "yyyy-mm-dd";
  return formats;
}

}  // namespace qv::testing
