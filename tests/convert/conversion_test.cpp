#include "convert/conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "maker.h"
#include "runtime/locale_formats.h"
#include "runtime/service_error.h"
#include "support/detail_model.h"
#include "support/printed_report.h"
#include "support/temp_folder.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string kHeading = "<h3>Состоявшиеся разговоры</h3>";

std::string Page(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

std::string SubscriberRow(const std::string& cell) {
  return "<tr><td colspan=\"11\">" + cell + "</td></tr>";
}

std::string CallRow(const std::vector<std::string>& cells) {
  std::string row = "<tr>";
  for (const std::string& cell : cells) row += "<td>" + cell + "</td>";
  return row + "</tr>";
}

const std::string kRowOutgoing = CallRow({"1", "07.12.2010", "9:05:00", "", "4957654321", "Москва",
                                          "Московская", "Телефония", "", "2:05", "1,50"});
const std::string kCallOutgoing =
    R"(<call m="2,08" s="125" r1="Московская" r2="Москва" num="4957654321" pay="1,50" )"
    R"(code="1" time="2010-12-07 09:05:00" type="1"/>)";
const std::string kRowSms = CallRow({"2", "07.12.2010", "10:15:30", "", "&lt;-- 9031112233",
                                     "Москва", "Московская", "SMS", "", "1", "0,00"});
const std::string kCallSms =
    R"(<call m="0" s="1" r1="Московская" r2="Москва" num=" 9031112233" pay="0,00" )"
    R"(code="2" time="2010-12-07 10:15:30" type="2"/>)";
const std::string kRowGprs = CallRow({"1", "08.12.2010", "23:01:02", "", "&lt;--4951234567",
                                      "Тверь", "Тверская", "GPRS-Internet", "", "0:30", "2,00"});
const std::string kCallGprs =
    R"(<call m="0,5" s="30" r1="Тверская" r2="Тверь" num="4951234567" pay="2,00" )"
    R"(code="4" time="2010-12-08 23:01:02" type="2"/>)";

class ConversionTest : public ::testing::Test {
 protected:
  static std::optional<std::string> Read(const std::string& path) {
    return test::TempFolder::Read(path);
  }
  // The error message, or nothing when the conversion succeeded.
  static std::optional<std::string> Convert(const std::string& input, const std::string& output) {
    try {
      ConvertDetail(input, output, {','});
    } catch (const ServiceError& error) {
      return error.what();
    }
    return std::nullopt;
  }
  // The subscriber numbers the walk finds, as the detail holds them.
  static std::vector<std::string> SubscribersOf(const std::string& input) {
    struct Numbers final : DetailEvents {
      void Subscriber(std::string_view number) override { numbers.emplace_back(number); }
      void Call(const CallRecord&) override {}
      std::vector<std::string> numbers;
    } events;
    WalkDetail(input, {','}, events);
    return events.numbers;
  }
  std::string ConvertPage(const std::string& bytes) {
    const std::string input = folder_.Write("detail.html", bytes);
    const std::optional<std::string> error = Convert(input, folder_.Path("report.xml"));
    EXPECT_EQ(error, std::nullopt);
    for (const std::string& name : folder_.Names()) EXPECT_FALSE(name.ends_with(".tmp")) << name;
    return Read(folder_.Path("report.xml")).value_or("<no report>");
  }
  static std::string Report(const std::string& input, const std::string& body) {
    return "<?xml version=\"1.0\"?>\r\n<report>\r\n"
           "  <application>Подготовлено для программы Quarvel</application>\r\n"
           "  <url>" QV_MAKER_URL
           "</url>\r\n"
           "  <filename>" +
           input +
           "</filename>\r\n"
           "  <library>qvmtsfrs.dll</library>" +
           body + "\r\n</report>\r\n";
  }
  static std::string Phone(const std::string& number, const std::string& calls) {
    if (number.empty() && calls.empty()) return "\r\n  <phone/>";
    return "\r\n  <phone>" + number + calls + "\r\n  </phone>";
  }
  void ExpectUserSettings() const {
    EXPECT_EQ(UserLocaleFormats().dateSeparator, user_.dateSeparator);
    EXPECT_EQ(UserLocaleFormats().shortDatePattern, user_.shortDatePattern);
    EXPECT_EQ(UserLocaleFormats().decimalSeparator, user_.decimalSeparator);
  }

  test::TempFolder folder_{"qv_conversion_"};
  LocaleFormatsRecord user_ = UserLocaleFormats();
};

TEST_F(ConversionTest, SubscriberBlocksBecomePhoneElements) {
  const std::string page = Page({
      "<html><body>",
      "<p>Детализация за период с 01.12.2010 по 31.12.2010</p>",
      kHeading,
      "<table>",
      SubscriberRow("Абонентский номер 9161234567"),
      kRowOutgoing,
      "",
      kRowSms,
      "<tr><td colspan=\"11\">dropped with the line end before the total</td></tr>",
      "<tr><td colspan=\"9\">Итого</td><td>2:06</td><td>1,50</td></tr>",
      SubscriberRow("Абонентский номер 9161234568"),
      kRowGprs,
      "</table>",
      "</body></html>",
  });
  EXPECT_EQ(ConvertPage(page),
            Report(folder_.Path("detail.html"),
                   Phone("9161234567", kCallOutgoing + kCallSms) + Phone("9161234568", kCallGprs)));
  ExpectUserSettings();
}

// Rows met while looking for a subscriber are taken cell by cell and yield
// nothing; without a total row the next subscriber's row is just a row.
TEST_F(ConversionTest, MainLoopModes) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    std::string body;
  };
  const Case cases[] = {
      {"rows before the first subscriber",
       {"<html>", kHeading, kRowSms, SubscriberRow("Абонентский номер 9161234567"), kRowOutgoing,
        "</table>"},
       Phone("9161234567", kCallOutgoing)},
      {"a block that is never closed",
       {"<html>", kHeading, SubscriberRow("Абонентский номер 9161234567"), kRowOutgoing,
        SubscriberRow("Абонентский номер 9161234568"), kRowSms, "</table>"},
       Phone("9161234567", kCallOutgoing + kCallSms)},
      {"a total row with more rows on its line",
       {"<html>", kHeading, SubscriberRow("Абонентский номер 9161234567"), kRowOutgoing,
        "<tr><td>-</td></tr>", "<tr><td>Итого</td></tr>" + kRowSms,
        SubscriberRow("Абонентский номер 9161234568"), kRowGprs, "</table>"},
       Phone("9161234567", kCallOutgoing) + Phone("9161234568", kCallGprs)},
      {"a total row not followed by a subscriber is pruned",
       {"<html>", kHeading, SubscriberRow("Абонентский номер 9161234567"), kRowOutgoing,
        "<tr><td>-</td></tr>", "<tr><td>Итого</td></tr>", kRowSms, "</table>"},
       Phone("9161234567", kCallOutgoing)},
      {"no subscriber at all", {"<html>", kHeading, kRowOutgoing, kRowSms}, ""},
      {"a subscriber without a number",
       {"<html>", kHeading, SubscriberRow("Абонентский номер"), kRowSms,
        SubscriberRow("Абонентский номер 9161234567"), kRowOutgoing, "</table>"},
       Phone("", "") + Phone("9161234567", kCallOutgoing)},
      {"a subscriber line that also holds the total goes with its block",
       {"<html>", kHeading, SubscriberRow("Абонентский номер 9161234567 Итого"), kRowOutgoing,
        "</table>"},
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ConvertPage(Page(c.lines)), Report(folder_.Path("detail.html"), c.body));
  }
}

TEST_F(ConversionTest, SubscriberCells) {
  struct Case {
    std::string cell;
    std::string phone;
  };
  const Case cases[] = {
      {"Абонентский номер 9161234567", "9161234567"},
      {"Абонентский номер 79161234567", "9161234567"},
      {"Абонентский номер: 9161234567", "9161234567"},
      {"Абонентский номер:+79161234567", "9161234567"},
      {"Абонентский номер 916", "916"},
      {"<b>Абонентский номер</b>\t9161234567 ", "9161234567"},
      {"Тел. Абонентский номер 9161234567", "9161234567"},
      // The number is taken after the cell's first 33 bytes, wherever the
      // marker stands: here the last four bytes of the marker come along.
      {"No. Абонентский номер 12", "ер 12"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cell);
    const std::string page =
        Page({"<html>", kHeading, SubscriberRow(c.cell), kRowOutgoing, "</table>"});
    const std::string report = ConvertPage(page);
    EXPECT_EQ(SubscribersOf(folder_.Path("detail.html")), std::vector<std::string>{c.phone});
    if (c.phone.find("ер") == std::string::npos) {
      EXPECT_EQ(report, Report(folder_.Path("detail.html"), Phone(c.phone, kCallOutgoing)));
    }
  }
}

// Whatever the outcome, no temporary file of the report stays behind.
TEST_F(ConversionTest, FailuresRestoreTheSettingsAndWriteWhatWasBuilt) {
  const std::string good = Page({"<html>", kHeading, SubscriberRow("Абонентский номер 9161234567"),
                                 kRowOutgoing, "</table>"});
  const std::string report = folder_.Path("report.xml");
  const std::string unwritable = folder_.Path("missing/report.xml");
  struct Case {
    const char* what;
    std::optional<std::string> input;  // none: the file does not exist
    std::string output;
    std::string error;
    bool reportWritten;
  };
  const std::string listIndex = "List index (1) out of bounds";
  const std::string createError = "Unable to create file \"" + unwritable + "\"";
  const Case cases[] = {
      {"input missing", std::nullopt, report,
       "Unable to open file \"" + folder_.Path("detail.html") + "\"", false},
      {"empty input", "", report, listIndex, true},
      {"one line", kHeading + "\r\n", report, listIndex, true},
      {"no heading", Page({"<html>", SubscriberRow("Абонентский номер 1"), kRowOutgoing}), report,
       listIndex, true},
      {"heading on the last line", Page({"<html>", "", kHeading}), report, listIndex, true},
      {"output not creatable", good, unwritable, createError, false},
      {"both: the write error wins", "", unwritable, createError, false},
      {"output a folder", good, folder_.Path(""),
       "Unable to create file \"" + folder_.Path("") + "\"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(folder_.Path("detail.html"));
    fs::remove(report);
    if (c.input) folder_.Write("detail.html", *c.input);
    EXPECT_EQ(Convert(folder_.Path("detail.html"), c.output), c.error);
    ExpectUserSettings();
    if (c.reportWritten) {
      EXPECT_EQ(Read(c.output), Report(folder_.Path("detail.html"), ""));
    } else if (c.output == report) {
      EXPECT_EQ(Read(c.output), std::nullopt);
    }
    for (const std::string& name : folder_.Names()) EXPECT_FALSE(name.ends_with(".tmp")) << name;
  }
}

TEST_F(ConversionTest, RepeatedConversionsOfAnUnclosedBlockAgree) {
  const std::string input = folder_.Write(
      "detail.html", Page({"<html>", kHeading, SubscriberRow("Абонентский номер 9161234567"),
                           kRowOutgoing, kRowSms, "</table>"}));
  ASSERT_EQ(Convert(input, folder_.Path("first.xml")), std::nullopt);
  ASSERT_EQ(Convert(input, folder_.Path("second.xml")), std::nullopt);
  EXPECT_EQ(Read(folder_.Path("first.xml")), Read(folder_.Path("second.xml")));
  EXPECT_EQ(Read(folder_.Path("first.xml")),
            Report(input, Phone("9161234567", kCallOutgoing + kCallSms)));
}

TEST_F(ConversionTest, FileNameIsThePathAsGiven) {
  const std::string page = Page({"<html>", kHeading, "</table>"});
  fs::create_directories(folder_.Folder() / "sub dir");
  const std::string input = folder_.Write("sub dir/a&b.html", page);
  ASSERT_EQ(Convert(input, folder_.Path("report.xml")), std::nullopt);
  const std::string escaped = folder_.Path("sub dir/a&amp;b.html");
  EXPECT_EQ(Read(folder_.Path("report.xml")), Report(escaped, ""));
}

TEST_F(ConversionTest, BrokenInputNeverBreaksTheConversion) {
  std::string endless = "<td>Абонентский номер 9161234567</td>";
  for (int k = 0; k < 20000; ++k) endless += kRowOutgoing;
  std::string wide = "<tr>";
  for (int k = 0; k < 500; ++k) wide += "<td>" + std::to_string(k) + "</td>";
  wide += "</tr>";
  const std::string subscriber = SubscriberRow("Абонентский номер 9161234567");
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"empty", ""},
      {"byte 0", std::string(1, '\0')},
      {"byte 26", "\x1a"},
      {"bytes 0 and 26 in rows", Page({"<html>", kHeading, subscriber,
                                       "<tr><td>\0\x1a</td><td>\x1a</td><td>\0:\0</td></tr>"s}) +
                                     "\0\x1a"s},
      {"truncated UTF-8",
       Page({"<html>", kHeading, subscriber,
             CallRow({"\xD0", "07.12.2010\xE2\x82", "9:05", "", "\xF0\x9F\x98", "\xC0\xAF", "\xFF",
                      "\xD0\xA2\xD0", "", "\xE4\xB8", "\xD0"})})},
      {"one endless line", Page({kHeading, endless})},
      {"one endless line without markup", Page({kHeading, std::string(1 << 20, 'x')})},
      {"stray markup", Page({"<html>", kHeading, subscriber, "<tr><td>1/2</td><<//td></ tr",
                             "<td>>>/", "</", "<", "<tr", "<td"})},
      {"a row of 500 cells", Page({"<html>", kHeading, subscriber, wide, "</table>"})},
      {"lone CR and LF line ends",
       "<html>\r" + kHeading + "\n" + subscriber + "\n\r" + kRowOutgoing + "\r"},
      {"no line end after the last row", "<html>\r\n" + kHeading + "\r\n" + subscriber},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(folder_.Path("report.xml"));
    const std::string input = folder_.Write("detail.html", c.bytes);
    const std::optional<std::string> error = Convert(input, folder_.Path("report.xml"));
    if (error) {
      EXPECT_EQ(*error, "List index (1) out of bounds");
    }
    ExpectUserSettings();
    const std::string report = Read(folder_.Path("report.xml")).value_or("");
    EXPECT_TRUE(report.starts_with("<?xml version=\"1.0\"?>\r\n<report>\r\n"));
    EXPECT_TRUE(report.ends_with("\r\n</report>\r\n"));
  }
}

TEST_F(ConversionTest, EndlessLineIsConvertedWhole) {
  std::string endless = "<td>Абонентский номер 9161234567</td>";
  std::string calls;
  for (int k = 0; k < 1000; ++k) {
    endless += kRowOutgoing;
    calls += kCallOutgoing;
  }
  EXPECT_EQ(ConvertPage(Page({kHeading, endless})),
            Report(folder_.Path("detail.html"), Phone("9161234567", calls)));
}

// The report of a detail walked as its bytes arrive in pieces of the sizes
// pieceSize gives, with the failure's message after it.
template <class PieceSize>
std::string PrintedInPieces(std::string_view detail, PieceSize pieceSize) {
  test::StringOutput out;
  ReportPrinter printer(out, "detail.html");
  DetailWalk walk(printer, ',');
  std::string failure;
  try {
    for (std::size_t at = 0; at < detail.size();) {
      const std::span<char> space = walk.Space();
      const std::size_t piece = std::min({pieceSize(), detail.size() - at, space.size()});
      std::memcpy(space.data(), detail.data() + at, piece);
      walk.Added(piece);
      at += piece;
    }
    walk.Finish();
  } catch (const ServiceError& error) {
    failure = error.what();
  }
  printer.End();
  return out.Joined() + failure;
}

// The same from the whole detail in a list, pruned and walked in one piece.
std::string PrintedByModel(const std::string& detail) {
  test::StringOutput out;
  ReportPrinter printer(out, "detail.html");
  const test::PrunedDetail pruned = test::PruneLineByLine(detail);
  if (!pruned.error) test::WalkJoinedText(pruned.joined, ',', printer);
  printer.End();
  return out.Joined() + pruned.error.value_or("");
}

// Wherever the pieces of a detail end (in a line end, a tag, a UTF-8
// sequence), and however its rows span lines, the report is the one of the
// whole detail pruned and walked at once.
TEST_F(ConversionTest, PiecesOfAnySizeGiveTheSameReport) {
  const std::string sample = Read(QV_SOURCE_DIR "/examples/sample.html").value_or("");
  const std::string pieces[] = {"<",    ">",    "/",      "</td>", "<tr>", "\r", "\n",
                                "\r\n", "\x1a", "&lt;--", "Итого", "\xD0", "td"};
  std::mt19937 random(20110301);
  std::vector<std::string> details = {sample, "", "x\r", kHeading + "\r\n\r\n", sample + "\r"};
  for (int k = 0; k < 150; ++k) {
    std::string detail = sample;
    for (int change = 0; change < 8; ++change) {
      const std::size_t at = random() % (detail.size() + 1);
      if (random() % 2 == 0) {
        detail.erase(at, random() % 60);
      } else {
        detail.insert(at, pieces[random() % std::size(pieces)]);
      }
    }
    details.push_back(detail);
  }
  for (const std::string& detail : details) {
    SCOPED_TRACE(detail);
    const std::string whole = PrintedByModel(detail);
    ASSERT_EQ(PrintedInPieces(detail, [] { return std::size_t{1} << 30; }), whole);
    ASSERT_EQ(PrintedInPieces(detail, [] { return std::size_t{1}; }), whole);
    ASSERT_EQ(PrintedInPieces(detail, [&] { return 1 + random() % 97; }), whole);
  }
}

// The bundled sample converts to the report committed next to it, written
// as under a Russian locale.
TEST_F(ConversionTest, BundledSample) {
  const fs::path previous = fs::current_path();
  fs::current_path(QV_SOURCE_DIR);
  const std::optional<std::string> error =
      Convert("examples/sample.html", folder_.Path("sample.xml"));
  fs::current_path(previous);
  ASSERT_EQ(error, std::nullopt);
  const std::optional<std::string> expected =
      Read(std::string(QV_SOURCE_DIR) + "/examples/sample.report.xml");
  ASSERT_TRUE(expected.has_value());
  EXPECT_EQ(Read(folder_.Path("sample.xml")), expected);
}

}  // namespace
}  // namespace qv
