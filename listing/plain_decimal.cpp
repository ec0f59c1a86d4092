#include "plain_decimal.h"

#include <algorithm>

#include "runtime/ascii.h"

namespace qv::listing {
namespace {

bool AllDigits(std::string_view text) { return std::all_of(text.begin(), text.end(), IsDigit); }

std::string_view WithoutLeadingZeros(std::string_view whole) {
  while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
  return whole;
}

// Settles the carries, so that each place holds 0 to 9, adding places for
// what carries out of the top. False when the total is below zero: then the
// top carry is negative and is dropped.
bool Settle(std::vector<std::int64_t>& places) {
  std::int64_t carry = 0;
  for (std::size_t i = 0; i < places.size() || carry > 0; ++i) {
    if (i == places.size()) places.push_back(0);
    const std::int64_t value = places[i] + carry;
    carry = value / 10 - (value % 10 < 0 ? 1 : 0);
    places[i] = value - carry * 10;
  }
  return carry == 0;
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

void DecimalTotal::Add(const PlainDecimal& number) {
  if (number.fraction.size() > decimals_) {
    places_.insert(places_.begin(), number.fraction.size() - decimals_, 0);
    decimals_ = number.fraction.size();
  }
  const int sign = number.negative ? -1 : 1;
  std::size_t place = decimals_ - number.fraction.size();
  for (const std::string_view digits : {number.fraction, WithoutLeadingZeros(number.whole)}) {
    for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit, ++place) {
      if (place == places_.size()) places_.push_back(0);
      places_[place] += sign * (*digit - '0');
    }
  }
}

std::string DecimalTotal::Text() const {
  std::vector<std::int64_t> places = places_;
  const bool negative = !Settle(places);
  if (negative) {
    places = places_;
    for (std::int64_t& place : places) place = -place;
    Settle(places);
  }
  std::size_t size = places.size();
  while (size > decimals_ + 1 && places[size - 1] == 0) --size;
  places.resize(std::max(size, decimals_ + 1), 0);
  std::string text = negative ? "-" : "";
  for (std::size_t i = places.size(); i-- > 0;) {
    if (i + 1 == decimals_) text += '.';
    text += static_cast<char>('0' + places[i]);
  }
  return text;
}

}  // namespace qv::listing
