#pragma once
// The date settings and clock the tests name details under.
#include <string>
#include <utility>

#include "runtime/locale_formats.h"

namespace qv::detect_test {

inline LocaleFormatsRecord DateSettings(char separator, std::string shortDatePattern) {
  LocaleFormatsRecord formats;
  formats.dateSeparator = separator;
  formats.shortDatePattern = std::move(shortDatePattern);
  return formats;
}

inline LocalDate MidJuly2026() { return {2026, 7, 15}; }

}  // namespace qv::detect_test
