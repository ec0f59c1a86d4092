// Exact bytes of written reports: layout, attribute order, escaping, UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "convert/report_document.h"
#include "report_test_support.h"
#include "runtime/service_error.h"

namespace qv {
namespace {

using test::Declared;
using test::Written;

ReportElement* AddChild(ReportDocument& document, ReportElement* parent, std::u16string_view name,
                        std::u16string_view text = u"") {
  ReportElement* element = document.CreateElement(name);
  if (!text.empty()) document.SetTextContent(element, text);
  document.AppendChild(parent, element);
  return element;
}

ReportElement* AddCall(ReportDocument& document, ReportElement* phone, std::u16string_view num) {
  ReportElement* call = document.CreateElement(u"call");
  document.SetAttribute(call, u"num", num);
  document.AppendChild(phone, call);
  return call;
}

TEST(ReportLayout, OneSubscriberWithOneCall) {
  ReportDocument document;
  ReportElement* report = document.CreateElement(u"report");
  document.AppendChild(nullptr, report);
  AddChild(document, report, u"application", u"Подготовлено для программы Quarvel");
  AddChild(document, report, u"url", u"http://www.quarvel.example/");
  AddChild(document, report, u"filename", u"C:\\Detail\\mts.html");
  AddChild(document, report, u"library", u"qvmtsfrs.dll");
  ReportElement* phone = AddChild(document, report, u"phone", u"9161234567");
  ReportElement* call = document.CreateElement(u"call");
  const char16_t* attributes[][2] = {{u"time", u"2010-12-07 09:05:00"},
                                     {u"type", u"1"},
                                     {u"num", u"4957654321"},
                                     {u"r2", u""},
                                     {u"r1", u""},
                                     {u"code", u"1"},
                                     {u"s", u"125"},
                                     {u"m", u"2.08"},
                                     {u"pay", u"1.50"}};
  for (const auto& [name, value] : attributes) document.SetAttribute(call, name, value);
  document.AppendChild(phone, call);

  EXPECT_EQ(Written(document),
            "<?xml version=\"1.0\"?>\r\n"
            "<report>\r\n"
            "  <application>\xD0\x9F\xD0\xBE\xD0\xB4\xD0\xB3\xD0\xBE\xD1\x82\xD0\xBE"
            "\xD0\xB2\xD0\xBB\xD0\xB5\xD0\xBD\xD0\xBE \xD0\xB4\xD0\xBB\xD1\x8F "
            "\xD0\xBF\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD1\x8B "
            "Quarvel</application>\r\n"
            "  <url>http://www.quarvel.example/</url>\r\n"
            "  <filename>C:\\Detail\\mts.html</filename>\r\n"
            "  <library>qvmtsfrs.dll</library>\r\n"
            "  <phone>9161234567<call m=\"2.08\" s=\"125\" r1=\"\" r2=\"\" num=\"4957654321\" "
            "pay=\"1.50\" code=\"1\" time=\"2010-12-07 09:05:00\" type=\"1\"/>\r\n"
            "  </phone>\r\n"
            "</report>\r\n");
}

TEST(ReportLayout, SettingAnAttributeAgainKeepsItsPlace) {
  ReportDocument document;
  ReportElement* call = document.CreateElement(u"call");
  document.AppendChild(nullptr, call);
  for (const char16_t* name : {u"time", u"m", u"num", u"s"}) {
    document.SetAttribute(call, name, u"1");
  }
  document.SetAttribute(call, u"num", u"2");
  document.SetAttribute(call, u"m", u"");
  EXPECT_EQ(Written(document), Declared("<call m=\"\" s=\"1\" num=\"2\" time=\"1\"/>"));
}

TEST(ReportLayout, NameOrderIsLengthThenCodeUnits) {
  ReportDocument document;
  ReportElement* element = document.CreateElement(u"e");
  document.AppendChild(nullptr, element);
  // Code unit order, not alphabetical: "Z" (90) before "a" (97), "Ж" after both.
  for (const char16_t* name : {u"ab", u"Ж", u"a", u"Z", u"aB", u"_", u"bbb"}) {
    document.SetAttribute(element, name, u"");
  }
  EXPECT_EQ(Written(document),
            Declared("<e Z=\"\" _=\"\" a=\"\" \xD0\x96=\"\" aB=\"\" ab=\"\" bbb=\"\"/>"));
  EXPECT_TRUE(document.HasAttributes(element));
  EXPECT_FALSE(document.HasAttributes(document.CreateElement(u"e")));
}

// How the tree of each case is built, and the lines it gives.
struct LayoutCase {
  const char* title;
  void (*build)(ReportDocument&, ReportElement* report);
  const char* expected;  // after the declaration, without the final CR LF
};

const LayoutCase kLayoutCases[] = {
    {"empty text gives the empty form",
     [](ReportDocument& d, ReportElement* r) { AddChild(d, r, u"filename", u""); },
     "<report>\r\n  <filename/>\r\n</report>"},
    {"phone without number or calls",
     [](ReportDocument& d, ReportElement* r) { AddChild(d, r, u"phone"); },
     "<report>\r\n  <phone/>\r\n</report>"},
    {"phone with number and three calls",
     [](ReportDocument& d, ReportElement* r) {
       ReportElement* phone = AddChild(d, r, u"phone", u"9161234567");
       AddCall(d, phone, u"1");
       AddCall(d, phone, u"2");
       AddCall(d, phone, u"3");
     },
     "<report>\r\n  <phone>9161234567<call num=\"1\"/><call num=\"2\"/><call num=\"3\"/>"
     "\r\n  </phone>\r\n</report>"},
    {"phone with calls but no number",
     [](ReportDocument& d, ReportElement* r) {
       ReportElement* phone = AddChild(d, r, u"phone");
       AddCall(d, phone, u"1");
       AddCall(d, phone, u"2");
     },
     "<report>\r\n  <phone>\r\n    <call num=\"1\"/>\r\n    <call num=\"2\"/>\r\n  </phone>"
     "\r\n</report>"},
    {"two subscribers",
     [](ReportDocument& d, ReportElement* r) {
       AddCall(d, AddChild(d, r, u"phone", u"1"), u"a");
       AddCall(d, AddChild(d, r, u"phone", u"2"), u"b");
     },
     "<report>\r\n  <phone>1<call num=\"a\"/>\r\n  </phone>\r\n"
     "  <phone>2<call num=\"b\"/>\r\n  </phone>\r\n</report>"},
    {"elements under an element take a line each",
     [](ReportDocument& d, ReportElement* r) {
       ReportElement* a = AddChild(d, r, u"a");
       AddChild(d, a, u"b");
       AddChild(d, a, u"c", u"x");
     },
     "<report>\r\n  <a>\r\n    <b/>\r\n    <c>x</c>\r\n  </a>\r\n</report>"},
    {"elements inside text keep to its line",
     [](ReportDocument& d, ReportElement* r) {
       ReportElement* a = AddChild(d, r, u"a", u"t");
       ReportElement* b = AddChild(d, a, u"b");
       AddChild(d, b, u"c");
     },
     "<report>\r\n  <a>t<b>\r\n      <c/>\r\n    </b>\r\n  </a>\r\n</report>"},
    {"setting text content takes the calls away",
     [](ReportDocument& d, ReportElement* r) {
       ReportElement* phone = AddChild(d, r, u"phone", u"1");
       AddCall(d, phone, u"1");
       d.SetTextContent(phone, u"2");
     },
     "<report>\r\n  <phone>2</phone>\r\n</report>"},
    {"empty text content empties the element",
     [](ReportDocument& d, ReportElement* r) {
       ReportElement* phone = AddChild(d, r, u"phone", u"1");
       AddCall(d, phone, u"1");
       d.SetTextContent(phone, u"");
     },
     "<report>\r\n  <phone/>\r\n</report>"},
    {"a moved element leaves its first parent",
     [](ReportDocument& d, ReportElement* r) {
       ReportElement* first = AddChild(d, r, u"a");
       ReportElement* second = AddChild(d, r, u"b");
       ReportElement* call = AddCall(d, first, u"1");
       d.AppendChild(second, call);
     },
     "<report>\r\n  <a/>\r\n  <b>\r\n    <call num=\"1\"/>\r\n  </b>\r\n</report>"},
    {"a released element is gone, an unappended one never shows",
     [](ReportDocument& d, ReportElement* r) {
       ReportElement* phone = AddChild(d, r, u"phone", u"1");
       ReportElement* call = AddCall(d, phone, u"1");
       AddCall(d, phone, u"2");
       d.ReleaseElement(call);
       d.CreateElement(u"call");
     },
     "<report>\r\n  <phone>1<call num=\"2\"/>\r\n  </phone>\r\n</report>"},
};

TEST(ReportLayout, Cases) {
  for (const LayoutCase& c : kLayoutCases) {
    SCOPED_TRACE(c.title);
    ReportDocument document;
    ReportElement* report = document.CreateElement(u"report");
    document.AppendChild(nullptr, report);
    c.build(document, report);
    EXPECT_EQ(Written(document), Declared(c.expected));
  }
}

struct EscapeCase {
  std::u16string text;
  std::string asText;
  std::string asAttribute;
};

const EscapeCase kEscapeCases[] = {
    {u"a<b & c>d", "a&lt;b &amp; c&gt;d", "a&lt;b &amp; c>d"},
    {u"\r\n", "\r\n", "&#xD;&#xA;"},
    {u"\r", "\r\n", "&#xD;"},
    {u"\n", "\r\n", "&#xA;"},
    {u"a\n\rb", "a\r\n\r\nb", "a&#xA;&#xD;b"},
    {u"\r\r\n\n", "\r\n\r\n\r\n", "&#xD;&#xD;&#xA;&#xA;"},
    {u"\t\"'", "\t\"'", "&#x9;&quot;'"},
    {std::u16string(u"\x01\x1F\x7F", 3), "\x01\x1F\x7F", "\x01\x1F\x7F"},
    {std::u16string(1, u'\0'), std::string(1, '\0'), std::string(1, '\0')},
    {u"\u0400\u04FF", "\xD0\x80\xD3\xBF", "\xD0\x80\xD3\xBF"},
    {u"\u20AC", "\xE2\x82\xAC", "\xE2\x82\xAC"},
    {u"\u0080\u00FF\u07FF", "\xC2\x80\xC3\xBF\xDF\xBF", "\xC2\x80\xC3\xBF\xDF\xBF"},
    {u"\u0800\uD7FF\uE000\uFFFF", "\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF",
     "\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF"},
    {u"\U0001F600", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
    {u"\U00010000\U0010FFFF", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
     "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
};

TEST(ReportEscaping, TextAndAttributeRules) {
  for (const EscapeCase& c : kEscapeCases) {
    SCOPED_TRACE(testing::PrintToString(c.asText));
    ReportDocument document;
    ReportElement* e = document.CreateElement(u"e");
    document.AppendChild(nullptr, e);
    document.SetTextContent(e, c.text);
    EXPECT_EQ(Written(document), Declared("<e>" + c.asText + "</e>"));
    document.SetTextContent(e, u"");
    document.SetAttribute(e, u"v", c.text);
    EXPECT_EQ(Written(document), Declared("<e v=\"" + c.asAttribute + "\"/>"));
  }
}

TEST(ReportEscaping, LoneSurrogatesStopTheWrite) {
  struct Case {
    std::u16string text;
    const char* message;
  };
  const Case cases[] = {
      {u"\xD800", "High surrogate without low one"},
      {u"a\xDBFFz", "High surrogate without low one"},
      {u"\xD800\xD800\xDC00", "High surrogate without low one"},
      {u"\xDC00", "Low surrogate without high one"},
      {u"a\xDFFF", "Low surrogate without high one"},
      {u"\xD800\xDC00\xDC00", "Low surrogate without high one"},
      // Far into a long text, where plain bytes are copied eight at a time.
      {u"0123456789abcdefghij\xDBFFklmnopqrstuvwxyz", "High surrogate without low one"},
      {u"0123456789abcdefghijklm\xDC00nopqrstuvwxyz", "Low surrogate without high one"},
  };
  for (const Case& c : cases) {
    for (bool inAttribute : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.message << (inAttribute ? " in attribute" : ""));
      ReportDocument document;
      ReportElement* e = document.CreateElement(u"e");
      document.AppendChild(nullptr, e);
      if (inAttribute) {
        document.SetAttribute(e, u"v", c.text);
      } else {
        document.SetTextContent(e, c.text);
      }
      try {
        Written(document);
        ADD_FAILURE() << "no error";
      } catch (const ServiceError& error) {
        EXPECT_STREQ(error.what(), c.message);
      }
    }
  }
}

struct Sweep {
  const char* title;
  std::u16string unit;
  std::string textBytes;
  std::string attributeBytes;
};

// Lengths across the buffer size, so that every way of cutting a character
// or an escape at the buffer's end is met.
TEST(ReportEscaping, LengthsAcrossTheBufferSize) {
  const Sweep sweeps[] = {
      {"one byte", u"x", "x", "x"},
      {"two bytes", u"\u0416", "\xD0\x96", "\xD0\x96"},
      {"three bytes", u"\u20AC", "\xE2\x82\xAC", "\xE2\x82\xAC"},
      {"four bytes", u"\U0001F600", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"escape", u"&", "&amp;", "&amp;"},
      {"line break", u"\r\n", "\r\n", "&#xD;&#xA;"},
      {"mixed", u"a\u0416\u20AC\"", "a\xD0\x96\xE2\x82\xAC\"", "a\xD0\x96\xE2\x82\xAC&quot;"},
  };
  for (const Sweep& sweep : sweeps) {
    std::u16string text;
    std::string asText;
    std::string asAttribute;
    for (int count = 1; count <= 1100; ++count) {
      text += sweep.unit;
      asText += sweep.textBytes;
      asAttribute += sweep.attributeBytes;
      SCOPED_TRACE(testing::Message() << sweep.title << " x" << count);
      ReportDocument document;
      ReportElement* e = document.CreateElement(u"e");
      document.AppendChild(nullptr, e);
      document.SetTextContent(e, text);
      document.SetAttribute(e, u"v", text);
      test::RecordingSink sink;
      document.WriteTo(sink);
      ASSERT_EQ(sink.Joined(), Declared("<e v=\"" + asAttribute + "\">" + asText + "</e>"));
      for (std::size_t i = 0; i + 1 < sink.pieces.size(); ++i) {
        ASSERT_GE(sink.pieces[i].size(), 512u);
        ASSERT_LE(sink.pieces[i].size(), 512u + 32u);
      }
      ASSERT_LE(sink.pieces.back().size(), 512u + 32u);
    }
  }
}

}  // namespace
}  // namespace qv
