// The exact totals of charges and the terminal table of the summary.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "plain_decimal.h"
#include "text_table.h"

namespace {

TEST(DecimalTotal, SumsExactlyWithTheMostDecimalsMet) {
  struct Case {
    std::vector<std::string> numbers;
    const char* total;
  };
  const Case cases[] = {
      {{}, "0"},
      {{"1,50", "2.5", "-0,25"}, "3.75"},
      {{"0,1", "0,1", "0,1", "0,1", "0,1", "0,1", "0,1", "0,1", "0,1", "0,1"}, "1.0"},
      {{"-1", "0,5"}, "-0.5"},
      {{"-2,50", "2,5"}, "0.00"},
      {{"007", "-0"}, "7"},
      {{"99999999999999999999999,99", "0,01"}, "100000000000000000000000.00"},
      {{"-99999999999999999999999", "-1", "5,125"}, "-99999999999999999999994.875"},
  };
  for (const Case& c : cases) {
    qv::cli::DecimalTotal total;
    for (const std::string& number : c.numbers) total.Add(*qv::cli::ParsePlainDecimal(number));
    EXPECT_EQ(total.Text(), c.total);
  }
}

TEST(DecimalTotal, OnlyPlainDecimalsAreNumbers) {
  for (const char* text : {"", "-", "1,", ",5", "1,2,3", "+1", "1e5", " 1", "1 ", "1.5р", "--1"})
    EXPECT_FALSE(qv::cli::ParsePlainDecimal(text)) << text;
  struct Case {
    const char* text;
    const char* withPoint;
    const char* json;
  };
  for (const Case& c :
       {Case{"-007,50", "-007.50", "-7.50"}, Case{"0", "0", "0"}, Case{"12.3", "12.3", "12.3"}}) {
    std::string withPoint;
    std::string json;
    qv::cli::AppendWithPoint(*qv::cli::ParsePlainDecimal(c.text), withPoint);
    qv::cli::AppendAsJsonNumber(*qv::cli::ParsePlainDecimal(c.text), json);
    EXPECT_EQ(withPoint, c.withPoint);
    EXPECT_EQ(json, c.json);
  }
}

TEST(TextTable, PadsByCharactersAndShowsControlsAsQuestionMarks) {
  qv::cli::TextTable table({false, true});
  table.AddRow({"phone", "charge"});
  table.AddRow({"Иванов", "6.75"});
  table.AddRow({"a\x1b[2Jb\xC2\x9B", "103.60"});
  std::string text;
  table.AppendTo(text);
  EXPECT_EQ(text,
            "phone    charge\n"
            "Иванов     6.75\n"
            "a?[2Jb?  103.60\n");
}

}  // namespace
