#pragma once
// UTF-8 decoding against a byte-at-a-time decoder of the same rules, and
// the decoded text through the encoder and the report writer.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "check_support.h"
#include "convert/report_printer.h"
#include "runtime/byte_text.h"
#include "runtime/encodings.h"
#include "xml_check.h"

namespace qv::fuzz {

// The decoding rules read one byte at a time, with no fast paths.
inline std::u16string ReferenceDecodeUtf8(std::string_view bytes) {
  std::u16string out;
  const std::size_t n = bytes.size();
  const auto b = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]));
  };
  std::size_t i = 0;
  while (i < n) {
    if (b(i) < 128) {
      out += static_cast<char16_t>(b(i));
      ++i;
      continue;
    }
    std::size_t k = 0;
    while (k < 8 && (b(i) & (0x80u >> k)) != 0) ++k;
    if (i + k - 1 > n) k = 1;
    for (std::size_t j = 1; j < k; ++j) {
      if (i + j == n || (b(i + j) & 0xC0) != 0x80) {
        k = j;
        break;
      }
    }
    std::uint32_t u = 0;
    switch (k) {
      case 2:
        u = (b(i) & 31) * 64 + (b(i + 1) & 63);
        out += u <= 127 ? u'?' : static_cast<char16_t>(u);
        break;
      case 3:
        u = (b(i) & 15) * 4096 + (b(i + 1) & 63) * 64 + (b(i + 2) & 63);
        out += (u <= 2047 || u >= 65534 || (u >= 55296 && u <= 57343)) ? u'?'
                                                                       : static_cast<char16_t>(u);
        break;
      case 4:
        u = (b(i) & 7) * 262144 + (b(i + 1) & 63) * 4096 + (b(i + 2) & 63) * 64 + (b(i + 3) & 63);
        if (u < 65536 || u > 1114111) {
          out += u'?';
        } else {
          out += static_cast<char16_t>(55296 + (u - 65536) / 1024);
          out += static_cast<char16_t>(56320 + (u - 65536) % 1024);
        }
        break;
      default:
        out += u'?';
        break;
    }
    i += k;
  }
  return out;
}

namespace utf8_detail {

inline bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
inline bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

inline bool HasLoneSurrogate(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsHigh(text[i])) {
      if (i + 1 == text.size() || !IsLow(text[i + 1])) return true;
      ++i;
    } else if (IsLow(text[i])) {
      return true;
    }
  }
  return false;
}

// Well-formed UTF-8 that the decoder keeps as it is: U+FFFE and U+FFFF are
// among the characters it replaces.
inline bool DecodesExactly(std::string_view bytes) {
  const std::string_view kept = bytes;
  std::size_t i = 0;
  while (i < kept.size()) {
    const auto lead = static_cast<unsigned char>(kept[i]);
    std::size_t length = lead < 0x80             ? 1
                         : (lead & 0xE0) == 0xC0 ? 2
                         : (lead & 0xF0) == 0xE0 ? 3
                         : (lead & 0xF8) == 0xF0 ? 4
                                                 : 0;
    if (length == 0 || kept.size() - i < length) return false;
    std::uint32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t j = 1; j < length; ++j) {
      const auto next = static_cast<unsigned char>(kept[i + j]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 63u);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE ||
        c == 0xFFFF) {
      return false;
    }
    i += length;
  }
  return true;
}

// Collects what the printer writes.
struct PrintedValue final : ReportOutput {
  void Write(const char* data, std::size_t size) override { bytes.append(data, size); }
  std::string bytes;
};

}  // namespace utf8_detail

inline std::string CheckUtf8(std::string_view bytes) {
  using namespace utf8_detail;
  Findings findings;
  const std::u16string decoded = DecodeUtf8(bytes);
  if (!findings.Expect(decoded == ReferenceDecodeUtf8(bytes),
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
  findings.Expect(!HasLoneSurrogate(DecodeUtf8(FileNameToUtf8(bytes))),
                  "a file name gave a lone surrogate");
  Utf16ToCodePage(decoded);
  LowerInCodePage(bytes);
  if (ascii) {
    findings.Expect(FileNameToUtf8(bytes) == bytes, "an ASCII file name changed");
    findings.Expect(LowerInCodePage(bytes) == LowerAscii(bytes),
                    "ASCII lower-casing in the code page differs");
  }

  // Through the report printer, as an attribute value: the cleaned text, with
  // the control characters XML forbids as "?", so the report stays XML.
  PrintedValue printed;
  ReportPrinter printer(printed, "detail.html");
  printer.Subscriber("1");
  CallRecord call;
  call.values[kNum] = bytes;
  call.set = 1u << kNum;
  printer.Call(call);
  printer.End();
  const XmlReading reading = ReadXml(printed.bytes, CharRule::kXml10);
  if (!findings.Expect(reading.error.empty(), "the printed report is not XML: " + reading.error)) {
    return findings.Text();
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
  return findings.Text();
}

}  // namespace qv::fuzz
