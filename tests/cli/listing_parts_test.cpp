// The exact totals of charges and the terminal table of the summary.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "listings.h"
#include "plain_decimal.h"
#include "records.h"

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
    qv::listing::DecimalTotal total;
    for (const std::string& number : c.numbers) total.Add(*qv::listing::ParsePlainDecimal(number));
    EXPECT_EQ(total.Text(), c.total);
  }
}

TEST(DecimalTotal, OnlyPlainDecimalsAreNumbers) {
  for (const char* text : {"", "-", "1,", ",5", "1,2,3", "+1", "1e5", " 1", "1 ", "1.5р", "--1"})
    EXPECT_FALSE(qv::listing::ParsePlainDecimal(text)) << text;
  struct Case {
    const char* text;
    const char* withPoint;
    const char* json;
  };
  for (const Case& c :
       {Case{"-007,50", "-007.50", "-7.50"}, Case{"0", "0", "0"}, Case{"12.3", "12.3", "12.3"}}) {
    std::string withPoint;
    std::string json;
    qv::listing::AppendDecimal(*qv::listing::ParsePlainDecimal(c.text), '.', withPoint);
    qv::listing::AppendAsJsonNumber(*qv::listing::ParsePlainDecimal(c.text), json);
    EXPECT_EQ(withPoint, c.withPoint);
    EXPECT_EQ(json, c.json);
  }
}

// The exact bytes of each dialect: quoting, line ends, the decimal
// separator of number columns only, and the spreadsheet's formula guard.
TEST(RecordWriter, DialectsWriteExactBytes) {
  using qv::listing::Format;
  using qv::listing::ListingOptions;
  struct Sink final : qv::ReportOutput {
    void Write(const char* data, std::size_t size) override { text.append(data, size); }
    std::string text;
  };
  const std::string_view names[] = {"text", "amount"};
  const std::vector<std::vector<qv::listing::Field>> records = {
      {{"1,5"}, {"-1,5", true}},
      {{"=SUM(A1)"}, {"", true}},
      {{"a\x7F\"b"}, {"x;y", true}},
      {{std::nullopt}, {std::nullopt, true}}};
  ListingOptions noHeader{Format::kCsv, '\t', true, false};
  ListingOptions excel{Format::kCsv};
  excel.excel = true;
  struct Case {
    ListingOptions options;
    const char* bytes;
  };
  const Case cases[] = {
      {{Format::kCsv}, "text,amount\n\"1,5\",-1.5\n=SUM(A1),\n\"a\x7F\"\"b\",x;y\n,\n"},
      {noHeader, "1,5\t-1.5\r\n=SUM(A1)\t\r\n\"a\x7F\"\"b\"\tx;y\r\n\t\r\n"},
      {excel,
       "\xEF\xBB\xBFtext;amount\r\n1,5;-1,5\r\n'=SUM(A1);\r\n\"a\x7F\"\"b\";\"x;y\"\r\n;\r\n"},
      {{Format::kCsv, '.'}, "text.amount\n1,5.\"-1.5\"\n=SUM(A1).\n\"a\x7F\"\"b\".x;y\n.\n"},
      {{Format::kJsonLines},
       "{\"text\":\"1,5\",\"amount\":-1.5}\n{\"text\":\"=SUM(A1)\",\"amount\":null}\n"
       "{\"text\":\"a\x7F\\\"b\",\"amount\":\"x;y\"}\n{\"text\":null,\"amount\":null}\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    Sink sink;
    qv::listing::OutputBuffer buffer(sink);
    qv::listing::RecordWriter writer(buffer, c.options, names);
    for (const auto& record : records) writer.Write(record);
    writer.Finish();
    buffer.Flush();
    EXPECT_EQ(sink.text, c.bytes);
  }
}

TEST(TextTable, PadsByCharactersAndShowsControlsAsQuestionMarks) {
  using qv::listing::Field;
  qv::listing::TextTable table;
  table.AddRow(std::array{Field{"phone"}, Field{"charge", true}});
  table.AddRow(std::array{Field{"Иванов"}, Field{"6.75", true}});
  table.AddRow(std::array{Field{"a\x1b[2Jb\xC2\x9B"}, Field{"103.60", true}});
  table.AddRow(std::array{Field{"x"}, Field{std::nullopt, true}});
  std::string text;
  table.AppendTo(text);
  EXPECT_EQ(text,
            "phone    charge\n"
            "Иванов     6.75\n"
            "a?[2Jb?  103.60\n"
            "x\n");
}

}  // namespace
