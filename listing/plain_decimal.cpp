#include "plain_decimal.h"

#include <algorithm>

#include "runtime/ascii.h"

namespace qv::listing {
namespace {

using Digits = std::vector<std::uint8_t>;

bool AllDigits(std::string_view text) { return std::all_of(text.begin(), text.end(), IsDigit); }

std::string_view WithoutLeadingZeros(std::string_view whole) {
  while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
  return whole;
}

// Adds the number whose last fraction digit stands at position.
void AddAt(Digits& sum, std::size_t position, const PlainDecimal& number) {
  if (sum.size() < position) sum.resize(position, 0);
  unsigned carry = 0;
  const auto addDigit = [&](unsigned digit) {
    if (position == sum.size()) sum.push_back(0);
    const unsigned value = sum[position] + digit + carry;
    sum[position] = static_cast<std::uint8_t>(value % 10);
    carry = value / 10;
    ++position;
  };
  const auto addDigits = [&](std::string_view digits) {
    for (std::size_t i = digits.size(); i-- > 0;) addDigit(static_cast<unsigned>(digits[i] - '0'));
  };
  addDigits(number.fraction);
  addDigits(WithoutLeadingZeros(number.whole));
  while (carry != 0) addDigit(0);
}

std::size_t SignificantSize(const Digits& digits) {
  std::size_t size = digits.size();
  while (size > 0 && digits[size - 1] == 0) --size;
  return size;
}

bool LessThan(const Digits& a, const Digits& b) {
  const std::size_t sizeA = SignificantSize(a);
  const std::size_t sizeB = SignificantSize(b);
  if (sizeA != sizeB) return sizeA < sizeB;
  for (std::size_t i = sizeA; i-- > 0;) {
    if (a[i] != b[i]) return a[i] < b[i];
  }
  return false;
}

// larger - smaller, for larger not less than smaller.
Digits Difference(const Digits& larger, const Digits& smaller) {
  Digits result(larger);
  int borrow = 0;
  for (std::size_t i = 0; i < result.size(); ++i) {
    int value = result[i] - borrow - (i < smaller.size() ? smaller[i] : 0);
    borrow = value < 0 ? 1 : 0;
    result[i] = static_cast<std::uint8_t>(value + 10 * borrow);
  }
  return result;
}

}  // namespace

std::optional<PlainDecimal> ParsePlainDecimal(std::string_view text) {
  PlainDecimal number;
  if (!text.empty() && text.front() == '-') {
    number.negative = true;
    text.remove_prefix(1);
  }
  std::size_t digits = 0;
  while (digits < text.size() && IsDigit(text[digits])) ++digits;
  if (digits == 0) return std::nullopt;
  number.whole = text.substr(0, digits);
  if (digits == text.size()) return number;
  if (text[digits] != ',' && text[digits] != '.') return std::nullopt;
  number.fraction = text.substr(digits + 1);
  if (number.fraction.empty() || !AllDigits(number.fraction)) return std::nullopt;
  return number;
}

void AppendDecimal(const PlainDecimal& number, char point, std::string& out) {
  if (number.negative) out += '-';
  out += number.whole;
  if (number.fraction.empty()) return;
  out += point;
  out += number.fraction;
}

void AppendAsJsonNumber(const PlainDecimal& number, std::string& out) {
  PlainDecimal trimmed = number;
  trimmed.whole = WithoutLeadingZeros(number.whole);
  AppendDecimal(trimmed, '.', out);
}

void DecimalTotal::Rescale(std::size_t decimals) {
  if (decimals <= decimals_) return;
  for (Digits* digits : {&positive_, &negative_}) {
    if (!digits->empty()) digits->insert(digits->begin(), decimals - decimals_, 0);
  }
  decimals_ = decimals;
}

void DecimalTotal::Add(const PlainDecimal& number) {
  Rescale(number.fraction.size());
  AddAt(number.negative ? negative_ : positive_, decimals_ - number.fraction.size(), number);
}

std::string DecimalTotal::Text() const {
  const bool negative = LessThan(positive_, negative_);
  Digits digits = negative ? Difference(negative_, positive_) : Difference(positive_, negative_);
  digits.resize(std::max(SignificantSize(digits), decimals_ + 1), 0);
  std::string text = negative ? "-" : "";
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (i + 1 == decimals_) text += '.';
    text += static_cast<char>('0' + digits[i]);
  }
  return text;
}

}  // namespace qv::listing
