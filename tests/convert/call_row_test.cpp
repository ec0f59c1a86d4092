#include "convert/call_row.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/printed_report.h"

namespace qv {
namespace {

// Rows as the scanner hands them over: trimmed, so the last cell ends them.
std::string RowOf(const std::vector<std::string>& cells) {
  std::string row;
  for (const std::string& cell : cells) {
    if (!row.empty()) row += "\r\n";
    row += "<td>" + cell + "</td>";
  }
  return row;
}

// Eleven cells of an ordinary outgoing call; tests change one of them.
std::vector<std::string> OrdinaryCells() {
  return {"1",          "07.12.2010", "9:05:00", "",     "4957654321", "Москва",
          "Московская", "Телефония",  "",        "2:05", "1,50"};
}

const char kOrdinaryCall[] =
    R"(<call m="2,08" s="125" r1="Московская" r2="Москва" num="4957654321" pay="1,50" )"
    R"(code="1" time="2010-12-07 09:05:00" type="1"/>)";

// The call elements the rows produce, as the report writes them.
class CallRowTest : public ::testing::Test {
 protected:
  std::string Convert(const std::vector<std::string>& rows) {
    test::StringOutput out;
    ReportPrinter printer(out, "detail.html");
    printer.Subscriber("p");
    CallRowConverter converter(separator_);
    CallRecord call;
    for (const std::string& row : rows) {
      if (converter.Convert(row, call)) printer.Call(call);
    }
    printer.End();
    const std::string written = out.Joined();
    const std::string open = "<phone>p";
    const std::size_t begin = written.find(open) + open.size();
    std::size_t end = written.find("</phone>", begin);
    if (written.compare(end - 4, 4, "\r\n  ") == 0) end -= 4;
    return written.substr(begin, end - begin);
  }
  std::string ConvertCells(const std::vector<std::string>& cells) {
    return Convert({RowOf(cells)});
  }
  std::string WithCell(std::size_t number, const std::string& text) {
    std::vector<std::string> cells = OrdinaryCells();
    cells[number - 1] = text;
    return ConvertCells(cells);
  }
  static std::string Attribute(const std::string& call, const std::string& name) {
    const std::string key = " " + name + "=\"";
    const std::size_t begin = call.find(key);
    if (begin == std::string::npos) return "<none>";
    const std::size_t valueBegin = begin + key.size();
    return call.substr(valueBegin, call.find('"', valueBegin) - valueBegin);
  }

  char separator_ = ',';
};

TEST_F(CallRowTest, RowLengths) {
  std::vector<std::string> longRow = OrdinaryCells();
  longRow.push_back("extra");
  longRow.push_back("more");
  // Cells 258, 259, 261 and 267 would land on the date, time, number and
  // duration again if the column counter wrapped at 256.
  std::vector<std::string> veryLongRow = OrdinaryCells();
  veryLongRow.resize(300, "9");
  veryLongRow[257] = "01.01.1999";
  veryLongRow[258] = "23:59:59";
  veryLongRow[260] = "&lt;-- 000";
  veryLongRow[266] = "77:00";
  struct Case {
    const char* what;
    std::vector<std::string> cells;
    std::string expected;
  };
  const Case cases[] = {
      {"one cell", {"1"}, ""},
      {"two cells", {"1", "07.12.2010"}, ""},
      {"three cells", {"1", "07.12.2010", "9:05:00"}, R"(<call time="2010-12-07 09:05:00"/>)"},
      {"a time to escape",
       {"1", "07.12.2010", "9:05\"ч&"},
       R"(<call time="2010-12-07 9:05&quot;ч&amp;"/>)"},
      {"eleven cells", OrdinaryCells(), kOrdinaryCall},
      {"thirteen cells", longRow, kOrdinaryCall},
      {"three hundred cells", veryLongRow, kOrdinaryCall},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ConvertCells(c.cells), c.expected);
  }
}

TEST_F(CallRowTest, RowsWithoutCells) {
  EXPECT_EQ(Convert({"", "x", "<td>1</td><td>2</td>", "</tr>"}), "");
}

// Bytes after the last cell make one more, empty, cell.
TEST_F(CallRowTest, TextAfterTheLastCellCountsAsACell) {
  EXPECT_EQ(Convert({"<td>1</td><td>07.12.2010</td> x"}), R"(<call time="2010-12-07 00000000"/>)");
}

TEST_F(CallRowTest, CallsFollowEachOtherInRowOrder) {
  std::vector<std::string> second = OrdinaryCells();
  second[9] = "1";
  EXPECT_EQ(Convert({RowOf(OrdinaryCells()), RowOf({"1", "2"}), RowOf(second)}),
            std::string(kOrdinaryCall) +
                R"(<call m="0" s="1" r1="Московская" r2="Москва" num="4957654321" pay="1,50" )"
                R"(code="1" time="2010-12-07 09:05:00" type="1"/>)");
}

TEST_F(CallRowTest, TagsInsideCellsAreStripped) {
  std::vector<std::string> cells = OrdinaryCells();
  cells[4] = "<b>&lt;--</b> <i>4957654321</i>";
  cells[10] = "<span class=\"sum\">1,50</span>";
  const std::string call = ConvertCells(cells);
  EXPECT_EQ(Attribute(call, "type"), "2");
  EXPECT_EQ(Attribute(call, "num"), " 4957654321");
  EXPECT_EQ(Attribute(call, "pay"), "1,50");
}

TEST_F(CallRowTest, DateAndTime) {
  struct Case {
    std::string date;
    std::string time;
    std::string expected;
  };
  const Case cases[] = {
      {"07.12.2010", "9:05:00", "2010-12-07 09:05:00"},
      {"07.12.2010", "23:59:59", "2010-12-07 23:59:59"},
      {"07.12.2010", "", "2010-12-07 00000000"},
      {"07.12.2010", "123456789", "2010-12-07 123456789"},
      {"07122010", "10:00:00", "-- 10:00:00"},
      // Without a date the time has nothing before it and is lost as well.
      {"", "10:00:00", "-- "},
      {"7.1.11", "1", "11-1-7 00000001"},
      {"07.12.2010", "09.05", "2010-12-07 00009.05"},
      {"07.12.2010", "9:05 pm", "2010-12-07 09:05"},
      {"07.12.2010",
       "\x01"
       "9:05:00",
       "2010-12-07 ?"
       "9:05:00"},
      {"07.12.2010", "9:05:00\x01", "2010-12-07 9:05:00"},
      {"07.12 2010", "10:00:00", "-12 2010 10:00:00-07 2010"},
      {"07.12.201x", "10:00:00", "201x-12-07 10:00:00"},
      {"07/12/2010", "10:00:00", "-- 10:00:00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date + " " + c.time);
    std::vector<std::string> cells = OrdinaryCells();
    cells[1] = c.date;
    cells[2] = c.time;
    EXPECT_EQ(Attribute(ConvertCells(cells), "time"), c.expected);
  }
}

TEST_F(CallRowTest, DirectionAndNumber) {
  struct Case {
    std::string cell;
    std::string type;
    std::string num;
  };
  const Case cases[] = {
      {"4957654321", "1", "4957654321"},
      {"&lt;-- 4957654321", "2", " 4957654321"},
      {"+7 &lt;-- 123", "2", "+7  123"},
      {"&lt;--", "2", ""},
      // Removing one arrow can form another; that one goes too.
      {"&l&lt;--t;--123", "2", "123"},
      {"&lt;--&lt;--5", "2", "5"},
      {"a&amp;&lt;--b", "2", "a&amp;amp;b"},
      {"--&gt; 4957654321", "1", "--&amp;gt; 4957654321"},
      {"", "1", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cell);
    const std::string call = WithCell(5, c.cell);
    EXPECT_EQ(Attribute(call, "type"), c.type);
    EXPECT_EQ(Attribute(call, "num"), c.num);
  }
}

// Also run where the code page has no Cyrillic letters (convert.no_cyrillic),
// which must give the same codes.
TEST_F(CallRowTest, ServiceCodes) {
  struct Case {
    std::string cell;
    std::string code;
  };
  const Case cases[] = {
      {"Телефония", "1"},
      {"ТЕЛЕФОНИЯ", "1"},
      {"Исходящий телефонный", "1"},
      {"SMS", "2"},
      {"Исх. SMS", "2"},
      {"WAP", "3"},
      {"GPRS-Internet", "4"},
      {"gprs", "4"},
      {"MMS", "5"},
      {"sms mms", "2"},
      {"mms sms", "2"},
      {"wap gprs", "3"},
      {"", "8"},
      {"Роуминг", "8"},
      {"Internet", "8"},
      {"S M S", "8"},
      {"Ёлка", "8"},
      {"ЁТЕЛ", "1"},
      {"Ѐтел", "1"},
      {"Тёл", "8"},
      {"ﾃ SMS", "2"},
  };
  // Twice over the same converter, so that remembered codes are met as well.
  std::vector<std::string> rows;
  for (const Case& c : cases) {
    std::vector<std::string> cells = OrdinaryCells();
    cells[7] = c.cell;
    rows.push_back(RowOf(cells));
  }
  const std::vector<std::string> once = rows;
  rows.insert(rows.end(), once.begin(), once.end());
  const std::string calls = Convert(rows);
  std::size_t from = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.cell);
      const std::size_t end = calls.find("/>", from) + 2;
      EXPECT_EQ(Attribute(calls.substr(from, end - from), "code"), c.code);
      from = end;
    }
  }
}

TEST_F(CallRowTest, ManyDistinctServiceCells) {
  for (int k = 0; k < 100; ++k) {
    const std::string cell = "Услуга " + std::to_string(k) + (k % 2 == 0 ? " SMS" : "");
    SCOPED_TRACE(cell);
    EXPECT_EQ(Attribute(WithCell(8, cell), "code"), k % 2 == 0 ? "2" : "8");
  }
}

TEST_F(CallRowTest, Durations) {
  struct Case {
    std::string cell;
    std::string s;
    std::string m;
  };
  const Case cases[] = {
      {"2:05", "125", "2,08"},
      {"0:59", "59", "0,98"},
      {"1:30", "90", "1,5"},
      {"45", "45", "0,75"},
      {"1", "1", "0"},
      {"01", "1", "0,02"},
      {"", "0", "0"},
      {"abc", "0", "0"},
      {"1:", "60", "1"},
      {":30", "30", "0,5"},
      {"10:059", "605", "10,08"},
      {"-1:30", "-30", "-0,5"},
      {"120:00", "7200", "120"},
      // Either side of the longest duration whose minute text is remembered.
      {"68:15", "4095", "68,25"},
      {"68:16", "4096", "68,27"},
      {" 2:05", "125", "2,08"},
      {"0000000002:05", "125", "2,08"},
      {"2:+5", "125", "2,08"},
      // Wider than 32 bits: the true total, not a wrapped one.
      {"99999999:59", "5999999999", "99999999,98"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cell);
    const std::string call = WithCell(10, c.cell);
    EXPECT_EQ(Attribute(call, "s"), c.s);
    EXPECT_EQ(Attribute(call, "m"), c.m);
  }
}

TEST_F(CallRowTest, MinutesUseTheLocaleSeparator) {
  separator_ = '.';
  EXPECT_EQ(Attribute(WithCell(10, "2:05"), "m"), "2.08");
  // A zero byte is a separator like any other, from the first row on; the
  // report writes it as "?", as every character XML forbids.
  separator_ = '\0';
  EXPECT_EQ(Attribute(WithCell(10, "2:05"), "m"), "2?08");
}

TEST_F(CallRowTest, CellTextReachesTheReportAsItStands) {
  struct Case {
    std::size_t cell;
    std::string text;
    std::string name;
    std::string written;
  };
  const Case cases[] = {
      {6, "Москва &amp; обл.", "r2", "Москва &amp;amp; обл."},
      {7, "a\"b", "r1", "a&quot;b"},
      {11, "\t1,50 \r\n", "pay", "1,50"},
      {11, "\xD0", "pay", "?"},
      {6, "Московская область, <b>Зеленоград</b>", "r2", "Московская область, Зеленоград"},
      {7, "0123456789abcdef<i>x", "r1", "0123456789abcdefx"},
      {7, "0123456<i>x", "r1", "0123456x"},
      {11, "=;>=;>=;>=;>=;>", "pay", "=;>=;>=;>=;>=;>"},
      {6,
       "\xE4\xB8"
       "A",
       "r2",
       "\xC4\xB8"
       "A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Attribute(WithCell(c.cell, c.text), c.name), c.written);
  }
}

TEST_F(CallRowTest, EachRowStartsTheCellWalkAfresh) {
  // A row without its date cell must not borrow the previous row's date.
  EXPECT_EQ(Convert({RowOf(OrdinaryCells()), RowOf({"1", "", "10:00:00"})}),
            std::string(kOrdinaryCall) + R"(<call time="-- "/>)");
}

}  // namespace
}  // namespace qv
