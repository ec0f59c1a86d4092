#pragma once
// The process-wide date, time and number text settings, filled from the
// user's locale when the library is loaded.
#include <cstdint>
#include <string>

namespace qv {

struct LocaleFormatsRecord {
  char dateSeparator = '/';
  char timeSeparator = ':';
  char decimalSeparator = '.';
  std::string shortDatePattern = "m/d/yy";
  std::string longDatePattern = "mmmm d, yyyy";
  std::string shortTimePattern = "h:nn";
  std::string longTimePattern = "h:nn:ss";
  std::string amDesignator = "AM";
  std::string pmDesignator = "PM";
  std::uint16_t twoDigitYearWindow = 50;
};

extern LocaleFormatsRecord LocaleFormats;

// Reads the user's locale into LocaleFormats (the fallbacks where an item
// cannot be read). Runs once at library load.
void LoadLocaleFormats();

// The local calendar date, as the date rules need it for missing fields.
struct LocalDate {
  int year;
  int month;
  int day;
};
LocalDate CurrentLocalDate();
// Tests fix the clock with this; nullptr restores the real clock.
void SetClockForTesting(LocalDate (*clock)());

}  // namespace qv
