// The report's exact bytes: layout, escaping, UTF-8, and pieces handed out
// across the printer's buffer.
#include "convert/report_printer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maker.h"
#include "support/printed_report.h"

namespace qv {
namespace {

using test::PrintedReport;

// The report around its subscribers, filename d.html.
std::string Report(const std::string& body) {
  return "<?xml version=\"1.0\"?>\r\n<report>\r\n"
         "  <application>Подготовлено для программы Quarvel</application>\r\n"
         "  <url>" QV_MAKER_URL
         "</url>\r\n"
         "  <filename>d.html</filename>\r\n"
         "  <library>qvmtsfrs.dll</library>" +
         body + "\r\n</report>\r\n";
}

TEST(ReportPrinter, PhoneLayouts) {
  struct Case {
    const char* what;
    std::vector<test::PhoneCalls> phones;
    std::string body;
  };
  const Case cases[] = {
      {"no subscriber", {}, ""},
      {"no number, no calls", {{"", {}}}, "\r\n  <phone/>"},
      {"number, no calls", {{"916", {}}}, "\r\n  <phone>916</phone>"},
      {"number and three calls",
       {{"916", {"1", "2", "3"}}},
       "\r\n  <phone>916<call num=\"1\"/><call num=\"2\"/><call num=\"3\"/>\r\n  </phone>"},
      {"calls without a number",
       {{"", {"1", "2"}}},
       "\r\n  <phone>\r\n    <call num=\"1\"/>\r\n    <call num=\"2\"/>\r\n  </phone>"},
      {"two subscribers",
       {{"1", {"a"}}, {"2", {}}},
       "\r\n  <phone>1<call num=\"a\"/>\r\n  </phone>\r\n  <phone>2</phone>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(PrintedReport(c.phones), Report(c.body));
  }
}

// Values are cleaned UTF-8: a malformed sequence and a control character XML
// forbids are both "?". Element text is met through the subscriber number,
// ASCII only, as the code page reads it on every system.
TEST(ReportPrinter, Escaping) {
  struct Case {
    std::string value;
    std::string asAttribute;
    std::string asText;  // empty: not tried as text
  };
  const Case cases[] = {
      {"a<b & c>d", "a&lt;b &amp; c>d", "a&lt;b &amp; c&gt;d"},
      {"\r\n", "&#xD;&#xA;", "\r\n"},
      {"a\n\rb\r", "a&#xA;&#xD;b&#xD;", "a\r\n\r\nb\r\n"},
      {"\t\"'", "&#x9;&quot;'", "\t\"'"},
      {std::string("\x01\x1A\x0B\x0C\x1F\x7F\0", 7), "?????\x7F?", "?????\x7F?"},
      {"\xD0\x80\xD3\xBF\xE2\x82\xAC\xF0\x9F\x98\x80",
       "\xD0\x80\xD3\xBF\xE2\x82\xAC\xF0\x9F\x98\x80", ""},
      {"\xC0\xAF\xFF\xD0 \xED\xA0\x80\xEF\xBF\xBF", "??? ??", ""},
      {"\xE4\xB8"
       "A",
       "\xC4\xB8"
       "A",
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.value));
    EXPECT_EQ(PrintedReport({{"1", {c.value}}}),
              Report("\r\n  <phone>1<call num=\"" + c.asAttribute + "\"/>\r\n  </phone>"));
    if (!c.asText.empty()) {
      EXPECT_EQ(PrintedReport({{c.value, {}}}), Report("\r\n  <phone>" + c.asText + "</phone>"));
    }
  }
}

// Lengths across the buffer size, so that every way of cutting a character
// or an escape at the buffer's end is met.
TEST(ReportPrinter, ValuesAcrossTheBuffer) {
  struct Sweep {
    std::string unit;
    std::string written;
  };
  const Sweep sweeps[] = {
      {"x", "x"},     {"\xD0\x96", "\xD0\x96"}, {"\xE2\x82\xAC", "\xE2\x82\xAC"},
      {"&", "&amp;"}, {"\r\n", "&#xD;&#xA;"},   {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"}};
  const std::size_t head = PrintedReport({{"1", {""}}}).find("num=\"") + 5;
  for (const Sweep& sweep : sweeps) {
    for (std::size_t count = (ReportPrinter::kBufferSize - head) / sweep.written.size() - 3;
         count * sweep.written.size() < ReportPrinter::kBufferSize - head + 12; ++count) {
      std::string value;
      std::string written;
      for (std::size_t i = 0; i < count; ++i) {
        value += sweep.unit;
        written += sweep.written;
      }
      SCOPED_TRACE(testing::Message() << testing::PrintToString(sweep.unit) << " x" << count);
      test::StringOutput out;
      ASSERT_EQ(PrintedReport({{"1", {value}}}, &out),
                Report("\r\n  <phone>1<call num=\"" + written + "\"/>\r\n  </phone>"));
      for (const std::string& piece : out.pieces)
        ASSERT_LE(piece.size(), ReportPrinter::kBufferSize + 64);
    }
  }
}

}  // namespace
}  // namespace qv
