#include "runtime/numbers.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace qv {

namespace {

// The value of a digit byte in bases up to 16, or 99 for any other byte.
unsigned DigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  return 99;
}

// Nearest integer, a tie to the even one; floorl does not depend on the
// rounding mode the host may have set.
long double RoundHalfEven(long double q) {
  constexpr long double kAllWhole = 9223372036854775808.0L;  // 2^63
  if (!(std::fabs(q) < kAllWhole)) return q;                 // whole, infinite or NaN
  long double whole = std::floor(q);
  const long double fraction = q - whole;  // exact below 2^63
  if (fraction > 0.5L || (fraction == 0.5L && std::fmod(whole, 2.0L) != 0)) whole += 1;
  return whole;
}

// An unbounded unsigned integer, 32-bit words from the lowest.
using BigNumber = std::vector<std::uint32_t>;

void MultiplyBy(BigNumber& number, std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (std::uint32_t& word : number) {
    const std::uint64_t product = static_cast<std::uint64_t>(word) * factor + carry;
    word = static_cast<std::uint32_t>(product);
    carry = product >> 32;
  }
  if (carry != 0) number.push_back(static_cast<std::uint32_t>(carry));
}

// Divides in place and gives the remainder; drops emptied top words.
std::uint32_t DivideBy(BigNumber& number, std::uint32_t divisor) {
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
DecimalDigits ExactDigits(long double magnitude) {
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
void RoundDigits(DecimalDigits& value, std::size_t significant) {
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

}  // namespace

std::string IntToDecimal(std::int64_t value) {
  // Unsigned, so that the lowest value has a magnitude too.
  std::uint64_t magnitude = static_cast<std::uint64_t>(value);
  if (value < 0) magnitude = 0 - magnitude;
  char buffer[20];
  char* start = buffer + sizeof buffer;
  do {
    *--start = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--start = '-';
  return std::string(start, buffer + sizeof buffer);
}

std::int32_t ParseIntOr(std::string_view text, std::int32_t fallback) {
  if (text.size() >= 256) return fallback;
  const std::size_t size = text.size();
  std::size_t i = 0;
  while (i < size && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < size && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  unsigned base = 10;
  if (i < size) {
    const char c = text[i];
    if (c == '$' || c == 'x' || c == 'X') {
      base = 16;
      ++i;
    } else if (c == '%') {
      base = 2;
      ++i;
    } else if (c == '&') {
      base = 8;
      ++i;
    } else if (c == '0' && i + 1 < size && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
      base = 16;
      i += 2;
    }
  }
  if (i >= size) return fallback;
  bool anyDigit = false;
  while (i + 1 < size && text[i] == '0') {
    ++i;
    anyDigit = true;
  }
  const std::uint64_t limit = base == 10 ? (negative ? 2147483648u : 2147483647u) : 4294967295u;
  std::uint64_t magnitude = 0;
  for (; i < size && text[i] != '\0'; ++i) {
    const unsigned digit = DigitValue(text[i]);
    if (digit >= base) return fallback;
    magnitude = magnitude * base + digit;
    if (magnitude > limit) return fallback;
    anyDigit = true;
  }
  if (!anyDigit) return fallback;
  // Two's complement: $FFFFFFFF is -1, and "-" of the lowest value wraps.
  std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
  if (negative) bits = 0u - bits;
  return static_cast<std::int32_t>(bits);
}

long double RoundToPowerOfTen(long double x, int power) {
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

std::string FloatToGeneralText(long double x, char decimalSeparator) {
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

}  // namespace qv
