#pragma once
// Minutes as they were computed in x87 80-bit extended precision: seconds / 60
// rounded to hundredths (a tie to the even count), printed with 15
// significant digits. The model the exact integer minutes are held against;
// it builds only where long double is the x87 type.
#if defined(__LDBL_MANT_DIG__) && __LDBL_MANT_DIG__ == 64
#define QV_HAS_X87_MODEL 1

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "runtime/numbers.h"

namespace qv::test::x87 {

// Nearest integer, a tie to the even one; floorl does not depend on the
// rounding mode the host may have set.
inline long double RoundHalfEven(long double q) {
  constexpr long double kAllWhole = 9223372036854775808.0L;  // 2^63
  if (!(std::fabs(q) < kAllWhole)) return q;                 // whole, infinite or NaN
  long double whole = std::floor(q);
  const long double fraction = q - whole;  // exact below 2^63
  if (fraction > 0.5L || (fraction == 0.5L && std::fmod(whole, 2.0L) != 0)) whole += 1;
  return whole;
}

// An unbounded unsigned integer, 32-bit words from the lowest.
using BigNumber = std::vector<std::uint32_t>;

inline void MultiplyBy(BigNumber& number, std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (std::uint32_t& word : number) {
    const std::uint64_t product = static_cast<std::uint64_t>(word) * factor + carry;
    word = static_cast<std::uint32_t>(product);
    carry = product >> 32;
  }
  if (carry != 0) number.push_back(static_cast<std::uint32_t>(carry));
}

// Divides in place and gives the remainder; drops emptied top words.
inline std::uint32_t DivideBy(BigNumber& number, std::uint32_t divisor) {
  std::uint64_t remainder = 0;
  for (std::size_t i = number.size(); i-- > 0;) {
    const std::uint64_t current = (remainder << 32) | number[i];
    number[i] = static_cast<std::uint32_t>(current / divisor);
    remainder = current % divisor;
  }
  while (!number.empty() && number.back() == 0) number.pop_back();
  return static_cast<std::uint32_t>(remainder);
}

// A positive value as 0.digits times 10 to the power exponent.
struct DecimalDigits {
  std::string digits;  // no leading or trailing zeros
  int exponent;
};

// Every digit of a finite positive long double, exactly: the value is an
// integer m times 2^q, which is m * 2^q or (m * 5^-q) / 10^-q.
inline DecimalDigits ExactDigits(long double magnitude) {
  int binaryExponent = 0;
  const long double fraction = std::frexp(magnitude, &binaryExponent);
  auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
  int q = binaryExponent - 64;
  while ((mantissa & 1) == 0) {
    mantissa >>= 1;
    ++q;
  }
  BigNumber number = {static_cast<std::uint32_t>(mantissa),
                      static_cast<std::uint32_t>(mantissa >> 32)};
  if (number.back() == 0) number.pop_back();
  int decimalShift = 0;
  if (q >= 0) {
    for (; q >= 31; q -= 31) MultiplyBy(number, 1u << 31);
    MultiplyBy(number, 1u << q);
  } else {
    decimalShift = q;
    int fives = -q;
    for (; fives >= 13; fives -= 13) MultiplyBy(number, 1220703125u);  // 5^13
    for (; fives > 0; --fives) MultiplyBy(number, 5);
  }
  // Nine digits per division, collected from the lowest.
  std::string reversed;
  while (!number.empty()) {
    std::uint32_t chunk = DivideBy(number, 1000000000u);
    for (int i = 0; i < 9; ++i) {
      reversed += static_cast<char>('0' + chunk % 10);
      chunk /= 10;
    }
  }
  while (!reversed.empty() && reversed.back() == '0') reversed.pop_back();
  DecimalDigits result{std::string(reversed.rbegin(), reversed.rend()), 0};
  result.exponent = static_cast<int>(result.digits.size()) + decimalShift;
  while (!result.digits.empty() && result.digits.back() == '0') result.digits.pop_back();
  return result;
}

// Rounds to the given count of significant digits, a half away from zero.
inline void RoundDigits(DecimalDigits& value, std::size_t significant) {
  if (value.digits.size() > significant) {
    const bool up = value.digits[significant] >= '5';
    value.digits.resize(significant);
    if (up) {
      std::size_t i = significant;
      while (i > 0 && value.digits[i - 1] == '9') --i;
      if (i == 0) {
        value.digits.assign(1, '1');  // all nines carried over
        ++value.exponent;
      } else {
        ++value.digits[i - 1];
        value.digits.resize(i);
      }
    }
  }
  while (!value.digits.empty() && value.digits.back() == '0') value.digits.pop_back();
}

inline long double RoundToPowerOfTen(long double x, int power) {
  auto remaining = static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(power)));
  long double scale = 1;
  long double square = 10;
  while (remaining != 0) {
    if ((remaining & 1) != 0) scale *= square;
    square *= square;
    remaining >>= 1;
  }
  if (power < 0) scale = 1 / scale;
  // Powers beyond the range of the type: every finite value is far below
  // the step, or already finer than it; neither may turn into NaN.
  if (std::isinf(scale)) return std::isfinite(x) ? 0.0L : x;
  if (scale == 0) return x;
  return RoundHalfEven(x / scale) * scale;
}

inline std::string FloatToGeneralText(long double x, char decimalSeparator) {
  if (std::isnan(x)) return "NAN";
  if (std::isinf(x)) return x < 0 ? "-INF" : "INF";
  if (x == 0) return "0";
  const bool negative = x < 0;
  DecimalDigits value = ExactDigits(std::fabs(x));
  const bool belowFixedRange = value.exponent <= -5;  // below 0.00001, decided before rounding
  RoundDigits(value, 15);
  std::string text = negative ? "-" : "";
  const int integerBytes = (negative ? 1 : 0) + (value.exponent > 0 ? value.exponent : 1);
  const std::string_view digits = value.digits;
  if (belowFixedRange || integerBytes > 15) {
    text += digits[0];
    if (digits.size() > 1) {
      text += decimalSeparator;
      text += digits.substr(1);
    }
    const int exponent = value.exponent - 1;
    text += exponent < 0 ? "E-" : "E+";
    text += IntToDecimal(exponent < 0 ? -static_cast<std::int64_t>(exponent) : exponent);
    return text;
  }
  if (value.exponent <= 0) {
    text += '0';
    text += decimalSeparator;
    text.append(static_cast<std::size_t>(-value.exponent), '0');
    text += digits;
    return text;
  }
  const auto integerDigits = static_cast<std::size_t>(value.exponent);
  if (digits.size() <= integerDigits) {
    text += digits;
    text.append(integerDigits - digits.size(), '0');
    return text;
  }
  text += digits.substr(0, integerDigits);
  text += decimalSeparator;
  text += digits.substr(integerDigits);
  return text;
}

// The minute text of a whole count of seconds.
inline std::string MinuteText(std::int64_t totalSeconds, char decimalSeparator) {
  const long double minutes = static_cast<long double>(totalSeconds) / 60.0L;
  return FloatToGeneralText(RoundToPowerOfTen(minutes, -2), decimalSeparator);
}

}  // namespace qv::test::x87

#endif

namespace qv::test {

// The totals a duration cell can give: 32-bit minutes times 60, plus two
// bytes of seconds ("-9" to "99").
inline constexpr std::int64_t kLowestTotal = -2147483648LL * 60 - 9;
inline constexpr std::int64_t kHighestTotal = 2147483647LL * 60 + 99;

// The totals where an error would show first: the ends of the range, small
// totals, powers of two, and the totals where the minutes gain a digit.
inline std::vector<std::int64_t> BoundaryTotals() {
  std::vector<std::int64_t> totals;
  for (std::int64_t t = -1000; t <= 1000; ++t) totals.push_back(t);
  for (std::int64_t d = 0; d <= 200; ++d) {
    totals.insert(totals.end(), {kLowestTotal + d, kHighestTotal - d});
  }
  for (int bit = 10; bit <= 40; ++bit) {
    for (std::int64_t d = -3; d <= 3; ++d) {
      const std::int64_t power = std::int64_t{1} << bit;
      totals.insert(totals.end(), {power + d, -power - d});
    }
  }
  // 10^k hundredths are 3 * 10^k / 5 seconds.
  for (std::int64_t tens = 1000; tens <= 1000000000000LL; tens *= 10) {
    for (std::int64_t d = -3; d <= 3; ++d) {
      totals.insert(totals.end(), {tens * 3 / 5 + d, -(tens * 3 / 5) - d});
    }
  }
  return totals;
}

// A total drawn evenly from -highest to highest (by default a range that
// holds every reachable total), or with an even spread of its magnitude's
// logarithm, so that short durations are met as often as long ones.
inline std::int64_t RandomTotal(std::mt19937_64& random, bool logUniform,
                                std::int64_t highest = kHighestTotal) {
  if (!logUniform) {
    return std::uniform_int_distribution<std::int64_t>(-highest, highest)(random);
  }
  const double magnitude = std::exp(
      std::uniform_real_distribution<double>(0, std::log(static_cast<double>(highest)))(random));
  const auto total = static_cast<std::int64_t>(magnitude);
  return (random() & 1) != 0 ? total : -total;
}

}  // namespace qv::test
