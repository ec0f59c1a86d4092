#pragma once
// Integers and the rounded minute values as text.
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

static_assert(sizeof(long double) >= 10 && __LDBL_MANT_DIG__ == 64,
              "the minute values are computed in x87 extended precision");

// Wide enough for the duration totals, which must not wrap at 32 bits.
std::string IntToDecimal(std::int64_t value);
std::int32_t ParseIntOr(std::string_view text, std::int32_t fallback);
long double RoundToPowerOfTen(long double x, int power);
// 15 significant digits, with decimalSeparator in place of the point.
std::string FloatToGeneralText(long double x, char decimalSeparator);

}  // namespace qv
