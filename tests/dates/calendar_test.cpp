#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "formats_fixture.h"
#include "runtime/date_time.h"

namespace qv {
namespace {

// Dates reach the calendar as text the user's settings read.
TEST(EncodeDate, DayNumbersCountFrom30December1899) {
  struct Case {
    int year, month, day;
    bool valid;
    double dayNumber;
  };
  const Case cases[] = {
      {1899, 12, 30, true, 0},    {1899, 12, 31, true, 1},       {1900, 1, 1, true, 2},
      {2010, 11, 1, true, 40483}, {2012, 2, 29, true, 40968},    {1800, 1, 1, true, -36522},
      {1, 1, 1, true, -693593},   {9999, 12, 31, true, 2958465}, {1600, 2, 29, true, -109512},
      {2000, 2, 29, true, 36585}, {1900, 2, 29, false, 0},       {2011, 2, 29, false, 0},
      {2010, 4, 31, false, 0},    {0, 12, 31, false, 0},         {2010, 0, 1, false, 0},
      {2010, 13, 1, false, 0},    {2010, 1, 0, false, 0},        {-2010, 1, 1, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" +
                 std::to_string(c.day));
    char text[40];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", c.day, c.month, c.year);
    DateTimeValue value = 0.5;
    ASSERT_EQ(TryParseDateTime(text, testing::DayMonthYearFormats(), value), c.valid);
    EXPECT_EQ(value, c.valid ? c.dayNumber : 0.5);
    if (c.valid) {
      EXPECT_EQ(YearOfDate(value), c.year);
      EXPECT_EQ(MonthOfDate(value), static_cast<unsigned>(c.month));
    }
  }
}

// Every day of the calendar round-trips through its day number.
TEST(EncodeDate, EveryDayRoundTrips) {
  double expected = -693593;
  int failures = 0;
  for (int year = 1; year <= 9999; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= 31; ++day) {
        DateTimeValue value = 0;
        if (!testing::CalendarDay(year, month, day, value)) continue;
        if (value != expected || YearOfDate(value) != year ||
            MonthOfDate(value) != static_cast<unsigned>(month)) {
          ++failures;
        }
        expected += 1;
      }
    }
  }
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(expected, 2958466);
}

DateTimeValue Day(int year, int month, int day) {
  DateTimeValue value = 0;
  EXPECT_TRUE(testing::CalendarDay(year, month, day, value));
  return value;
}

TEST(ShiftMonths, StepsMonthsAndClampsTheDay) {
  struct Case {
    int year, month, day;
    std::int32_t months;
    int toYear, toMonth, toDay;
  };
  const Case cases[] = {
      {2011, 3, 15, -1, 2011, 2, 15},
      {2011, 3, 31, -1, 2011, 2, 28},
      {2012, 3, 31, -1, 2012, 2, 29},
      {2011, 1, 10, -1, 2010, 12, 10},
      {2011, 12, 31, 1, 2012, 1, 31},
      {2011, 1, 31, 1, 2011, 2, 28},
      {2011, 5, 31, 1, 2011, 6, 30},
      {2011, 5, 31, 12, 2012, 5, 31},
      {2011, 5, 31, -12, 2010, 5, 31},
      {2012, 2, 29, 12, 2013, 2, 28},
      {2011, 11, 15, 13, 2012, 12, 15},
      {2011, 11, 15, 14, 2013, 1, 15},
      {2011, 2, 15, -13, 2010, 1, 15},
      {2011, 2, 15, -14, 2009, 12, 15},
      {2011, 2, 15, 0, 2011, 2, 15},
      {1, 2, 1, -1, 1, 1, 1},
      {9999, 11, 30, 1, 9999, 12, 30},
      // Out of the calendar: day 0.
      {1, 1, 31, -1, 1899, 12, 30},
      {9999, 12, 1, 1, 1899, 12, 30},
      {2011, 2, 15, std::numeric_limits<std::int32_t>::max(), 1899, 12, 30},
      {2011, 2, 15, std::numeric_limits<std::int32_t>::min(), 1899, 12, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" +
                 std::to_string(c.day) + " by " + std::to_string(c.months));
    EXPECT_EQ(ShiftMonths(Day(c.year, c.month, c.day), c.months),
              Day(c.toYear, c.toMonth, c.toDay));
  }
}

TEST(ShiftMonths, KeepsTheTimeOfDay) {
  EXPECT_DOUBLE_EQ(ShiftMonths(Day(2011, 3, 31) + 0.75, -1), Day(2011, 2, 28) + 0.75);
  // Before day 0 the time of day counts downward with the day.
  EXPECT_DOUBLE_EQ(ShiftMonths(Day(1800, 3, 31) - 0.75, -1), Day(1800, 2, 28) - 0.75);
  EXPECT_DOUBLE_EQ(ShiftMonths(Day(1900, 1, 15) + 0.25, -2), Day(1899, 11, 15) - 0.25);
  EXPECT_DOUBLE_EQ(ShiftMonths(Day(1, 1, 10) + 0.5, -1), 0.5);
}

TEST(CalendarFields, TheDayPartIsRoundedTowardZero) {
  // -0.5 is noon of day 0, not of the day before.
  EXPECT_EQ(YearOfDate(-0.5), 1899);
  EXPECT_EQ(MonthOfDate(-0.5), 12u);
  EXPECT_EQ(MonthOfDate(Day(2011, 1, 1) - 0.25), 12u);
  EXPECT_EQ(MonthOfDate(Day(1800, 3, 1) - 0.75), 3u);
}

// Values no date can hold read as day 0 rather than reach an undefined
// conversion to an integer.
TEST(CalendarFields, ValuesOutsideTheCalendarReadAsDayZero) {
  const double values[] = {std::nan(""),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           1e300,
                           -1e300,
                           2958466.0,
                           -693594.0};
  for (const double value : values) {
    SCOPED_TRACE(value);
    EXPECT_EQ(YearOfDate(value), 1899);
    EXPECT_EQ(MonthOfDate(value), 12u);
    EXPECT_EQ(ShiftMonths(value, -1), Day(1899, 11, 30));
  }
  EXPECT_EQ(YearOfDate(2958465.99), 9999);
  EXPECT_EQ(YearOfDate(-693593.99), 1);
}

}  // namespace
}  // namespace qv
