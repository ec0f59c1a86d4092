// Which line of a detail names it, and the name it gives.
#include <gtest/gtest.h>

#include <string>

#include "detail_files.h"
#include "detect/recognition.h"
#include "runtime/locale_formats.h"
#include "support/temp_folder.h"

namespace qv::detect_test {
namespace {

struct NamingCase {
  const char* what;
  const char* content;
  const char* name;  // "" for a file that is not a detail
};

#define PERIOD(from, to) "<p>Детализация за период с " from " по " to "</p>\n"
#define CELLS(label, last) "<tr><td>" label "</td><td>" last "</td></tr>\n"

// Settings that read 31.03.2011 as the 31st of March.
const NamingCase kDayMonthYear[] = {
    {"the month before the period's last date",
     "<html>\n" PERIOD("01.03.2011", "31.03.2011") "</html>\n", "2011-02 MTS FORIS march.html"},
    {"the month before January", PERIOD("01.01.2011", "15.01.2011"),
     "2010-12 MTS FORIS march.html"},
    {"CR LF line ends", "<html>\r\n<p>за период с 01.03.2011 по 31.03.2011</p>\r\n",
     "2011-02 MTS FORIS march.html"},
    {"lone CR line ends",
     "<html>\r<p>за период с 01.03.2011 по 31.03.2011</p>\r" CELLS("x", "15.07.2011"),
     "2011-02 MTS FORIS march.html"},
    {"a period line ending in г. is passed over",
     "<p>за период с 01.03.2011 по 31.03.2011 г.</p>\n" PERIOD("01.04.2011", "30.04.2011"),
     "2011-03 MTS FORIS march.html"},
    {"the first period line's date does not convert",
     PERIOD("01.03.2011", "31.13.2011") CELLS("x", "15.07.2011") PERIOD("01.04.2011", "30.04.2011"),
     "2011-03 MTS FORIS march.html"},
    {"a capital Cyrillic З is not the marker",
     "<p>Детализация За период с 01.03.2011 по 31.03.2011</p>\n" CELLS("x", "15.07.2011"),
     "2011-07 MTS FORIS march.html"},
    {"upper-case TD counts in a table line", "<table>\n<tr><TD>Дата</TD><td>15.01.2011</td></tr>\n",
     "2011-01 MTS FORIS march.html"},
    {"a table line in capitals only", "<TR><TD>Дата</TD><TD>15.01.2011</TD></TR>\n",
     "2011-01 MTS FORIS march.html"},
    {"both cell markers on one line", "<tr><td>15.05.2011\n</td></tr>\n" CELLS("x", "15.06.2011"),
     "2011-06 MTS FORIS march.html"},
    {"0.00 is passed over in a table line", CELLS("Итого", "0.00") CELLS("Звонок", "01.02.2011"),
     "2011-02 MTS FORIS march.html"},
    {"a short period text is read whole", "<p title=\"за период с\">1.2.2011</p>\n",
     "2011-01 MTS FORIS march.html"},
    {"a short cell text is read whole (a day of the current month)", "<td>5</td>\n",
     "2026-07 MTS FORIS march.html"},
    {"byte 26 ends the text",
     "<html>\n\x1A" PERIOD("01.03.2011", "31.03.2011") CELLS("x", "15.07.2011"), ""},
    {"an empty file", "", ""},
    {"a file of other text", "Hello,\nworld 31.03.2011\n", ""},
    {"a period line without a date", "<p>за период с начала года</p>\n", ""},
};

// Settings of the form month/day/year, as an English locale gives them.
const NamingCase kMonthDayYear[] = {
    {"31.03.2011 has no month 31", PERIOD("01.03.2011", "31.03.2011"), ""},
    {"01.03.2011 is the 3rd of January", PERIOD("01.02.2011", "01.03.2011"),
     "2010-12 MTS FORIS march.html"},
    {"a table line's 01.02.2011 is the 2nd of January", CELLS("x", "01.02.2011"),
     "2011-01 MTS FORIS march.html"},
};

void ExpectNames(const LocaleFormatsRecord& settings, const NamingCase* begin,
                 const NamingCase* end) {
  test::TempFolder folder;
  for (const NamingCase* c = begin; c != end; ++c) {
    SCOPED_TRACE(c->what);
    const std::string path = folder.Write("march.html", c->content);
    EXPECT_EQ(NameDetail(path, settings, MidJuly2026), c->name);
  }
}

TEST(NameDetail, UnderDayMonthYearSettings) {
  ExpectNames(DateSettings('.', "dd.MM.yyyy"), std::begin(kDayMonthYear), std::end(kDayMonthYear));
}

TEST(NameDetail, UnderMonthDayYearSettings) {
  ExpectNames(DateSettings('/', "M/d/yyyy"), std::begin(kMonthDayYear), std::end(kMonthDayYear));
}

// With the separator "/" every "." of the date must be replaced, or the
// day.month.year dates above would not convert at all.
TEST(NameDetail, DotsBecomeTheDateSeparator) {
  test::TempFolder folder;
  EXPECT_EQ(NameDetail(folder.Write("march.html", PERIOD("01.03.2011", "31.03.2011")),
                       DateSettings('/', "dd/MM/yyyy"), MidJuly2026),
            "2011-02 MTS FORIS march.html");
}

}  // namespace
}  // namespace qv::detect_test
