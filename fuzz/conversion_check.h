#pragma once
// The whole conversion from arbitrary detail bytes: it ends, it fails only
// the way a short or headless detail fails, it always leaves a well-formed
// report of the expected shape, a second run gives the same report, and the
// user's settings stay as they were.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "check_support.h"
#include "convert/conversion.h"
#include "runtime/locale_formats.h"
#include "runtime/service_error.h"
#include "xml_check.h"

namespace qv::fuzz {

namespace conversion_detail {

constexpr std::string_view kCallAttributes[] = {"m",   "s",    "r1",   "r2",  "num",
                                                "pay", "code", "time", "type"};

inline int AttributeRank(std::string_view name) {
  for (int i = 0; i < 9; ++i) {
    if (kCallAttributes[i] == name) return i;
  }
  return -1;
}

inline void CheckReportShape(const XmlElement& report, Findings& findings) {
  static constexpr std::string_view kHeader[] = {"application", "url", "filename", "library"};
  if (!findings.Expect(report.name == "report" && report.attributes.empty(),
                       "the root is not a bare report element")) {
    return;
  }
  if (!findings.Expect(report.children.size() >= 4, "the report lacks its header elements")) {
    return;
  }
  for (std::size_t i = 0; i < report.children.size(); ++i) {
    const XmlElement& child = report.children[i];
    if (i < 4) {
      findings.Expect(
          child.name == kHeader[i] && child.attributes.empty() && child.children.empty(),
          "header element " + std::to_string(i) + " is " + child.name);
      continue;
    }
    if (!findings.Expect(child.name == "phone" && child.attributes.empty(),
                         "a report child after the header is " + child.name)) {
      return;
    }
    for (const XmlElement& call : child.children) {
      if (!findings.Expect(call.name == "call" && call.children.empty() && call.text.empty() &&
                               !call.attributes.empty(),
                           "a phone holds something other than calls: " + call.name)) {
        return;
      }
      int lastRank = -1;
      for (const auto& attribute : call.attributes) {
        const int rank = AttributeRank(attribute.first);
        if (!findings.Expect(rank >= 0, "a call has the attribute " + attribute.first) ||
            !findings.Expect(rank > lastRank, "call attributes out of order")) {
          return;
        }
        lastRank = rank;
      }
    }
  }
}

// The one failure a readable detail may end with: too few lines before or
// after the pruning.
inline bool IsExpectedFailure(const std::string& message) {
  return message.rfind("List index (", 0) == 0 &&
         message.find(") out of bounds") != std::string::npos;
}

}  // namespace conversion_detail

// Input: a settings choice and a free byte, then the detail file's bytes.
inline std::string CheckConversion(std::string_view data) {
  using namespace conversion_detail;
  ByteReader input(data);
  const std::uint8_t settingsChoice = input.Byte();
  const std::uint8_t freeByte = input.Byte();
  const std::string_view detail = input.Rest();

  Findings findings;
  const std::string inputPath = WriteScratch("detail.html", detail);
  const std::string outputPath = FreshScratchPath("report.xml");

  const ConversionSettings settings{ChosenFormats(settingsChoice, freeByte).decimalSeparator};
  try {
    ConvertDetail(inputPath, outputPath, settings);
  } catch (const ServiceError& error) {
    findings.Expect(IsExpectedFailure(error.what()),
                    std::string("the conversion failed: ") + error.what());
  } catch (const std::exception& error) {
    findings.Add(std::string("the conversion raised a foreign error: ") + error.what());
  }

  const std::optional<std::string> report = test::TempFolder::Read(outputPath);
  if (findings.Expect(report.has_value(), "no report was written")) {
    const XmlReading reading = ReadXml(*report);
    if (findings.Expect(reading.error.empty(), "the report is not well-formed: " + reading.error)) {
      CheckReportShape(reading.root, findings);
    }
    // Nothing of one conversion may reach the next: the same detail again
    // gives the same bytes.
    const std::string againPath = FreshScratchPath("report_again.xml");
    try {
      ConvertDetail(inputPath, againPath, settings);
    } catch (const std::exception&) {
      // Its failure was judged above.
    }
    findings.Expect(test::TempFolder::Read(againPath) == report,
                    "converting the same detail again gave another report");
  }
  return findings.Text();
}

}  // namespace qv::fuzz
