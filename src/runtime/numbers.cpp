#include "runtime/numbers.h"

#include <charconv>
#include <iterator>

namespace qv {

namespace {

// The value of a digit byte in bases up to 16, or 99 for any other byte.
unsigned DigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  return 99;
}

// Blanks, a sign, a base prefix ("$", "x", "0x", "%", "&"), digits of the
// base; decimal within the 32-bit range, other bases within 32 bits.
std::int32_t ParseAnyIntOr(std::string_view text, std::int32_t fallback) {
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

}  // namespace

std::string IntToDecimal(std::int64_t value) {
  char digits[24];
  return {digits, std::to_chars(digits, std::end(digits), value).ptr};
}

std::int32_t ParseIntOr(std::string_view text, std::int32_t fallback) {
  // Up to nine plain digits, the usual text, cannot leave the range.
  std::int32_t value = 0;
  std::size_t i = 0;
  for (; i < text.size() && i < 9 && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
  }
  return i != 0 && i == text.size() ? value : ParseAnyIntOr(text, fallback);
}

// A count of seconds is a whole number of thirds of a hundredth of a minute,
// so the nearest count of hundredths is never a tie: seconds * 5 / 3 rounded
// is (seconds * 5 + 1) / 3 on the magnitude. Extended precision computed
// seconds / 60 rounded to 0.01 and printed 15 significant digits; its errors
// stay far below a third of a hundredth and a digit's half for every total
// a row can hold, so the text is the exact number of hundredths, without
// trailing zeros.
std::string MinuteText(std::int64_t totalSeconds, char decimalSeparator) {
  std::uint64_t magnitude = static_cast<std::uint64_t>(totalSeconds);
  if (totalSeconds < 0) magnitude = 0 - magnitude;
  const std::uint64_t hundredths = (magnitude * 5 + 1) / 3;
  // Written from the last digit: the hundredths without trailing zeros, then
  // the whole minutes.
  char buffer[32];
  char* start = buffer + sizeof buffer;
  if (hundredths % 100 != 0) {
    if (hundredths % 10 != 0) *--start = static_cast<char>('0' + hundredths % 10);
    *--start = static_cast<char>('0' + hundredths / 10 % 10);
    *--start = decimalSeparator;
  }
  std::uint64_t whole = hundredths / 100;
  do {
    *--start = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole != 0);
  if (totalSeconds < 0 && hundredths != 0) *--start = '-';
  return std::string(start, buffer + sizeof buffer);
}

}  // namespace qv
