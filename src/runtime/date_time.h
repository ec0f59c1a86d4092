#pragma once
// Dates and times as text, under the settings they are given.
#include <cstdint>
#include <string_view>

#include "runtime/locale_formats.h"

namespace qv {

// Days from 30 December 1899; the time of day is the fraction.
using DateTimeValue = double;

// False, with value untouched, on any invalid text. today is read only
// when the text leaves out the year or the month.
bool TryParseDateTime(std::string_view text, const LocaleFormatsRecord& formats,
                      DateTimeValue& value, Clock today = SystemLocalDate);
DateTimeValue ShiftMonths(DateTimeValue value, std::int32_t months);
std::uint16_t YearOfDate(DateTimeValue value);
unsigned MonthOfDate(DateTimeValue value);

}  // namespace qv
