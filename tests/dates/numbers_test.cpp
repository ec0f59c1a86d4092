#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/numbers.h"
#include "support/x87_minutes.h"

namespace qv {
namespace {

using namespace std::string_view_literals;

TEST(IntToDecimal, WholeRange) {
  struct Case {
    std::int64_t value;
    std::string_view text;
  };
  const Case cases[] = {
      {0, "0"},
      {-5, "-5"},
      {2010, "2010"},
      {10, "10"},
      {-10, "-10"},
      {2147483647, "2147483647"},
      {-2147483647 - 1, "-2147483648"},
      {4294967296, "4294967296"},
      {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"},
      {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
  };
  for (const Case& c : cases) EXPECT_EQ(IntToDecimal(c.value), c.text);
}

TEST(ParseIntOr, AcceptsWholeIntegersInRange) {
  struct Case {
    std::string_view text;
    std::int32_t result;  // with fallback 0
  };
  const Case cases[] = {
      {"42", 42},
      {"  42", 42},
      {"\t 42", 42},
      {"42 ", 0},
      {"4 2", 0},
      {"+7", 7},
      {"-7", -7},
      {"007", 7},
      {"0", 0},
      {"-0", 0},
      {"000", 0},
      {"- 7", 0},
      {"+-7", 0},
      {"--7", 0},
      {"7-", 0},
      {"", 0},
      {"   ", 0},
      {"-", 0},
      {"+", 0},
      {"$", 0},
      {"0x", 0},
      {"-$", 0},
      // Prefixes.
      {"$1F", 31},
      {"$1f", 31},
      {"x1F", 31},
      {"X1F", 31},
      {"0x10", 16},
      {"0X10", 16},
      {"-0x10", -16},
      {"%101", 5},
      {"%102", 0},
      {"&17", 15},
      {"&18", 0},
      {"$0", 0},
      {"$G", 0},
      {"1F", 0},
      {"$$1", 0},
      {"%", 0},
      {"&", 0},
      {"12.5", 0},
      {"1e3", 0},
      // Ranges.
      {"2147483647", 2147483647},
      {"2147483648", 0},
      {"-2147483648", -2147483647 - 1},
      {"-2147483649", 0},
      {"0002147483647", 2147483647},
      {"99999999999999999999", 0},
      {"$FFFFFFFF", -1},
      {"$7FFFFFFF", 2147483647},
      {"$80000000", -2147483647 - 1},
      {"-$80000000", -2147483647 - 1},
      {"-$FFFFFFFF", 1},
      {"$100000000", 0},
      {"$000000000FFFFFFFF", -1},
      {"%11111111111111111111111111111111", -1},
      {"%111111111111111111111111111111111", 0},
      {"&37777777777", -1},
      {"&40000000000", 0},
      // A zero byte ends the number.
      {"12\0"
       "34"sv,
       12},
      {"12\0"
       "xyz"sv,
       12},
      {"0\0"sv, 0},
      {"\0"
       "12"sv,
       0},
      {"-\0"
       "12"sv,
       0},
      {"$\0"
       "12"sv,
       0},
      {"$1\0"
       "G"sv,
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("text: \"" + std::string(c.text) + "\"");
    EXPECT_EQ(ParseIntOr(c.text, 0), c.result);
  }
}

TEST(ParseIntOr, GivesTheFallbackForWhatIsNoNumber) {
  const std::string_view texts[] = {"",    " ",          "-",          "+", "$",   "0x",
                                    "42 ", "2147483648", "$100000000", "x", "\0"sv};
  for (const std::string_view text : texts) {
    SCOPED_TRACE("text: \"" + std::string(text) + "\"");
    EXPECT_EQ(ParseIntOr(text, -99), -99);
  }
  // Zeros that are digits are a number.
  EXPECT_EQ(ParseIntOr("0", -99), 0);
  EXPECT_EQ(ParseIntOr("$0", -99), 0);
  EXPECT_EQ(ParseIntOr("00\0"sv, -99), 0);
}

TEST(ParseIntOr, TextsOf256BytesOrMoreGiveTheFallback) {
  const std::string zeros255(254, '0');
  EXPECT_EQ(ParseIntOr(zeros255 + "7", -99), 7);
  EXPECT_EQ(ParseIntOr(zeros255 + "07", -99), -99);
  EXPECT_EQ(ParseIntOr(std::string(255, ' ') + "7", -99), -99);
  EXPECT_EQ(ParseIntOr(std::string(100000, '7'), -99), -99);
}

TEST(MinuteText, HundredthsOfMinutes) {
  struct Case {
    std::int64_t totalSeconds;
    std::string_view text;
  };
  const Case cases[] = {
      {0, "0"},
      {59, "0,98"},
      {90, "1,5"},
      {120, "2"},
      {1, "0,02"},
      {-1, "-0,02"},
      {2, "0,03"},
      {125, "2,08"},
      {7407, "123,45"},
      {6, "0,1"},
      {-6, "-0,1"},
      {60006, "1000,1"},
      // The largest durations: 2^31 - 1 seconds and more.
      {2147483647, "35791394,12"},
      {128849018879, "2147483647,98"},
      {128849018820, "2147483647"},
      {-128849018879, "-2147483647,98"},
      {test::kHighestTotal, "2147483648,65"},
      {test::kLowestTotal, "-2147483648,15"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.totalSeconds);
    EXPECT_EQ(MinuteText(c.totalSeconds, ','), c.text);
  }
  EXPECT_EQ(MinuteText(90, '.'), "1.5");
}

#ifdef QV_HAS_X87_MODEL
// The short version of bench/bench_minutes: the integer minutes give the
// text extended precision gave.
TEST(MinuteText, AgreesWithExtendedPrecision) {
  std::vector<std::int64_t> totals = test::BoundaryTotals();
  std::mt19937_64 random(20110305);
  for (int i = 0; i < 100000; ++i) totals.push_back(test::RandomTotal(random, i % 2 == 0));
  for (std::int64_t total : totals) {
    ASSERT_EQ(MinuteText(total, ','), test::x87::MinuteText(total, ',')) << total;
  }
}

// The model itself: seconds / 60 as a whole count of hundredths, and
// 15 significant digits in every form that can be printed.
TEST(X87Model, RoundsToAWholeCountOfThePower) {
  struct Case {
    long double x;
    int power;
    long double count;
  };
  const Case cases[] = {
      {125.0L / 60, -2, 208},
      {59.0L / 60, -2, 98},
      {90.0L / 60, -2, 150},
      {1.0L / 60, -2, 2},
      {0, -2, 0},
      {-1.0L / 60, -2, -2},
      {128849018879.0L / 60, -2, 214748364798},
      {1.0L / 3, -5, 33333},
      // Ties go to the even neighbour.
      {2.5L, 0, 2},
      {3.5L, 0, 4},
      {-2.5L, 0, -2},
      {0.5L, 0, 0},
      {1234.0L, 2, 12},
      {1250.0L, 2, 12},
      {1350.0L, 2, 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.x));
    long double scale = 1;
    for (int i = 0; i < (c.power < 0 ? -c.power : c.power); ++i) scale *= 10;
    if (c.power < 0) scale = 1 / scale;
    EXPECT_EQ(test::x87::RoundToPowerOfTen(c.x, c.power), c.count * scale);
  }
  EXPECT_TRUE(std::isnan(test::x87::RoundToPowerOfTen(std::nanl(""), -2)));
  EXPECT_EQ(test::x87::RoundToPowerOfTen(std::numeric_limits<long double>::infinity(), -2),
            std::numeric_limits<long double>::infinity());
  // Powers far beyond the range of the type must not hang or crash.
  EXPECT_EQ(test::x87::RoundToPowerOfTen(5, std::numeric_limits<int>::max()), 0);
  EXPECT_EQ(test::x87::RoundToPowerOfTen(5, std::numeric_limits<int>::min()), 5);
}

TEST(X87Model, FifteenSignificantDigits) {
  struct Case {
    long double x;
    std::string_view text;
  };
  const Case cases[] = {
      {1.0L / 3, "0.333333333333333"},
      {2.0L / 3, "0.666666666666667"},
      {100.0L / 3, "33.3333333333333"},
      {-100.0L / 3, "-33.3333333333333"},
      {0.1L, "0.1"},
      {0.0000100001L, "0.0000100001"},
      {0.0000099999L, "9.9999E-6"},
      {0.000123L, "0.000123"},
      {123456789012345.0L, "123456789012345"},
      {12345678901234.5L, "12345678901234.5"},
      {0.9999999999999999L, "1"},
      {9.9999999999999999L, "10"},
      {1e14L, "100000000000000"},
      {-1e13L, "-10000000000000"},
      {-1e14L, "-1E+14"},
      // Beyond fifteen integer bytes, and below 0.00001: the scientific form.
      {1e15L, "1E+15"},
      {-123456789012345.0L, "-1.23456789012345E+14"},
      {1234567890123456789.0L, "1.23456789012346E+18"},
      {0.0000015L, "1.5E-6"},
      {-0.0000015L, "-1.5E-6"},
      {0.000009999L, "9.999E-6"},
      {1e-300L, "1E-300"},
      {1e4000L, "1E+4000"},
      {std::numeric_limits<long double>::max(), "1.18973149535723E+4932"},
      {std::numeric_limits<long double>::denorm_min(), "3.64519953188247E-4951"},
      {std::nanl(""), "NAN"},
      {std::numeric_limits<long double>::infinity(), "INF"},
      {-std::numeric_limits<long double>::infinity(), "-INF"},
      {-0.0L, "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    EXPECT_EQ(test::x87::FloatToGeneralText(c.x, '.'), c.text);
  }
}

TEST(X87Model, UsesTheSeparatorItIsGiven) {
  EXPECT_EQ(test::x87::FloatToGeneralText(1.5L, '.'), "1.5");
  EXPECT_EQ(test::x87::FloatToGeneralText(1.5e-6L, '.'), "1.5E-6");
  EXPECT_EQ(test::x87::FloatToGeneralText(1.5L, ','), "1,5");
  EXPECT_EQ(test::x87::FloatToGeneralText(1.5e-6L, ','), "1,5E-6");
}
#endif

}  // namespace
}  // namespace qv
