// The settings from the Windows locale of the calling thread: at load, the
// thread that loads the library.
#include <windows.h>

#include "runtime/locale_formats.h"

namespace qv {

namespace {

// The locale items the settings are read from.
constexpr LCTYPE kDecimalSeparatorItem = 14;
constexpr LCTYPE kDateSeparatorItem = 29;
constexpr LCTYPE kTimeSeparatorItem = 30;
constexpr LCTYPE kShortDateItem = 31;
constexpr LCTYPE kAmItem = 40;
constexpr LCTYPE kPmItem = 41;

std::string ReadText(LCID locale, LCTYPE item, std::string_view fallback) {
  char buffer[256];
  const int written = GetLocaleInfoA(locale, item, buffer, sizeof buffer);
  // The count includes the terminating zero, so an empty item gives "".
  if (written <= 0 || written > static_cast<int>(sizeof buffer)) return std::string(fallback);
  return std::string(buffer, static_cast<std::size_t>(written - 1));
}

// An item longer than one character does not fit and takes the fallback.
char ReadByte(LCID locale, LCTYPE item, char fallback) {
  char buffer[2];
  return GetLocaleInfoA(locale, item, buffer, sizeof buffer) > 0 ? buffer[0] : fallback;
}

}  // namespace

LocaleFormatsRecord ReadLocaleFormats() {
  const LCID locale = GetThreadLocale();
  LocaleFormatsRecord record;
  record.dateSeparator = ReadByte(locale, kDateSeparatorItem, '/');
  record.timeSeparator = ReadByte(locale, kTimeSeparatorItem, ':');
  record.decimalSeparator = ReadByte(locale, kDecimalSeparatorItem, '.');
  record.shortDatePattern = ReadText(locale, kShortDateItem, "m/d/yy");
  record.amDesignator = ReadText(locale, kAmItem, "AM");
  record.pmDesignator = ReadText(locale, kPmItem, "PM");
  return record;
}

LocalDate SystemLocalDate() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay};
}

}  // namespace qv
