#pragma once
// Known settings and a fixed clock for the tests.
#include <chrono>

#include "runtime/date_time.h"
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

// The day number of a date in years 1 to 9999 (days from 30 December 1899),
// from the standard library's calendar; false for a date that does not exist.
inline bool CalendarDay(int year, int month, int day, DateTimeValue& value) {
  using namespace std::chrono;
  const year_month_day date{std::chrono::year{year},
                            std::chrono::month{static_cast<unsigned>(month)},
                            std::chrono::day{static_cast<unsigned>(day)}};
  if (year < 1 || year > 9999 || !date.ok()) return false;
  value = static_cast<DateTimeValue>((sys_days{date} - sys_days{1899y / December / 30}).count());
  return true;
}

}  // namespace qv::testing
