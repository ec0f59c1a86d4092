#include "runtime/date_time.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "runtime/ascii.h"
#include "runtime/byte_text.h"
#include "runtime/numbers.h"

namespace qv {

namespace {

constexpr std::int64_t kFirstDay = -693593;  // 1 January of year 1
constexpr std::int64_t kLastDay = 2958465;   // 31 December 9999
// Day 0 (30 December 1899) counted from 1 March of year 0.
constexpr std::int64_t kDayZeroFromEpoch = 693899;

bool IsLeapYear(std::int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(std::int64_t year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Whole days in 400-year eras counted from 1 March of year 0, so that
// the leap day is the last day of a counted year.
std::int64_t DayNumberOf(std::int64_t year, int month, int day) {
  if (month <= 2) --year;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - kDayZeroFromEpoch;
}

// Day number of a valid calendar date, or false.
bool TryEncodeDate(int year, int month, int day, DateTimeValue& value) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
  if (day < 1 || day > DaysInMonth(year, month)) return false;
  value = static_cast<DateTimeValue>(DayNumberOf(year, month, day));
  return true;
}

struct CalendarDate {
  std::int64_t year;
  int month;
  int day;
};

CalendarDate CalendarDateOf(std::int64_t dayNumber) {
  const std::int64_t days = dayNumber + kDayZeroFromEpoch;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  return {year, month, day};
}

// A value whose day part lies outside the calendar (NaN and the
// infinities included) reads as day 0 at midnight: nothing else in the
// calendar could stand for it, and converting it to an integer would be
// undefined.
bool InCalendar(DateTimeValue value) {
  return value > static_cast<double>(kFirstDay - 1) && value < static_cast<double>(kLastDay + 1);
}

std::int64_t DayPart(DateTimeValue value) {
  return InCalendar(value) ? static_cast<std::int64_t>(value) : 0;  // toward zero
}

// Before day 0 the time of day counts away from zero, as the day does.
DateTimeValue WithTimeOfDay(std::int64_t dayNumber, double timeOfDay) {
  const auto day = static_cast<double>(dayNumber);
  return dayNumber < 0 ? day - timeOfDay : day + timeOfDay;
}

// The places (1 to 3) of day, month and year in the short date pattern,
// from the first D, M and Y.
struct FieldPlaces {
  int day = 0;
  int month = 0;
  int year = 0;
};

bool TryFieldPlaces(std::string_view pattern, FieldPlaces& places) {
  int next = 1;
  for (const char c : UpperAscii(pattern)) {
    if (c == 'D' && places.day == 0) places.day = next++;
    if (c == 'M' && places.month == 0) places.month = next++;
    if (c == 'Y' && places.year == 0) places.year = next++;
    if (next > 3) return true;
  }
  return false;
}

bool TryParseDatePart(std::string_view part, const LocaleFormatsRecord& formats, Clock clock,
                      DateTimeValue& dayNumber) {
  FieldPlaces places;
  if (!TryFieldPlaces(formats.shortDatePattern, places)) return false;
  char buffer[4];
  std::size_t buffered = 0;
  int fieldCount = 0;
  int fields[3] = {0, 0, 0};
  bool yearInFull = false;
  for (std::size_t i = 0; i < part.size(); ++i) {
    const char c = part[i];
    const bool digit = IsDigit(c);
    // A fifth digit and later ones are dropped.
    if (digit && buffered < sizeof buffer) buffer[buffered++] = c;
    if (c == formats.dateSeparator || (digit && i + 1 == part.size())) {
      if (++fieldCount > 3) return false;
      if (fieldCount == places.year && buffered > 2) yearInFull = true;
      if (buffered == 0) return false;
      fields[fieldCount - 1] = ParseIntOr(std::string_view(buffer, buffered), 0);
      buffered = 0;
    } else if (!digit) {
      return false;
    }
  }
  if (fieldCount == 0) return false;

  std::optional<LocalDate> today;
  auto readToday = [&]() -> const LocalDate& {
    if (!today) today = clock();
    return *today;
  };
  int year;
  int month;
  int day;
  if (fieldCount == 3) {
    year = fields[places.year - 1];
    month = fields[places.month - 1];
    day = fields[places.day - 1];
  } else {
    year = readToday().year;
    if (fieldCount == 2) {
      const bool dayFirst = places.day < places.month;
      day = dayFirst ? fields[0] : fields[1];
      month = dayFirst ? fields[1] : fields[0];
    } else {
      day = fields[0];
      month = readToday().month;
    }
  }
  if (year < 100 && !yearInFull) {
    const int window = formats.twoDigitYearWindow;
    const int start = readToday().year - window;
    const int startCentury = start >= 0 ? start / 100 : -((-start + 99) / 100);
    year += startCentury * 100;
    if (window != 0 && year < start) year += 100;
  }
  return TryEncodeDate(year, month, day, dayNumber);
}

bool TryParseTimePart(std::string_view part, const LocaleFormatsRecord& formats, double& fraction) {
  std::int64_t numbers[5] = {0, 0, 0, 0, 0};
  int count = 0;
  enum class Half { kNone, kAm, kPm } half = Half::kNone;
  const std::string& am = formats.amDesignator;
  const std::string& pm = formats.pmDesignator;
  std::size_t i = 0;
  // Bytes after the fifth number are not looked at.
  while (count < 5 && half == Half::kNone) {
    bool found = false;
    while (i < part.size()) {
      const char c = part[i];
      if (IsDigit(c)) {
        std::size_t end = i;
        while (end < part.size() && IsDigit(part[end])) ++end;
        // A run too large for 32 bits counts as 0, as for ParseIntOr.
        numbers[count++] = ParseIntOr(part.substr(i, end - i), 0);
        i = end;
        found = true;
        break;
      }
      if ((!am.empty() && c == am[0]) || c == 'a' || c == 'A') {
        half = Half::kAm;
        break;
      }
      if ((!pm.empty() && c == pm[0]) || c == 'p' || c == 'P') {
        half = Half::kPm;
        break;
      }
      if (c != formats.timeSeparator && c != ' ') return false;
      ++i;
    }
    if (!found) break;
  }
  std::int64_t hour = numbers[0];
  if (half == Half::kPm && hour != 12) hour += 12;
  if (half == Half::kAm && hour == 12) hour = 0;
  const std::int64_t minute = numbers[1];
  const std::int64_t second = numbers[2];
  const std::int64_t millisecond = numbers[3];
  if (hour > 23 || minute > 59 || second > 59 || millisecond > 999) return false;
  fraction = static_cast<double>(hour * 3600000 + minute * 60000 + second * 1000 + millisecond) /
             86400000.0;
  return true;
}

}  // namespace

bool TryParseDateTime(std::string_view text, const LocaleFormatsRecord& formats,
                      DateTimeValue& value, Clock today) {
  // Spaces part the date from the time, not tabs.
  const std::size_t start = std::min(text.find_first_not_of(' '), text.size());
  const std::size_t dateEnd = std::min(text.find(' ', start), text.size());
  std::string_view datePart = text.substr(start, dateEnd - start);
  std::string_view timePart =
      text.substr(std::min(text.find_first_not_of(' ', dateEnd), text.size()));
  if (timePart.empty() && datePart.find(formats.timeSeparator) != std::string_view::npos) {
    timePart = datePart;
    datePart = {};
  }
  if (datePart.empty() && timePart.empty()) return false;
  DateTimeValue dayNumber = 0;
  if (!datePart.empty() && !TryParseDatePart(datePart, formats, today, dayNumber)) return false;
  double fraction = 0;
  if (!timePart.empty() && !TryParseTimePart(timePart, formats, fraction)) return false;
  value = dayNumber < 0 ? dayNumber - fraction : dayNumber + fraction;
  return true;
}

DateTimeValue ShiftMonths(DateTimeValue value, std::int32_t months) {
  const std::int64_t dayNumber = DayPart(value);
  const double timeOfDay =
      InCalendar(value) ? std::fabs(value - static_cast<double>(dayNumber)) : 0.0;
  const CalendarDate date = CalendarDateOf(dayNumber);
  std::int64_t year = date.year + months / 12;
  int monthIndex = date.month - 1 + months % 12;
  if (monthIndex > 11 || monthIndex < 0) {
    const int step = months >= 0 ? 1 : -1;
    monthIndex -= 12 * step;
    year += step;
  }
  if (year < 1 || year > 9999) return WithTimeOfDay(0, timeOfDay);
  const int month = monthIndex + 1;
  const int lastDay = DaysInMonth(year, month);
  return WithTimeOfDay(DayNumberOf(year, month, date.day > lastDay ? lastDay : date.day),
                       timeOfDay);
}

std::uint16_t YearOfDate(DateTimeValue value) {
  return static_cast<std::uint16_t>(CalendarDateOf(DayPart(value)).year);
}

unsigned MonthOfDate(DateTimeValue value) {
  return static_cast<unsigned>(CalendarDateOf(DayPart(value)).month);
}

}  // namespace qv
