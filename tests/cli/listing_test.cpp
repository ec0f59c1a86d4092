// "calls" and "summary" held against the reports the conversion writes of
// the same details: the same calls, field by field, in both formats.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "../../fuzz/xml_check.h"
#include "convert/conversion.h"
#include "detail_generator.h"
#include "records.h"
#include "runtime/locale_formats.h"
#include "support/temp_folder.h"
#include "table_readers.h"
#include "tool.h"

namespace {

using qv::listing::Format;
using qv::listing::ListingOptions;
// Column to value; nothing for a JSON null.
using Row = std::map<std::string, std::optional<std::string>>;

// An optional "-", digits, and optionally "," or "." and more digits.
bool IsPlainDecimal(const std::string& text) {
  const auto digits = [&](std::size_t from, std::size_t to) {
    return to > from && text.find_first_not_of("0123456789", from) >= to;
  };
  const std::size_t start = text.starts_with('-') ? 1 : 0;
  const std::size_t separator = text.find_first_of(",.", start);
  if (separator == std::string::npos) return digits(start, text.size());
  return digits(start, separator) && digits(separator + 1, text.size());
}

std::string ReadFile(const std::string& path) {
  return qv::test::TempFolder::Read(path).value_or("");
}

std::vector<Row> CsvRows(const std::string& text) {
  const std::optional<qv::test::CsvRecords> records = qv::test::ReadCsv(text);
  EXPECT_TRUE(records) << text;
  std::vector<Row> rows;
  for (std::size_t i = 1; records && i < records->size(); ++i) {
    const std::vector<std::string>& header = records->front();
    EXPECT_EQ((*records)[i].size(), header.size());
    Row& row = rows.emplace_back();
    for (std::size_t column = 0; column < header.size(); ++column)
      row[header[column]] = (*records)[i].at(column);
  }
  return rows;
}

// Numbers must be bare wherever numberKeys holds the key and the value is set.
std::vector<Row> JsonRows(const std::vector<qv::test::JsonObject>& objects,
                          const std::vector<std::string>& numberKeys) {
  std::vector<Row> rows;
  for (const qv::test::JsonObject& object : objects) {
    Row& row = rows.emplace_back();
    for (const auto& [key, value] : object) {
      const bool number = std::count(numberKeys.begin(), numberKeys.end(), key) != 0;
      if (value.kind != qv::test::JsonValue::kNull) {
        EXPECT_EQ(value.kind == qv::test::JsonValue::kNumber, number) << key << " " << value.text;
      }
      row[key] =
          value.kind == qv::test::JsonValue::kNull ? std::nullopt : std::optional(value.text);
    }
  }
  return rows;
}

std::vector<Row> JsonLinesRows(const std::string& text) {
  std::vector<qv::test::JsonObject> objects;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    qv::test::JsonReader reader(line);
    std::optional<qv::test::JsonObject> object = reader.Object();
    EXPECT_TRUE(object && reader.End()) << line;
    if (object) objects.push_back(std::move(*object));
  }
  return JsonRows(objects, {"service_code", "seconds", "minutes", "charge"});
}

// Only the columns expected holds are compared; a null is empty in CSV.
void ExpectRows(const std::vector<Row>& expected, const std::vector<Row>& actual, bool csv) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    for (const auto& [key, value] : expected[i]) {
      ASSERT_TRUE(actual[i].contains(key)) << key;
      const std::optional<std::string> wanted = csv ? value.value_or("") : value;
      EXPECT_EQ(actual[i].at(key), wanted) << "row " << i << ", " << key;
    }
  }
}

class ListingTest : public ::testing::Test {
 protected:
  std::string Generated(const std::string& name, qv::bench::DetailKind kind) {
    std::string path = folder_.Path(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(qv::bench::WriteSyntheticDetail(file, 100 * 1024, 7, kind), 0u);
    std::fclose(file);
    return path;
  }
  std::vector<std::string> Details() {
    return {QV_SOURCE_DIR "/examples/sample.html",
            Generated("many.html", qv::bench::DetailKind::kManyBlocks),
            Generated("mix.html", qv::bench::DetailKind::kCyrillicMix)};
  }

  std::string Listing(qv::cli::ListingKind kind, const std::vector<std::string>& inputs,
                      const ListingOptions& options) {
    const std::string output = folder_.Path("listing");
    EXPECT_EQ(qv::cli::WriteListing({kind, inputs, output, false, options}), 0);
    return ReadFile(output);
  }
  std::string Calls(const std::vector<std::string>& inputs, const ListingOptions& options) {
    return Listing(qv::cli::ListingKind::kCalls, inputs, options);
  }
  std::string Summary(const std::vector<std::string>& inputs, Format format) {
    return Listing(qv::cli::ListingKind::kSummary, inputs, {format});
  }

  // The calls of the report, as the listing should give them.
  std::vector<Row> ReportCalls(const std::string& input) {
    const char separator = qv::UserLocaleFormats().decimalSeparator;
    const std::string report = folder_.Path("report.xml");
    qv::ConvertDetail(input, report, {separator});
    const qv::fuzz::XmlReading reading = qv::fuzz::ReadXml(ReadFile(report));
    EXPECT_EQ(reading.error, "");
    std::vector<Row> rows;
    for (const qv::fuzz::XmlElement& phone : reading.root.children) {
      for (const qv::fuzz::XmlElement& call : phone.children) {
        std::map<std::string, std::string> a(call.attributes.begin(), call.attributes.end());
        const auto get = [&](const char* name) -> std::optional<std::string> {
          if (!a.contains(name)) return std::nullopt;
          return a[name];
        };
        std::string minutes = a["m"];
        std::replace(minutes.begin(), minutes.end(), separator, '.');
        std::string charge = a["pay"];
        if (IsPlainDecimal(charge)) std::replace(charge.begin(), charge.end(), ',', '.');
        const std::string type = a["type"];
        rows.push_back({{"file", input},
                        {"phone", phone.text.substr(0, phone.text.find_last_not_of(" \r\n") + 1)},
                        {"time", get("time")},
                        {"direction", type == "1"   ? "out"
                                      : type == "2" ? std::optional<std::string>("in")
                                                    : std::nullopt},
                        {"number", get("num")},
                        {"call_zone", get("r2")},
                        {"destination_zone", get("r1")},
                        {"service_code", get("code")},
                        {"seconds", get("s")},
                        {"minutes", get("m") ? std::optional(minutes) : std::nullopt},
                        {"charge", get("pay") ? std::optional(charge) : std::nullopt}});
      }
    }
    return rows;
  }

  qv::test::TempFolder folder_{"qv_listing_"};
};

TEST_F(ListingTest, CallsAreTheReportsCallsInBothFormats) {
  const std::vector<std::string> details = Details();
  std::vector<Row> expected;
  for (const std::string& detail : details) {
    const std::vector<Row> calls = ReportCalls(detail);
    expected.insert(expected.end(), calls.begin(), calls.end());
  }
  ASSERT_GT(expected.size(), 600u);
  // The report's own rows and values; the calls among them are those whose
  // time is a date and time.
  ListingOptions asInReport{Format::kCsv};
  asInReport.raw = asInReport.allRows = true;
  ExpectRows(expected, CsvRows(Calls(details, asInReport)), true);
  asInReport.format = Format::kJsonLines;
  ExpectRows(expected, JsonLinesRows(Calls(details, asInReport)), false);
  std::erase_if(expected, [](const Row& row) { return !row.at("time")->starts_with("20"); });
  // Cleaned text is held against its own cases below.
  for (Row& row : expected)
    std::erase_if(row, [](const auto& cell) {
      return cell.first == "number" || cell.first.ends_with("zone");
    });
  ExpectRows(expected, CsvRows(Calls(details, {Format::kCsv})), true);
}

struct Tally {
  std::string file, phone, first, last;
  std::int64_t out = 0, in = 0, seconds = 0, cents = 0;
  std::array<std::int64_t, 6> codes{};
};

// Every charge of these details has two decimals.
std::vector<Row> SummaryOf(const std::vector<Row>& calls) {
  std::vector<Tally> tallies;
  for (const Row& call : calls) {
    const std::string time = *call.at("time");
    if (tallies.empty() || tallies.back().phone != call.at("phone") ||
        tallies.back().file != call.at("file"))
      tallies.push_back({*call.at("file"), *call.at("phone"), time, time});
    Tally& tally = tallies.back();
    tally.first = std::min(tally.first, time);
    tally.last = std::max(tally.last, time);
    (call.at("direction") == "out" ? tally.out : tally.in) += 1;
    tally.seconds += std::stoll(*call.at("seconds"));
    const std::string charge = *call.at("charge");
    tally.cents += std::stoll(charge.substr(0, charge.size() - 3)) * 100 +
                   std::stoll(charge.substr(charge.size() - 2));
    tally.codes[std::string("123458").find(*call.at("service_code"))] += 1;
  }
  std::vector<Row> rows;
  for (const Tally& t : tallies) {
    char charge[32];
    std::snprintf(charge, sizeof charge, "%lld.%02lld", static_cast<long long>(t.cents / 100),
                  static_cast<long long>(t.cents % 100));
    Row row{{"file", t.file},
            {"phone", t.phone},
            {"first_call", t.first},
            {"last_call", t.last},
            {"calls_out", std::to_string(t.out)},
            {"calls_in", std::to_string(t.in)},
            {"seconds", std::to_string(t.seconds)},
            {"charge", charge}};
    for (std::size_t i = 0; i < t.codes.size(); ++i)
      row[std::string("code_") + "123458"[i]] = std::to_string(t.codes[i]);
    rows.push_back(std::move(row));
  }
  return rows;
}

TEST_F(ListingTest, SummaryAddsUpTheCalls) {
  const std::vector<std::string> details = Details();
  std::vector<Row> calls = CsvRows(Calls(details, {Format::kCsv}));
  const std::vector<Row> expected = SummaryOf(calls);
  // The table ends with the sums over every call, all files together.
  for (Row& call : calls) call["file"] = call["phone"] = "total";
  std::string total;
  for (const char* key : {"file", "first_call", "last_call", "calls_out", "calls_in", "seconds",
                          "charge", "code_1", "code_2", "code_3", "code_4", "code_5", "code_8"})
    total += " " + *SummaryOf(calls).front().at(key);
  std::istringstream table(Summary(details, Format::kText));
  std::string lastLine;
  for (std::string line; std::getline(table, line);) lastLine = " " + line;
  lastLine.erase(std::unique(lastLine.begin(), lastLine.end(),
                             [](char a, char b) { return a == ' ' && b == ' '; }),
                 lastLine.end());
  EXPECT_EQ(lastLine, total);
  ExpectRows(expected, CsvRows(Summary(details, Format::kCsv)), true);
  const std::optional<std::vector<qv::test::JsonObject>> objects =
      qv::test::JsonReader(Summary(details, Format::kJson)).Array();
  ASSERT_TRUE(objects);
  ExpectRows(expected,
             JsonRows(*objects, {"calls_out", "calls_in", "seconds", "charge", "code_1", "code_2",
                                 "code_3", "code_4", "code_5", "code_8"}),
             false);
}

// Values cleaned for analysis by default, and written as valid CSV and JSON;
// a text column is never taken for a number.
TEST_F(ListingTest, AwkwardCellsComeOutCleanedAsValidCsvAndJson) {
  struct Case {
    std::string cell;
    std::string value;
    std::string raw;
  };
  const Case cases[] = {
      {"a,b", "a,b", "a,b"},
      {"say \"hi\"", "say \"hi\"", "say \"hi\""},
      {"back\\slash", "back\\slash", "back\\slash"},
      {"two\nlines", "two\r\nlines", "two\r\nlines"},
      {"tab\tand\x01\x1B[2J and \x7F", "tab\tand??[2J and \x7F", "tab\tand??[2J and \x7F"},
      {"bad \xFF byte", "bad ? byte", "bad ? byte"},
      {"&amp; &quot;x&quot; &#1046;&#x416; &bogus; &#0; &#27;", "& \"x\" ЖЖ &bogus; &#0; ?",
       "&amp; &quot;x&quot; &#1046;&#x416; &bogus; &#0; &#27;"},
      {"&nbsp; 1,5\xC2\xA0", "1,5", "&nbsp; 1,5\xC2\xA0"},
      {"Зона «Ц»\xC2\xA0\xD0", "Зона «Ц» ?", "Зона «Ц»\xC2\xA0?"},
      {"", "", ""},
  };
  // The block's heading row is a row of the report, not a call.
  std::string page = qv::bench::PageHead("01.03.2011 по 31.03.2011", "x") +
                     "<tr><td colspan=\"11\">Абонентский номер: 9161234567</td></tr>\r\n"
                     "<tr><td>№</td><td>Дата</td><td>Время</td><td></td><td>Номер</td><td>Зона</td>"
                     "<td>r1</td><td>Услуга</td><td></td><td>Длит.</td><td>Сумма</td></tr>\r\n";
  for (const Case& c : cases)
    page += "<tr><td>1</td><td>01.03.2011</td><td>09:05:17</td><td></td><td>4957654321</td><td>" +
            c.cell + "</td><td>r1</td><td>SMS</td><td></td><td>1</td><td>1,50</td></tr>\r\n";
  page += qv::bench::kPageTail;
  const std::string detail = folder_.Write("awkward.html", page);
  ListingOptions raw{Format::kCsv};
  raw.raw = raw.allRows = true;
  const std::vector<Row> csv = CsvRows(Calls({detail}, {Format::kCsv}));
  const std::vector<Row> json = JsonLinesRows(Calls({detail}, {Format::kJsonLines}));
  const std::vector<Row> rawRows = CsvRows(Calls({detail}, raw));
  ASSERT_EQ(csv.size(), std::size(cases));
  ASSERT_EQ(json.size(), std::size(cases));
  ASSERT_EQ(rawRows.size(), std::size(cases) + 1);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].cell);
    EXPECT_EQ(csv[i].at("call_zone"), cases[i].value);
    EXPECT_EQ(json[i].at("call_zone"), cases[i].value);
    EXPECT_EQ(rawRows[i + 1].at("call_zone"), cases[i].raw);
  }
  const std::vector<Row> summary = CsvRows(Summary({detail}, Format::kCsv));
  ASSERT_EQ(summary.size(), 1u);
  EXPECT_EQ(summary[0].at("calls_out"), std::to_string(std::size(cases)));
  EXPECT_EQ(summary[0].at("code_8"), "0");
}

}  // namespace
