// The settings from the user's locale in the environment, read without
// touching the process's global locale (the host owns it).
#include <langinfo.h>
#include <locale.h>
#include <stdlib.h>
#include <time.h>

#include <string_view>
#include <vector>

#include "runtime/ascii.h"
#include "runtime/code_page_posix.h"
#include "runtime/locale_formats.h"

namespace qv {

namespace {

struct FormatToken {
  bool isConversion;
  char byte;     // the literal byte, or the conversion letter
  char padding;  // the last of the flags '-', '_', '0', or 0
};

// Cuts a format into literal bytes and conversions, expanding the
// conversions that stand for whole formats ("%D", "%T", "%r"...).
void Tokenize(std::string_view format, std::string_view twelveHourFormat,
              std::vector<FormatToken>& tokens, int depth) {
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      tokens.push_back({false, format[i], 0});
      continue;
    }
    std::size_t j = i + 1;
    char padding = 0;
    for (; j < format.size(); ++j) {
      const char c = format[j];
      if (c == '-' || c == '_' || c == '0') {
        padding = c;
      } else if (c != '^' && c != '#') {
        break;
      }
    }
    while (j < format.size() && IsDigit(format[j])) ++j;
    if (j < format.size() && (format[j] == 'E' || format[j] == 'O')) ++j;
    if (j >= format.size()) return;  // a cut conversion reads as nothing
    i = j;
    std::string_view whole;
    switch (format[j]) {
      case '%':
        tokens.push_back({false, '%', 0});
        continue;
      case 'D':
        whole = "%m/%d/%y";
        break;
      case 'F':
        whole = "%Y-%m-%d";
        break;
      case 'T':
        whole = "%H:%M:%S";
        break;
      case 'R':
        whole = "%H:%M";
        break;
      case 'r':
        whole = twelveHourFormat.empty() ? "%I:%M:%S %p" : twelveHourFormat;
        break;
      default:
        tokens.push_back({true, format[j], padding});
        continue;
    }
    // A locale whose twelve-hour format names itself must not loop.
    if (depth < 2) Tokenize(whole, twelveHourFormat, tokens, depth + 1);
  }
}

// The date pattern letters of one conversion, "" when it is no date field.
std::string_view DateField(const FormatToken& token) {
  const bool unpadded = token.padding == '-' || token.padding == '_';
  switch (token.byte) {
    case 'd':
      return unpadded ? "d" : "dd";
    case 'e':
      return token.padding == '0' ? "dd" : "d";
    case 'm':
      return unpadded ? "m" : "mm";
    case 'y':
    case 'g':
      return "yy";
    case 'Y':
    case 'G':
      return "yyyy";
    case 'b':
    case 'h':
      return "mmm";
    case 'B':
      return "mmmm";
    case 'a':
      return "ddd";
    case 'A':
      return "dddd";
    default:
      return "";
  }
}

bool IsHourField(const FormatToken& token) {
  return token.byte == 'H' || token.byte == 'I' || token.byte == 'k' || token.byte == 'l';
}

// The byte after a field, when it is a plain separator (ASCII punctuation
// or a space); a letter, a digit or part of a multi-byte character is not.
bool SeparatorAfter(const std::vector<FormatToken>& tokens, std::size_t field, char& separator) {
  if (field + 1 >= tokens.size() || tokens[field + 1].isConversion) return false;
  const char c = tokens[field + 1].byte;
  if (c < 0x20 || c > 0x7E || IsDigit(c) || IsAsciiLetter(c)) return false;
  separator = c;
  return true;
}

// The C locale carries no choice of the user's, so it reads as nothing.
locale_t OpenUserLocale(int mask, const char* categoryVariable) {
  const std::string name = platform::LocaleNameOfEnvironment(categoryVariable);
  if (name == "C" || name == "POSIX" || name.starts_with("C.")) return locale_t{};
  return newlocale(mask, name.c_str(), locale_t{});
}

}  // namespace

void ApplyStrftimeFormats(LocaleFormatsRecord& record, std::string_view dateFormat,
                          std::string_view timeFormat, std::string_view twelveHourFormat) {
  std::vector<FormatToken> tokens;
  Tokenize(dateFormat, twelveHourFormat, tokens, 0);
  std::string pattern;
  std::size_t firstField = tokens.size();
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const FormatToken& token = tokens[i];
    if (!token.isConversion) {
      // A literal letter would read as a field of the pattern.
      if (!IsAsciiLetter(token.byte)) pattern += token.byte;
      continue;
    }
    const std::string_view field = DateField(token);
    if (!field.empty() && firstField == tokens.size()) firstField = i;
    pattern += field;
  }
  // A pattern without day, month and year could not parse any date.
  const bool complete = pattern.find('d') != std::string::npos &&
                        pattern.find('m') != std::string::npos &&
                        pattern.find('y') != std::string::npos;
  if (complete) {
    record.shortDatePattern = pattern;
    SeparatorAfter(tokens, firstField, record.dateSeparator);
  }

  tokens.clear();
  Tokenize(timeFormat, twelveHourFormat, tokens, 0);
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (!tokens[i].isConversion || !IsHourField(tokens[i])) continue;
    SeparatorAfter(tokens, i, record.timeSeparator);
    break;
  }
}

LocaleFormatsRecord ReadLocaleFormats() {
  LocaleFormatsRecord record;
  if (const locale_t timeLocale = OpenUserLocale(LC_TIME_MASK, "LC_TIME")) {
    ApplyStrftimeFormats(record, nl_langinfo_l(D_FMT, timeLocale), nl_langinfo_l(T_FMT, timeLocale),
                         nl_langinfo_l(T_FMT_AMPM, timeLocale));
    // Empty designators are the locale's own choice (24-hour locales).
    record.amDesignator = nl_langinfo_l(AM_STR, timeLocale);
    record.pmDesignator = nl_langinfo_l(PM_STR, timeLocale);
    freelocale(timeLocale);
  }
  if (const locale_t numeric = OpenUserLocale(LC_NUMERIC_MASK, "LC_NUMERIC")) {
    const std::string_view radix = nl_langinfo_l(RADIXCHAR, numeric);
    if (radix.size() == 1) record.decimalSeparator = radix[0];
    freelocale(numeric);
  }
  return record;
}

LocalDate SystemLocalDate() {
  tzset();  // the zone may have changed since the last parse
  const time_t now = time(nullptr);
  struct tm parts = {};
  if (localtime_r(&now, &parts) == nullptr) return {1970, 1, 1};
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
}

}  // namespace qv
