#pragma once
// UTF-8 decoding against a byte-at-a-time decoder of the same rules, and
// the decoded text through the encoder and the report writer.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "check_support.h"
#include "convert/report_document.h"
#include "runtime/byte_text.h"
#include "runtime/encodings.h"
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

// What the writer makes of text content: CR LF, a lone CR and a lone LF
// each become one CR LF.
inline std::string WrittenText(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r') {
      out += "\r\n";
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else if (utf8[i] == '\n') {
      out += "\r\n";
    } else {
      out += utf8[i];
    }
  }
  return out;
}

// Through the writer, as element text and as an attribute value.
inline void CheckThroughWriter(const std::u16string& decoded, const std::string& encoded,
                               Findings& findings) {
  std::string written;
  try {
    ReportDocument document;
    ReportElement* report = document.CreateElement(u"report");
    document.AppendChild(nullptr, report);
    ReportElement* phone = document.CreateElement(u"phone");
    document.SetTextContent(phone, decoded);
    document.AppendChild(report, phone);
    ReportElement* call = document.CreateElement(u"call");
    document.SetAttribute(call, u"num", decoded);
    document.AppendChild(report, call);
    ReportStringSink sink(written);
    document.WriteTo(sink);
  } catch (const std::exception& error) {
    findings.Add(std::string("the writer failed: ") + error.what());
    return;
  }
  // Control characters go out as they are; whether they should is the
  // conversion target's question.
  const XmlReading reading = ReadXml(written, CharRule::kRawControls);
  if (!findings.Expect(reading.error.empty(), "the written report is not XML: " + reading.error)) {
    return;
  }
  const XmlElement& root = reading.root;
  if (findings.Expect(root.children.size() == 2, "the written tree lost elements")) {
    const XmlElement& phone = root.children[0];
    const XmlElement& call = root.children[1];
    findings.Expect(phone.text == WrittenText(encoded), "element text did not come back");
    findings.Expect(call.attributes.size() == 1 && call.attributes[0].second == encoded,
                    "attribute value did not come back");
  }
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

  std::u16string appended = u"\x0410";
  AppendDecodedUtf8(bytes, appended);
  findings.Expect(appended == u"\x0410" + decoded, "appending decodes differently");

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
  findings.Expect(!HasLoneSurrogate(FileNameForReport(bytes)), "a file name gave a lone surrogate");
  Utf16ToCodePage(decoded);
  LowerInCodePage(bytes);
  if (ascii) {
    findings.Expect(FileNameToUtf8(bytes) == bytes, "an ASCII file name changed");
    findings.Expect(LowerInCodePage(bytes) == LowerAscii(bytes),
                    "ASCII lower-casing in the code page differs");
  }

  CheckThroughWriter(decoded, encoded, findings);
  return findings.Text();
}

}  // namespace qv::fuzz
