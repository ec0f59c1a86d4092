// Writing while building, and writing into files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <string_view>

#include "common/temp_folder.h"
#include "convert/report_document.h"
#include "report_test_support.h"
#include "runtime/encodings.h"
#include "runtime/service_error.h"

namespace qv {
namespace {

using Step = std::function<void()>;

// A value to escape, and to clean: it ends in a broken character.
constexpr std::string_view kRegion = "Москва & <область>\xF0\x9F";

// A report of varied subscribers; step() runs after every change, the way
// the conversion may flush between them. With a writer, every other call
// is handed to it as the conversion hands them over.
void BuildReport(ReportDocument& d, const Step& step, ReportFileWriter* writer = nullptr) {
  ReportElement* report = d.CreateElement(u"report");
  d.AppendChild(nullptr, report);
  step();
  const char16_t* header[][2] = {{u"application", u"Подготовлено"},
                                 {u"url", u"http://www.quarvel.example/"},
                                 {u"filename", u""},
                                 {u"library", u"qvmtsfrs.dll"}};
  for (const auto& [name, text] : header) {
    ReportElement* e = d.CreateElement(name);
    d.SetTextContent(e, text);
    d.AppendChild(report, e);
    step();
  }
  for (int p = 0; p < 7; ++p) {
    ReportElement* phone = d.CreateElement(u"phone");
    if (p % 3 != 1) d.SetTextContent(phone, u"916123456" + std::u16string(1, u'0' + p));
    d.AppendChild(report, phone);
    step();
    for (int c = 0; c < (p * 3) % 5; ++c) {
      if (writer != nullptr && c % 2 == 0) {
        const std::string time = "2010-12-07 09:05:0" + std::to_string(c);
        const ReportDocument::Utf8Attribute attributes[] = {{d.AttributeName(u"m"), "2.08"},
                                                            {d.AttributeName(u"r1"), kRegion},
                                                            {d.AttributeName(u"num"), "4957654321"},
                                                            {d.AttributeName(u"time"), time}};
        ASSERT_TRUE(writer->WriteNewChild(phone, d.ElementName(u"call"), attributes));
        step();
        continue;
      }
      ReportElement* call = d.CreateElement(u"call");
      d.SetAttribute(call, u"time", u"2010-12-07 09:05:0" + std::u16string(1, u'0' + c));
      d.SetAttribute(call, u"num", u"4957654321");
      d.SetAttribute(call, u"r1", DecodeUtf8(kRegion));
      d.SetAttribute(call, u"m", u"2.08");
      d.AppendChild(phone, call);
      step();
      d.ReleaseElement(d.CreateElement(u"call"));  // a row that gave no attribute
    }
  }
}

std::string WholeReport() {
  ReportDocument document;
  BuildReport(document, [] {});
  return test::Written(document);
}

struct SettlePlan {
  const char* title;
  bool (*settleAt)(int step);
};

const SettlePlan kPlans[] = {
    {"never", [](int) { return false; }},
    {"after every change", [](int) { return true; }},
    {"after every other change", [](int step) { return step % 2 == 1; }},
    {"once, before any phone", [](int step) { return step == 4; }},
    {"once, midway", [](int step) { return step == 12; }},
    {"only before any child", [](int step) { return step == 0; }},
};

TEST(ReportStreaming, SameBytesWhereverItIsSettled) {
  const std::string expected = WholeReport();
  for (const SettlePlan& plan : kPlans) {
    for (bool written : {false, true}) {
      SCOPED_TRACE(testing::Message() << plan.title << (written ? ", calls written at once" : ""));
      ReportDocument document;
      test::RecordingSink sink;
      ReportFileWriter writer(document, sink);
      int step = 0;
      BuildReport(
          document,
          [&] {
            if (plan.settleAt(step++)) {
              writer.WriteSettled();
              writer.WriteSettled();
            }
          },
          written ? &writer : nullptr);
      writer.Finish();
      EXPECT_EQ(sink.Joined(), expected);
      EXPECT_EQ(sink.opens, 1);
      EXPECT_EQ(sink.ends, 1);
      EXPECT_EQ(sink.closes, 1);
    }
  }
}

// Only the root's last child takes elements straight away, and only with
// names in the list's order; the tree takes the others.
TEST(ReportStreaming, ElementsWrittenAtOnceOnlyWhereTheyCanBe) {
  ReportDocument document;
  test::RecordingSink sink;
  ReportFileWriter writer(document, sink);
  const XmlName* call = document.ElementName(u"call");
  const ReportDocument::Utf8Attribute ordered[] = {{document.AttributeName(u"s"), "1"}};
  const ReportDocument::Utf8Attribute unordered[] = {{document.AttributeName(u"s"), "1"},
                                                     {document.AttributeName(u"m"), "0"}};
  EXPECT_FALSE(writer.WriteNewChild(nullptr, call, ordered));  // no root yet
  ReportElement* report = document.CreateElement(u"report");
  document.AppendChild(nullptr, report);
  ReportElement* first = document.CreateElement(u"phone");
  document.AppendChild(report, first);
  ReportElement* second = document.CreateElement(u"phone");
  document.AppendChild(report, second);
  EXPECT_FALSE(writer.WriteNewChild(first, call, ordered));
  EXPECT_FALSE(writer.WriteNewChild(second, call, unordered));
  EXPECT_EQ(sink.opens, 0);
  EXPECT_TRUE(writer.WriteNewChild(second, call, ordered));
  writer.Finish();
  EXPECT_EQ(
      sink.Joined(),
      test::Declared(
          "<report>\r\n  <phone/>\r\n  <phone>\r\n    <call s=\"1\"/>\r\n  </phone>\r\n</report>"));
}

TEST(ReportStreaming, NothingIsOpenedUntilAChildIsSettled) {
  ReportDocument document;
  test::RecordingSink sink;
  ReportFileWriter writer(document, sink);
  writer.WriteSettled();
  ReportElement* report = document.CreateElement(u"report");
  document.AppendChild(nullptr, report);
  document.AppendChild(report, document.CreateElement(u"phone"));
  writer.WriteSettled();
  EXPECT_EQ(sink.opens, 0);
  document.AppendChild(report, document.CreateElement(u"phone"));
  writer.WriteSettled();
  EXPECT_EQ(sink.opens, 1);
  writer.Finish();
  EXPECT_EQ(sink.Joined(), test::Declared("<report>\r\n  <phone/>\r\n  <phone/>\r\n</report>"));
}

// Released calls make room for the next ones instead of adding to it, within
// a subscriber as across subscribers: settled after each call, the calls of
// any number of subscribers take a few blocks.
TEST(ReportStreaming, ReleasedMemoryIsReused) {
  ReportDocument document;
  test::RecordingSink sink;
  ReportFileWriter writer(document, sink);
  ReportElement* report = document.CreateElement(u"report");
  document.AppendChild(nullptr, report);
  std::set<ReportElement*> calls;
  for (int p = 0; p < 3; ++p) {
    ReportElement* phone = document.CreateElement(u"phone");
    document.SetTextContent(phone, u"9161234567");
    document.AppendChild(report, phone);
    for (int i = 0; i < 1000; ++i) {
      ReportElement* call = document.CreateElement(u"call");
      document.SetAttribute(call, u"s", u"1");
      document.AppendChild(phone, call);
      calls.insert(call);
      writer.WriteSettled();
    }
  }
  EXPECT_LE(calls.size(), 8u);
  writer.Finish();
}

TEST(ReportStreaming, AFailureIsKeptForFinish) {
  ReportDocument document;
  test::RecordingSink sink;
  ReportFileWriter writer(document, sink);
  ReportElement* report = document.CreateElement(u"report");
  document.AppendChild(nullptr, report);
  ReportElement* phone = document.CreateElement(u"phone");
  document.SetTextContent(phone, u"12\xD800");
  document.AppendChild(report, phone);
  document.AppendChild(report, document.CreateElement(u"phone"));
  writer.WriteSettled();
  document.AppendChild(report, document.CreateElement(u"phone"));
  writer.WriteSettled();
  try {
    writer.Finish();
    ADD_FAILURE() << "no error";
  } catch (const ServiceError& error) {
    EXPECT_STREQ(error.what(), "High surrogate without low one");
  }
  EXPECT_EQ(sink.ends, 0);
  EXPECT_EQ(sink.closes, 1);
}

class ReportFiles : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = test::UniqueTempFolder("qv_report_");
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string PathOf(const char* name) const { return (folder_ / name).string(); }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path folder_;
};

TEST_F(ReportFiles, FileHoldsTheBytesAndReplacesTheOldOnes) {
  const std::string whole = PathOf("whole.xml");
  const std::string streamed = PathOf("streamed.xml");
  std::ofstream(whole, std::ios::binary) << std::string(5000, 'z');
  {
    ReportDocument document;
    BuildReport(document, [] {});
    document.WriteToFile(whole.c_str());
  }
  {
    ReportDocument document;
    ReportFileWriter writer(document, streamed);
    BuildReport(document, [&] { writer.WriteSettled(); });
    writer.Finish();
  }
  const std::string bytes = Contents(whole);
  EXPECT_EQ(bytes, WholeReport());
  EXPECT_EQ(Contents(streamed), bytes);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.front(), '<');  // no byte-order mark
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST_F(ReportFiles, UnableToCreate) {
  const std::string path = PathOf("missing/report.xml");
  const std::string message = "Unable to create file \"" + path + "\"";
  {
    ReportDocument document;
    BuildReport(document, [] {});
    try {
      document.WriteToFile(path.c_str());
      ADD_FAILURE() << "no error";
    } catch (const ServiceError& error) {
      EXPECT_EQ(error.what(), message);
    }
  }
  {
    ReportDocument document;
    ReportFileWriter writer(document, path);
    BuildReport(document, [&] { writer.WriteSettled(); });
    try {
      writer.Finish();
      ADD_FAILURE() << "no error";
    } catch (const ServiceError& error) {
      EXPECT_EQ(error.what(), message);
    }
  }
}

#ifndef _WIN32
TEST_F(ReportFiles, AFullDiskIsAnError) {
  const std::string message = "Unable to write file \"/dev/full\"";
  {
    ReportDocument document;
    BuildReport(document, [] {});
    try {
      document.WriteToFile("/dev/full");
      ADD_FAILURE() << "no error";
    } catch (const ServiceError& error) {
      EXPECT_EQ(error.what(), message);
    }
  }
  {
    ReportDocument document;
    ReportFileWriter writer(document, "/dev/full");
    BuildReport(document, [&] { writer.WriteSettled(); });
    try {
      writer.Finish();
      ADD_FAILURE() << "no error";
    } catch (const ServiceError& error) {
      EXPECT_EQ(error.what(), message);
    }
  }
}
#endif

}  // namespace
}  // namespace qv
