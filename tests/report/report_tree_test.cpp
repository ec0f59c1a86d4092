// Names the tree accepts and refuses, and how elements are put together.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "convert/report_document.h"
#include "report_test_support.h"
#include "runtime/encodings.h"
#include "runtime/service_error.h"

namespace qv {
namespace {

struct NameCase {
  std::u16string name;
  bool valid;
  const char* shown;  // the name as the message shows it
};

const NameCase kNameCases[] = {
    {u"report", true, ""},     {u"_x", true, ""},           {u":a", true, ""},
    {u"a-b.c9", true, ""},     {u"\u0416\u00B7", true, ""}, {u"a\U00010000", true, ""},
    {u"", false, ""},          {u"1a", false, "1a"},        {u"-a", false, "-a"},
    {u".a", false, ".a"},      {u"a b", false, "a b"},      {u"a<", false, "a<"},
    {u"a=", false, "a="},      {u"a\"", false, "a\""},      {u"\u00D7", false, "\xC3\x97"},
    {u"a\xD800", false, "a?"}, {u"\xDC00", false, "?"},
};

TEST(ReportTree, OnlyXmlNamesAreAccepted) {
  for (const NameCase& c : kNameCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kNameCases));
    ReportDocument document;
    ReportElement* element = document.CreateElement(u"e");
    if (c.valid) {
      EXPECT_NO_THROW(document.CreateElement(c.name));
      EXPECT_NO_THROW(document.SetAttribute(element, c.name, u"v"));
      continue;
    }
    const std::string detail = c.name.empty()
                                   ? ": empty name"
                                   : std::string(": invalid character in name \"") + c.shown + "\"";
    try {
      document.CreateElement(c.name);
      ADD_FAILURE() << "element accepted";
    } catch (const ServiceError& error) {
      EXPECT_EQ(error.what(), "DOMDocument.CreateElement" + detail);
    }
    try {
      document.SetAttribute(element, c.name, u"v");
      ADD_FAILURE() << "attribute accepted";
    } catch (const ServiceError& error) {
      EXPECT_EQ(error.what(), "DOMDocument.CreateAttribute" + detail);
    }
    EXPECT_FALSE(document.HasAttributes(element));
  }
}

TEST(ReportTree, RefusesASecondRootAndCycles) {
  ReportDocument document;
  ReportElement* report = document.CreateElement(u"report");
  ReportElement* phone = document.CreateElement(u"phone");
  document.AppendChild(nullptr, report);
  document.AppendChild(nullptr, report);
  EXPECT_THROW(document.AppendChild(nullptr, phone), ServiceError);
  document.AppendChild(report, phone);
  EXPECT_THROW(document.AppendChild(phone, report), ServiceError);
  EXPECT_THROW(document.AppendChild(phone, phone), ServiceError);
  EXPECT_EQ(document.Root(), report);
  EXPECT_EQ(test::Written(document), test::Declared("<report>\r\n  <phone/>\r\n</report>"));
}

TEST(ReportTree, ReleasingTheRootEmptiesTheDocument) {
  ReportDocument document;
  ReportElement* report = document.CreateElement(u"report");
  document.AppendChild(nullptr, report);
  document.SetTextContent(report, u"x");
  document.ReleaseElement(report);
  EXPECT_EQ(document.Root(), nullptr);
  EXPECT_EQ(test::Written(document), "<?xml version=\"1.0\"?>\r\n");
}

// Texts longer than the store's pooled blocks, set and replaced.
TEST(ReportTree, LongTextsAndValues) {
  ReportDocument document;
  ReportElement* e = document.CreateElement(u"e");
  document.AppendChild(nullptr, e);
  for (std::size_t length : {600u, 100000u, 10u, 70000u}) {
    SCOPED_TRACE(length);
    std::u16string text(length, u'q');
    document.SetTextContent(e, text);
    document.SetAttribute(e, u"v", text);
    std::string bytes(length, 'q');
    EXPECT_EQ(test::Written(document), test::Declared("<e v=\"" + bytes + "\">" + bytes + "</e>"));
  }
}

// An element made with its attributes at once writes as one made by setting
// them one by one, in any order, and can still be changed afterwards.
TEST(ReportTree, ElementMadeWithItsAttributes) {
  using Attributes = std::vector<std::pair<std::u16string, std::string>>;
  struct Case {
    const char* what;
    Attributes attributes;
  };
  const Case cases[] = {
      {"none", {}},
      {"in order", {{u"m", "2,08"}, {u"s", "125"}, {u"r1", ""}, {u"num", "&lt;\"x\"\t"}}},
      {"out of order", {{u"time", "2010"}, {u"type", "1"}, {u"m", "0"}, {u"r2", "\xD0\x90"}}},
      {"a name twice", {{u"s", "1"}, {u"m", "0"}, {u"s", "2"}}},
      {"malformed UTF-8", {{u"v", "a\xFF\xED\xA0\x80\xF0\x9F\x98\x80\xC2"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReportDocument made;
    ReportDocument set;
    std::vector<ReportDocument::Utf8Attribute> attributes;
    ReportElement* one = set.CreateElement(u"call");
    for (const auto& [name, value] : c.attributes) {
      attributes.push_back({made.AttributeName(name), value});
      set.SetAttribute(one, name, DecodeUtf8(value));
    }
    ReportElement* other = made.CreateElement(made.ElementName(u"call"), attributes);
    made.AppendChild(nullptr, other);
    set.AppendChild(nullptr, one);
    EXPECT_EQ(test::Written(made), test::Written(set));
    EXPECT_EQ(made.HasAttributes(other), !c.attributes.empty());
    for (ReportDocument* document : {&made, &set}) {
      ReportElement* root = document->Root();
      document->SetAttribute(root, u"s", u"9");
      document->SetAttribute(root, u"a", u"\u0416");
    }
    EXPECT_EQ(test::Written(made), test::Written(set));
  }
}

}  // namespace
}  // namespace qv
