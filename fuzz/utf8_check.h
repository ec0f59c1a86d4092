#pragma once
// UTF-8 decoding against a byte-at-a-time decoder of the same rules, and
// the decoded text through the encoder and the report writer.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "check_support.h"
#include "runtime/byte_text.h"
#include "runtime/encodings.h"
#include "support/printed_report.h"
#include "support/utf8_model.h"
#include "xml_check.h"

namespace qv::fuzz {

namespace utf8_detail {

// Well-formed UTF-8 that the decoder keeps as it is: U+FFFE and U+FFFF are
// among the characters it replaces.
inline bool DecodesExactly(std::string_view bytes) {
  for (std::size_t i = 0, length = 0; i < bytes.size(); i += length) {
    std::uint32_t c = 0;
    length = test::StrictCodePoint(bytes.substr(i), c);
    if (length == 0 || c == 0xFFFE || c == 0xFFFF) return false;
  }
  return true;
}

// Through the report printer, as an attribute value: the cleaned text, with
// the control characters XML forbids as "?", so the report stays XML.
inline void CheckThroughPrinter(std::string_view bytes, const std::string& encoded,
                                Findings& findings) {
  const XmlReading reading = ReadXml(test::PrintedReport({{"1", {std::string(bytes)}}}));
  if (!findings.Expect(reading.error.empty(), "the printed report is not XML: " + reading.error)) {
    return;
  }
  const std::vector<XmlElement>& children = reading.root.children;
  std::string expected = encoded;
  for (char& c : expected) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') c = '?';
  }
  findings.Expect(!children.empty() && !children.back().children.empty() &&
                      children.back().children[0].attributes.size() == 1 &&
                      children.back().children[0].attributes[0].second == expected,
                  "the attribute value did not come back");
}

}  // namespace utf8_detail

inline std::string CheckUtf8(std::string_view bytes) {
  using namespace utf8_detail;
  using test::HasLoneSurrogate;
  Findings findings;
  const std::u16string decoded = DecodeUtf8(bytes);
  if (!findings.Expect(decoded == test::ReferenceDecodeUtf8(bytes),
                       "decoding differs from the byte-at-a-time rules")) {
    return findings.Text();
  }
  findings.Expect(!HasLoneSurrogate(decoded), "decoding gave a lone surrogate");

  const std::string encoded = EncodeUtf8(decoded);
  findings.Expect(DecodeUtf8(encoded) == decoded, "encoding the decoded text does not round-trip");
  if (DecodesExactly(bytes)) {
    findings.Expect(encoded == bytes, "well-formed UTF-8 did not come back byte for byte");
  }

  // Lower-casing must not break well-formed text.
  const std::string lowered = LowerUtf8(bytes);
  if (DecodesExactly(bytes)) {
    findings.Expect(DecodesExactly(lowered), "lower-casing broke well-formed UTF-8");
  }
  bool ascii = true;
  for (const char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) findings.Expect(lowered == LowerAscii(bytes), "ASCII lower-casing differs");

  // The code page conversions take any bytes; what reaches the report
  // through them holds no lone surrogate.
  findings.Expect(!HasLoneSurrogate(CodePageToUtf16(bytes)), "the code page gave a lone surrogate");
  findings.Expect(!HasLoneSurrogate(DecodeUtf8(FileNameToUtf8(bytes))),
                  "a file name gave a lone surrogate");
  Utf16ToCodePage(decoded);
  LowerInCodePage(bytes);
  if (ascii) {
    findings.Expect(FileNameToUtf8(bytes) == bytes, "an ASCII file name changed");
    findings.Expect(LowerInCodePage(bytes) == LowerAscii(bytes),
                    "ASCII lower-casing in the code page differs");
  }

  CheckThroughPrinter(bytes, encoded, findings);
  return findings.Text();
}

}  // namespace qv::fuzz
