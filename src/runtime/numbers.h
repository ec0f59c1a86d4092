#pragma once
// Integers and the rounded minute values as text.
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// Wide enough for the duration totals, which must not wrap at 32 bits.
std::string IntToDecimal(std::int64_t value);
std::int32_t ParseIntOr(std::string_view text, std::int32_t fallback);
// Whole seconds as minutes rounded to hundredths, with decimalSeparator and
// without trailing zeros ("2,08", "1,5", "-0,02", "0"): the text extended
// precision gave, for totals within 2^40 seconds either way (a row's stay
// within 2^37).
std::string MinuteText(std::int64_t totalSeconds, char decimalSeparator);

}  // namespace qv
