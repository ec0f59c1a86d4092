#pragma once
// Charges and durations as exact decimal numbers: recognised in the forms a
// detail writes them ("-12,50", "7.5", "30"), written with a point, and
// summed without the drift of binary floating point.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::listing {

// An optional "-", digits, and optionally "," or "." and more digits.
struct PlainDecimal {
  bool negative = false;
  std::string_view whole;
  std::string_view fraction;
};

std::optional<PlainDecimal> ParsePlainDecimal(std::string_view text);

// The number as written, with point as the separator: "007,50" is "007.50"
// for a point of ".".
void AppendDecimal(const PlainDecimal& number, char point, std::string& out);
// The same without the leading zeros of the whole part, which a JSON number
// may not have: "007,50" is "7.50".
void AppendAsJsonNumber(const PlainDecimal& number, std::string& out);

// A running total of any number of plain decimals, exact to the last digit.
class DecimalTotal {
 public:
  void Add(const PlainDecimal& number);
  // With "." and as many decimals as the most any added number had; "0"
  // before anything is added.
  std::string Text() const;

 private:
  // Per decimal place, least significant first, the sum of the signed digits
  // added there; carries are settled only when the text is asked for. No
  // input holds enough numbers to overflow a place.
  std::vector<std::int64_t> places_;
  std::size_t decimals_ = 0;
};

}  // namespace qv::listing
