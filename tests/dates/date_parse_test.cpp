#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "formats_fixture.h"
#include "runtime/date_time.h"

namespace qv {
namespace {

using testing::FixedClock;

constexpr DateTimeValue kUntouched = -12345.25;

struct ParseCase {
  std::string_view text;
  bool valid;
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// With day 0 standing for a time on its own.
DateTimeValue Expected(const ParseCase& c) {
  DateTimeValue day = 0;
  if (c.year != 0) {
    EXPECT_TRUE(testing::CalendarDay(c.year, c.month, c.day, day));
  }
  const double time =
      (c.hour * 3600000.0 + c.minute * 60000.0 + c.second * 1000.0 + c.millisecond) / 86400000.0;
  return day < 0 ? day - time : day + time;
}

void CheckParses(const LocaleFormatsRecord& formats, const ParseCase* begin, const ParseCase* end) {
  for (const ParseCase* c = begin; c != end; ++c) {
    SCOPED_TRACE("text: \"" + std::string(c->text) + "\"");
    DateTimeValue value = kUntouched;
    ASSERT_EQ(TryParseDateTime(c->text, formats, value, FixedClock), c->valid);
    if (c->valid) {
      EXPECT_DOUBLE_EQ(value, Expected(*c));
    } else {
      EXPECT_EQ(value, kUntouched);
    }
  }
}

TEST(ParseDateTime, DayMonthYearSettings) {
  const LocaleFormatsRecord formats = testing::DayMonthYearFormats();
  const ParseCase cases[] = {
      {"01.11.2010", true, 2010, 11, 1},
      {"1.2.2012", true, 2012, 2, 1},
      // The clock says 2026: two-digit years fall in 1976..2075.
      {"01.11.10", true, 2010, 11, 1},
      {"01.11.80", true, 1980, 11, 1},
      {"01.11.76", true, 1976, 11, 1},
      {"01.11.75", true, 2075, 11, 1},
      {"01.11.99", true, 1999, 11, 1},
      {"01.11.00", true, 2000, 11, 1},
      {"01.11.0", true, 2000, 11, 1},
      // Three or four digits are a year written in full.
      {"01.11.0010", true, 10, 11, 1},
      {"01.11.010", true, 10, 11, 1},
      {"01.11.0000", false},
      // Digits past the fourth are dropped, in every field.
      {"01.11.20105", true, 2010, 11, 1},
      {"01.11.99999999999999999999", true, 9999, 11, 1},
      {"00001.11.2010", false},  // the buffer holds 0000
      // Missing fields come from the clock (15 March 2026).
      {"01.11.", true, 2026, 11, 1},
      {"01.11", true, 2026, 11, 1},
      {"15", true, 2026, 3, 15},
      {"15.", true, 2026, 3, 15},
      {"31", true, 2026, 3, 31},
      {"01..2010", false},
      {".11.2010", false},
      {"1.2.3.4", false},
      {"01.11.2010.", true, 2010, 11, 1},
      {"01.11.2010.5", false},
      // The calendar.
      {"31.02.2010", false},
      {"29.02.2012", true, 2012, 2, 29},
      {"29.02.2011", false},
      {"29.02.2000", true, 2000, 2, 29},
      {"29.02.1900", false},
      {"31.04.2010", false},
      {"00.11.2010", false},
      {"01.13.2010", false},
      {"01.00.2010", false},
      {"31.12.9999", true, 9999, 12, 31},
      {"01.01.0001", true, 1, 1, 1},
      // Bytes no rule accepts, and the split at spaces.
      {"01.11.2010x", false},
      {"01/11/2010", false},
      {"\t01.11.2010", false},
      {"01.11.2010\t", false},
      {"01.11.2010   ", true, 2010, 11, 1},
      {"   01.11.2010", true, 2010, 11, 1},
      {"", false},
      {"   ", false},
      {"-01.11.2010", false},
  };
  CheckParses(formats, std::begin(cases), std::end(cases));
}

TEST(ParseDateTime, DateWithTime) {
  const LocaleFormatsRecord formats = testing::DayMonthYearFormats();
  const ParseCase cases[] = {
      {"01.11.2010 12:30", true, 2010, 11, 1, 12, 30},
      {"01.11.2010   12:30:15", true, 2010, 11, 1, 12, 30, 15},
      {"01.11.2010 12:30:15:250", true, 2010, 11, 1, 12, 30, 15, 250},
      {"01.11.2010 12:30 pm", true, 2010, 11, 1, 12, 30},
      {"01.11.2010 12:30 am", true, 2010, 11, 1, 0, 30},
      {"01.11.2010 12:30am", true, 2010, 11, 1, 0, 30},
      {"01.11.2010 1:05 p", true, 2010, 11, 1, 13, 5},
      {"01.11.2010 1:05 P", true, 2010, 11, 1, 13, 5},
      {"01.11.2010 11:05 A", true, 2010, 11, 1, 11, 5},
      // Nothing after the mark is read.
      {"01.11.2010 1:05 pm 99:99", true, 2010, 11, 1, 13, 5},
      {"01.11.2010 12 pm", true, 2010, 11, 1, 12},
      {"01.11.2010 13:00 pm", false},
      {"01.11.2010 pm", true, 2010, 11, 1, 12},
      {"01.11.2010 12:30 ", true, 2010, 11, 1, 12, 30},
      {"01.11.2010 25:00", false},
      {"01.11.2010 12:00 pm", true, 2010, 11, 1, 12},
      {"01.11.2010 23:59:59:999", true, 2010, 11, 1, 23, 59, 59, 999},
      {"01.11.2010 24:00", false},
      {"01.11.2010 12:60", false},
      {"01.11.2010 12:30:60", false},
      {"01.11.2010 12:30:00:1000", false},
      {"01.11.2010 12.30", false},
      {"01.11.2010 12:30x", false},
      {"01.11.2010 12:30\t", false},
      // The fifth number is read and ignored; what follows is not read.
      {"01.11.2010 1:2:3:4:5", true, 2010, 11, 1, 1, 2, 3, 4},
      {"01.11.2010 1:2:3:4:5:x", true, 2010, 11, 1, 1, 2, 3, 4},
      // A run too large for 32 bits reads as 0.
      {"01.11.2010 99999999999:30", true, 2010, 11, 1, 0, 30},
      {"01.11.x 12:30", false},
      // A time alone, without spaces, is on day 0.
      {"12:30", true, 0, 0, 0, 12, 30},
      {"  12:30", true, 0, 0, 0, 12, 30},
      {"12:30 pm", false},
      {"12:30pm", true, 0, 0, 0, 12, 30},
      {"12:30 ", true, 0, 0, 0, 12, 30},
      // Before day 0 the time counts downward with the day.
      {"01.01.1800 18:00", true, 1800, 1, 1, 18},
  };
  CheckParses(formats, std::begin(cases), std::end(cases));
}

TEST(ParseDateTime, MonthDayYearSettings) {
  const LocaleFormatsRecord formats = testing::MonthDayYearFormats();
  const ParseCase cases[] = {
      {"01/11/2010", true, 2010, 1, 11},
      {"30/11/2010", false},
      {"11/30/2010", true, 2010, 11, 30},
      // Two fields are month and day, in the pattern's order.
      {"11/30", true, 2026, 11, 30},
      {"30", true, 2026, 3, 30},
      {"01.11.2010", false},
      {"01/11/2010 1:05 PM", true, 2010, 1, 11, 13, 5},
      {"01/11/2010 12:05 AM", true, 2010, 1, 11, 0, 5},
  };
  CheckParses(formats, std::begin(cases), std::end(cases));
}

TEST(ParseDateTime, YearMonthDaySettings) {
  const LocaleFormatsRecord formats = testing::YearMonthDayFormats();
  const ParseCase cases[] = {
      {"2010-11-01", true, 2010, 11, 1},
      {"01-11-2010", false},
      {"10-11-01", true, 2010, 11, 1},
      {"11-01", true, 2026, 11, 1},
      {"2010-11-01 12:30", true, 2010, 11, 1, 12, 30},
  };
  CheckParses(formats, std::begin(cases), std::end(cases));
}

TEST(ParseDateTime, FieldOrderFollowsTheFirstLetters) {
  struct OrderCase {
    std::string_view pattern;
    std::string_view text;
    bool valid;
    int year, month, day;
  };
  const OrderCase cases[] = {
      {"dd.MM.yyyy", "03.04.2010", true, 2010, 4, 3},
      {"M/d/yyyy", "03.04.2010", true, 2010, 3, 4},
      {"yyyy-mm-dd", "2010.04.03", true, 2010, 4, 3},
      {"yy/dd/mm", "10.03.04", true, 2010, 4, 3},
      // Only the first of each letter counts, in either case.
      {"d/dddd/M/yy", "03.04.10", true, 2010, 4, 3},
      {"mMdDyY", "04.03.10", true, 2010, 4, 3},
      // Letters of literal text count too: DAY puts the year second.
      {"'day' dd mm yy", "03.04.10", true, 2004, 10, 3},
      // Without all three letters no date parses.
      {"dd.mm", "03.04.2010", false, 0, 0, 0},
      {"dd.mm", "03", false, 0, 0, 0},
      {"", "03.04.2010", false, 0, 0, 0},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE("pattern: " + std::string(c.pattern));
    LocaleFormatsRecord formats = testing::DayMonthYearFormats();
    formats.shortDatePattern = c.pattern;
    DateTimeValue value = kUntouched;
    ASSERT_EQ(TryParseDateTime(c.text, formats, value, FixedClock), c.valid);
    DateTimeValue expected = kUntouched;
    if (c.valid) {
      ASSERT_TRUE(testing::CalendarDay(c.year, c.month, c.day, expected));
    }
    EXPECT_EQ(value, expected);
  }
}

TEST(ParseDateTime, TimeParsesWithoutACompleteDatePattern) {
  LocaleFormatsRecord formats = testing::DayMonthYearFormats();
  formats.shortDatePattern = "dd.mm";
  DateTimeValue value = kUntouched;
  ASSERT_TRUE(TryParseDateTime("06:00", formats, value, FixedClock));
  EXPECT_DOUBLE_EQ(value, 0.25);
}

TEST(ParseDateTime, DesignatorsMarkByTheirFirstByte) {
  LocaleFormatsRecord formats = testing::DayMonthYearFormats();
  formats.amDesignator = "vorm.";
  formats.pmDesignator = "nachm.";
  const ParseCase cases[] = {
      {"01.11.2010 1:05 nachm.", true, 2010, 11, 1, 13, 5},
      {"01.11.2010 12:05 vorm.", true, 2010, 11, 1, 0, 5},
      {"01.11.2010 1:05 n", true, 2010, 11, 1, 13, 5},
      // The letters a and p mark the half whatever the designators are.
      {"01.11.2010 1:05 p", true, 2010, 11, 1, 13, 5},
      {"01.11.2010 1:05 x", false},
  };
  CheckParses(formats, std::begin(cases), std::end(cases));
}

TEST(ParseDateTime, TwoDigitYearsFollowTheClockAndTheWindow) {
  struct WindowCase {
    Clock clock;
    std::uint16_t window;
    std::string_view text;
    int year;
  };
  const WindowCase cases[] = {
      {[] {
         return LocalDate{2026, 1, 1};
       },
       50, "01.11.76", 1976},
      {[] {
         return LocalDate{2026, 1, 1};
       },
       50, "01.11.75", 2075},
      {[] {
         return LocalDate{2027, 1, 1};
       },
       50, "01.11.76", 2076},
      {[] {
         return LocalDate{2050, 1, 1};
       },
       50, "01.11.00", 2000},
      {[] {
         return LocalDate{2050, 1, 1};
       },
       50, "01.11.99", 2099},
      {[] {
         return LocalDate{2026, 1, 1};
       },
       0, "01.11.10", 2010},
      {[] {
         return LocalDate{2026, 1, 1};
       },
       0, "01.11.30", 2030},
  };
  for (const WindowCase& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.clock().year));
    LocaleFormatsRecord formats = testing::DayMonthYearFormats();
    formats.twoDigitYearWindow = c.window;
    DateTimeValue value = kUntouched;
    ASSERT_TRUE(TryParseDateTime(c.text, formats, value, c.clock));
    EXPECT_EQ(YearOfDate(value), c.year);
  }
}

TEST(ParseDateTime, ReadsTheClockAtEveryParse) {
  const LocaleFormatsRecord formats = testing::DayMonthYearFormats();
  DateTimeValue value = 0;
  ASSERT_TRUE(TryParseDateTime("15", formats, value, [] { return LocalDate{2026, 3, 15}; }));
  EXPECT_EQ(MonthOfDate(value), 3u);
  ASSERT_TRUE(TryParseDateTime("15", formats, value, [] { return LocalDate{2027, 7, 1}; }));
  EXPECT_EQ(MonthOfDate(value), 7u);
  EXPECT_EQ(YearOfDate(value), 2027);
}

// The clock is a system call: a text that gives the year and month in
// full, or a time alone, must not pay for it, and one parse reads it once.
TEST(ParseDateTime, ReadsTheClockOnlyForMissingFields) {
  static int reads;
  const Clock counting = [] {
    ++reads;
    return LocalDate{2026, 3, 15};
  };
  const struct {
    std::string_view text;
    int reads;
  } cases[] = {
      {"01.11.2010 12:30", 0}, {"12:30", 0}, {"01.11.10", 1}, {"01.11", 1}, {"15", 1},
  };
  const LocaleFormatsRecord formats = testing::DayMonthYearFormats();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    reads = 0;
    DateTimeValue value = kUntouched;
    ASSERT_TRUE(TryParseDateTime(c.text, formats, value, counting));
    EXPECT_EQ(reads, c.reads);
  }
}

TEST(ParseDateTime, ATimeAloneIsInDecember1899) {
  const LocaleFormatsRecord formats = testing::DayMonthYearFormats();
  DateTimeValue value = kUntouched;
  ASSERT_TRUE(TryParseDateTime("12:30", formats, value, FixedClock));
  EXPECT_EQ(YearOfDate(value), 1899);
  EXPECT_EQ(MonthOfDate(value), 12u);
}

TEST(ParseDateTime, LongInputsStayLinearAndSafe) {
  const LocaleFormatsRecord formats = testing::DayMonthYearFormats();
  DateTimeValue value = kUntouched;
  EXPECT_TRUE(TryParseDateTime("01.11." + std::string(100000, '9'), formats, value, FixedClock));
  EXPECT_TRUE(TryParseDateTime("01.11.2010 " + std::string(100000, '7') + ":30", formats, value,
                               FixedClock));
  EXPECT_FALSE(TryParseDateTime(std::string(100000, '.'), formats, value, FixedClock));
  EXPECT_FALSE(TryParseDateTime(std::string(100000, ' ') + "x", formats, value, FixedClock));
}

}  // namespace
}  // namespace qv
