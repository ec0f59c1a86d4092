#include <locale.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "runtime/locale_formats.h"
#include "support/environment_guard.h"

namespace qv {
namespace {

// The locale the suite runs under, as the test runner sets it.
std::string_view EnvironmentLocale() {
  for (const char* variable : {"LC_ALL", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "";
}

struct ExpectedFormats {
  std::string_view locale;
  std::string_view shortDatePattern;
  char dateSeparator;
  char decimalSeparator;
  char timeSeparator;
  std::string_view am;
  std::string_view pm;
};

const ExpectedFormats* ExpectedForEnvironment() {
  static const ExpectedFormats kKnown[] = {
#ifdef _WIN32
      // The designators depend on the system's data.
      {"ru_RU.UTF-8", "dd.MM.yyyy", '.', ',', ':', "", ""},
      {"en_US.UTF-8", "M/d/yyyy", '/', '.', ':', "", ""},
#else
      {"ru_RU.UTF-8", "dd.mm.yyyy", '.', ',', ':', "", ""},
      {"en_US.UTF-8", "mm/dd/yyyy", '/', '.', ':', "AM", "PM"},
#endif
  };
  for (const ExpectedFormats& known : kKnown) {
    if (EnvironmentLocale() == known.locale) return &known;
  }
  return nullptr;
}

void ExpectFormats(const LocaleFormatsRecord& formats, const ExpectedFormats& expected) {
  EXPECT_EQ(formats.shortDatePattern, expected.shortDatePattern);
  EXPECT_EQ(formats.dateSeparator, expected.dateSeparator);
  EXPECT_EQ(formats.decimalSeparator, expected.decimalSeparator);
  EXPECT_EQ(formats.timeSeparator, expected.timeSeparator);
#ifndef _WIN32
  // Windows versions (and Wine) differ in the Russian designators.
  EXPECT_EQ(formats.amDesignator, expected.am);
  EXPECT_EQ(formats.pmDesignator, expected.pm);
#endif
  EXPECT_EQ(formats.twoDigitYearWindow, 50);
}

// Nothing can change the record, so what is there now is what loading the
// library read.
TEST(LoadedFormats, AreInPlaceBeforeAnyCall) {
  const ExpectedFormats* expected = ExpectedForEnvironment();
  if (expected == nullptr) GTEST_SKIP() << "no expectations for this locale";
  ExpectFormats(UserLocaleFormats(), *expected);
}

TEST(LoadedFormats, ComeFromTheUsersLocale) {
  const ExpectedFormats* expected = ExpectedForEnvironment();
  if (expected == nullptr) GTEST_SKIP() << "no expectations for this locale";
  ExpectFormats(ReadLocaleFormats(), *expected);
}

TEST(LoadedFormats, TheSystemClockGivesACalendarDate) {
  const LocalDate today = SystemLocalDate();
  EXPECT_GE(today.year, 2024);
  EXPECT_GE(today.month, 1);
  EXPECT_LE(today.month, 12);
  EXPECT_GE(today.day, 1);
  EXPECT_LE(today.day, 31);
}

#ifndef _WIN32
// Each test starts with no locale variable set.
class LocaleEnvironment : public ::testing::Test {
 protected:
  static bool Installed(const char* name) {
    const locale_t locale = newlocale(LC_ALL_MASK, name, locale_t{});
    if (locale == locale_t{}) return false;
    freelocale(locale);
    return true;
  }

  test::EnvironmentGuard environment_{
      {"LC_ALL", nullptr}, {"LC_TIME", nullptr}, {"LC_NUMERIC", nullptr}, {"LANG", nullptr}};
};

// The C locale says nothing of the user, and an unknown name cannot be
// read: both leave the fallbacks.
TEST_F(LocaleEnvironment, NoUserLocaleGivesTheFallbacks) {
  const char* names[] = {nullptr, "C", "POSIX", "C.UTF-8", "xx_XX.UTF-8"};
  for (const char* name : names) {
    SCOPED_TRACE(name != nullptr ? name : "(unset)");
    if (name != nullptr) environment_.Set("LANG", name);
    const LocaleFormatsRecord read = ReadLocaleFormats();
    const LocaleFormatsRecord fallbacks;
    EXPECT_EQ(read.shortDatePattern, fallbacks.shortDatePattern);
    EXPECT_EQ(read.dateSeparator, fallbacks.dateSeparator);
    EXPECT_EQ(read.decimalSeparator, fallbacks.decimalSeparator);
    EXPECT_EQ(read.timeSeparator, fallbacks.timeSeparator);
    EXPECT_EQ(read.amDesignator, fallbacks.amDesignator);
    EXPECT_EQ(read.pmDesignator, fallbacks.pmDesignator);
  }
}

TEST_F(LocaleEnvironment, EachCategoryFromItsOwnVariable) {
  if (!Installed("ru_RU.UTF-8") || !Installed("en_US.UTF-8")) {
    GTEST_SKIP() << "needs the ru_RU.UTF-8 and en_US.UTF-8 locales";
  }
  environment_.Set("LANG", "en_US.UTF-8");
  environment_.Set("LC_NUMERIC", "ru_RU.UTF-8");
  LocaleFormatsRecord read = ReadLocaleFormats();
  EXPECT_EQ(read.shortDatePattern, "mm/dd/yyyy");
  EXPECT_EQ(read.decimalSeparator, ',');

  environment_.Set("LC_TIME", "ru_RU.UTF-8");
  environment_.Set("LC_NUMERIC", "en_US.UTF-8");
  read = ReadLocaleFormats();
  EXPECT_EQ(read.shortDatePattern, "dd.mm.yyyy");
  EXPECT_EQ(read.decimalSeparator, '.');

  // LC_ALL overrides both.
  environment_.Set("LC_ALL", "ru_RU.UTF-8");
  environment_.Set("LC_TIME", "en_US.UTF-8");
  read = ReadLocaleFormats();
  EXPECT_EQ(read.shortDatePattern, "dd.mm.yyyy");
  EXPECT_EQ(read.decimalSeparator, ',');
}

TEST(StrftimeFormats, ReadAsPatternsAndSeparators) {
  struct Case {
    std::string_view dateFormat;
    std::string_view timeFormat;
    std::string_view twelveHourFormat;
    std::string_view datePattern;
    char dateSeparator;
    char timeSeparator;
  };
  const Case cases[] = {
      {"%d.%m.%Y", "%T", "", "dd.mm.yyyy", '.', ':'},
      {"%m/%d/%Y", "%r", "%I:%M:%S %p", "mm/dd/yyyy", '/', ':'},
      {"%m/%d/%y", "%H:%M:%S", "", "mm/dd/yy", '/', ':'},
      {"%D", "%R", "", "mm/dd/yy", '/', ':'},
      {"%F", "%k.%M", "", "yyyy-mm-dd", '-', '.'},
      {"%Y-%m-%d", "%l:%M %p", "", "yyyy-mm-dd", '-', ':'},
      {"%e/%-m/%y", "%-H:%M", "", "d/m/yy", '/', ':'},
      {"%Od.%Om.%EY", "%OH:%OM", "", "dd.mm.yyyy", '.', ':'},
      {"%Y. %m. %d.", "%p %I:%M:%S", "", "yyyy. mm. dd.", '.', ':'},
      {"%a %d %b %Y", "%H%M", "", "ddd dd mmm yyyy", ' ', ':'},
      // A "%r" that names itself stops instead of looping.
      {"%d.%m.%Y", "%r", "%r", "dd.mm.yyyy", '.', ':'},
      // Multi-byte and letter separators are no separators.
      {"%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", "%H\xE6\x97\xB6%M", "",
       "yyyy\xE5\xB9\xB4mm\xE6\x9C\x88"
       "dd\xE6\x97\xA5",
       '/', ':'},
      {"%d de %m de %Y", "%H h %M", "", "dd  mm  yyyy", ' ', ' '},
      // Nothing to read: the values stay as they were.
      {"", "", "", "m/d/yy", '/', ':'},
      {"%d.%m", "%M.%S", "", "m/d/yy", '/', ':'},
      {"%d.%m.%", "%", "", "m/d/yy", '/', ':'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.dateFormat) + " / " + std::string(c.timeFormat));
    LocaleFormatsRecord record;
    ApplyStrftimeFormats(record, c.dateFormat, c.timeFormat, c.twelveHourFormat);
    EXPECT_EQ(record.shortDatePattern, c.datePattern);
    EXPECT_EQ(record.dateSeparator, c.dateSeparator);
    EXPECT_EQ(record.timeSeparator, c.timeSeparator);
  }
}
#endif

}  // namespace
}  // namespace qv
