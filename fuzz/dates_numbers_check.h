#pragma once
// TryParseDateTime and ParseIntOr under several settings and clocks: never
// a crash, a failed parse leaves its output alone, a successful one gives a
// valid date, written dates come back as they were written, and integers
// agree with a plain reading of the integer rules.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "check_support.h"
#include "runtime/date_time.h"
#include "runtime/locale_formats.h"
#include "runtime/numbers.h"

namespace qv::fuzz {

inline std::int32_t ReferenceParseIntOr(std::string_view text, std::int32_t fallback) {
  if (text.size() >= 256) return fallback;
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::uint32_t base = 10;
  if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i < n && text[i] == '%') {
    base = 2;
    ++i;
  } else if (i < n && text[i] == '&') {
    base = 8;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == n) return fallback;
  bool digitSeen = false;
  while (i + 1 < n && text[i] == '0') {
    ++i;
    digitSeen = true;
  }
  const std::uint64_t limit = base != 10 ? 0xFFFFFFFFull : negative ? 0x80000000ull : 0x7FFFFFFFull;
  std::uint64_t value = 0;
  for (; i < n && text[i] != '\0'; ++i) {
    const char c = text[i];
    std::uint32_t digit = 99;
    if (c >= '0' && c <= '9') digit = static_cast<std::uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') digit = static_cast<std::uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') digit = static_cast<std::uint32_t>(c - 'A' + 10);
    if (digit >= base) return fallback;
    value = value * base + digit;
    if (value > limit) return fallback;
    digitSeen = true;
  }
  if (!digitSeen) return fallback;
  auto bits = static_cast<std::uint32_t>(value);
  if (negative) bits = 0u - bits;
  std::int32_t result;
  std::memcpy(&result, &bits, sizeof result);
  return result;
}

namespace dates_detail {

constexpr DateTimeValue kUntouched = -123456.789;
constexpr double kFirstDay = -693593;  // 1 January of year 1
constexpr double kLastDay = 2958465;   // 31 December 9999

// Days from 30 December 1899, counted without the library.
inline std::int64_t DayNumber(std::int64_t year, std::int64_t month, std::int64_t day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 693899;
}

inline int MonthLength(int year, int month) {
  static constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kLengths[month - 1];
}

inline constexpr Clock kClocks[] = {[] {
                                      return LocalDate{2026, 3, 15};
                                    },
                                    [] {
                                      return LocalDate{1, 1, 1};
                                    },
                                    [] {
                                      return LocalDate{9999, 12, 31};
                                    },
                                    [] {
                                      return LocalDate{2000, 2, 29};
                                    }};

// Places of day, month and year in the short date pattern (1 to 3), 0 for
// a letter the pattern lacks.
struct FieldPlaces {
  int day = 0;
  int month = 0;
  int year = 0;
};
inline FieldPlaces PlacesOf(std::string_view pattern) {
  FieldPlaces places;
  int next = 1;
  for (const char c : pattern) {
    const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    if (upper == 'D' && places.day == 0) places.day = next++;
    if (upper == 'M' && places.month == 0) places.month = next++;
    if (upper == 'Y' && places.year == 0) places.year = next++;
  }
  return places;
}

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline std::string Padded(int value, std::size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

inline void CheckValidValue(DateTimeValue value, const std::string& where, Findings& findings) {
  if (!findings.Expect(std::isfinite(value), "a parse gave a value that is not finite" + where)) {
    return;
  }
  const double day = std::trunc(value);
  if (!findings.Expect(day >= kFirstDay && day <= kLastDay,
                       "a parse gave a day outside the calendar" + where)) {
    return;
  }
  findings.Expect(std::fabs(value - day) < 1, "a parse gave a time of a day or more" + where);
  const unsigned year = YearOfDate(value);
  const unsigned month = MonthOfDate(value);
  findings.Expect(year >= 1 && year <= 9999 && month >= 1 && month <= 12,
                  "the parsed value has no calendar year and month" + where);
  const DateTimeValue earlier = ShiftMonths(value, -1);
  findings.Expect(
      std::isfinite(earlier) && std::trunc(earlier) >= kFirstDay && std::trunc(earlier) <= kLastDay,
      "a month back from a parsed value left the calendar" + where);
}

// A moment to write in the settings' order and read back.
struct Moment {
  int year = 1;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// A full date written in the pattern's order, with and without a time, reads
// back as the day and moment written.
inline void CheckWrittenMoment(const LocaleFormatsRecord& formats, Clock today,
                               const Moment& moment, Findings& findings) {
  const FieldPlaces places = PlacesOf(formats.shortDatePattern);
  const char dateSeparator = formats.dateSeparator;
  const char timeSeparator = formats.timeSeparator;
  const auto isDesignatorByte = [&](char c) {
    return c == 'a' || c == 'A' || c == 'p' || c == 'P' ||
           (!formats.amDesignator.empty() && formats.amDesignator[0] == c) ||
           (!formats.pmDesignator.empty() && formats.pmDesignator[0] == c);
  };
  if (places.day != 0 && places.month != 0 && places.year != 0 && !IsDigit(dateSeparator) &&
      dateSeparator != ' ') {
    std::string fields[3];
    fields[places.day - 1] = Padded(moment.day, 2);
    fields[places.month - 1] = Padded(moment.month, 2);
    fields[places.year - 1] = Padded(moment.year, 4);
    const std::string dateText = fields[0] + dateSeparator + fields[1] + dateSeparator + fields[2];
    const double dayNumber = static_cast<double>(DayNumber(moment.year, moment.month, moment.day));
    const std::string written = " (written " + Printable(dateText) + ")";
    if (timeSeparator != dateSeparator) {
      DateTimeValue parsed = kUntouched;
      if (findings.Expect(TryParseDateTime(dateText, formats, parsed, today),
                          "a written date did not parse" + written)) {
        findings.Expect(parsed == dayNumber, "a written date came back as another day" + written);
      }
    }
    if (!IsDigit(timeSeparator) && timeSeparator != ' ' && !isDesignatorByte(timeSeparator)) {
      const std::string dateTimeText = dateText + "  " + Padded(moment.hour, 2) + timeSeparator +
                                       Padded(moment.minute, 2) + timeSeparator +
                                       Padded(moment.second, 2);
      const double fraction =
          (moment.hour * 3600000.0 + moment.minute * 60000.0 + moment.second * 1000.0) / 86400000.0;
      const double expected = dayNumber < 0 ? dayNumber - fraction : dayNumber + fraction;
      DateTimeValue parsed = kUntouched;
      const std::string writtenTime = " (written " + Printable(dateTimeText) + ")";
      if (findings.Expect(TryParseDateTime(dateTimeText, formats, parsed, today),
                          "a written date and time did not parse" + writtenTime)) {
        findings.Expect(std::fabs(parsed - expected) < 2e-9,
                        "a written date and time came back as another moment" + writtenTime);
      }
    }
  }
}

}  // namespace dates_detail

// Input: settings choice, a free byte, a clock and fallback choice, a date
// and time to write and read back (year, month, day, hour, minute, second),
// then the text to parse.
inline std::string CheckDatesNumbers(std::string_view data) {
  using namespace dates_detail;
  ByteReader input(data);
  const std::uint8_t settingsChoice = input.Byte();
  const std::uint8_t freeByte = input.Byte();
  const std::uint8_t clockChoice = input.Byte();
  Moment moment;
  moment.year = 1 + input.Word() % 9999;
  moment.month = 1 + input.Byte() % 12;
  moment.day = 1 + input.Byte() % MonthLength(moment.year, moment.month);
  moment.hour = input.Byte() % 24;
  moment.minute = input.Byte() % 60;
  moment.second = input.Byte() % 60;
  const std::string_view text = input.Rest();

  const LocaleFormatsRecord formats = ChosenFormats(settingsChoice, freeByte);
  const Clock today = kClocks[clockChoice % std::size(kClocks)];
  Findings findings;
  const std::string where =
      " (settings " + std::to_string(settingsChoice % 6) + ", text \"" + Printable(text) + "\")";

  DateTimeValue value = kUntouched;
  if (TryParseDateTime(text, formats, value, today)) {
    CheckValidValue(value, where, findings);
  } else {
    findings.Expect(std::bit_cast<std::uint64_t>(value) == std::bit_cast<std::uint64_t>(kUntouched),
                    "a failed parse changed its output" + where);
  }

  CheckWrittenMoment(formats, today, moment, findings);

  const std::int32_t fallback = static_cast<std::int32_t>(clockChoice) - 128;
  const std::int32_t number = ParseIntOr(text, fallback);
  const std::int32_t expectedNumber = ReferenceParseIntOr(text, fallback);
  findings.Expect(number == expectedNumber, "ParseIntOr gave " + std::to_string(number) +
                                                ", the integer rules give " +
                                                std::to_string(expectedNumber) + where);
  findings.Expect(ParseIntOr(IntToDecimal(number), fallback ^ 1) == number,
                  "an integer's text does not read back");

  return findings.Text();
}

}  // namespace qv::fuzz
