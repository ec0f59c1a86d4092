#include "convert/report_printer.h"

#include <cstdint>
#include <cstring>
#include <iterator>

#include "maker.h"
#include "runtime/byte_blocks.h"
#include "runtime/encodings.h"
#include "runtime/xml_characters.h"

namespace qv {
namespace {

constexpr std::string_view kApplicationText = "Подготовлено для программы Quarvel";
constexpr std::string_view kLibraryText = "qvmtsfrs.dll";

// The bytes that open each attribute, in the list's order, each padded to
// eight bytes so that it is copied with one fixed-size move.
constexpr char kAttributeStarts[kCallAttributeCount][8] = {
    " m=\"", " s=\"", " r1=\"", " r2=\"", " num=\"", " pay=\"", " code=\"", " time=\"", " type=\""};

// What a byte of a text turns into; kPlain bytes are copied as they are.
enum ByteClass : unsigned char {
  kPlain,
  kAmp,
  kLt,
  kGt,
  kQuot,
  kTabReference,
  kLineFeedReference,
  kReturnReference,
  kLineFeedBreak,
  kReturnBreak,
  kForbidden,  // a control character XML 1.0 does not allow
  kHigh,       // starts a UTF-8 sequence, kept when well-formed
};

struct ClassTable {
  unsigned char classes[256];
};

// The control characters XML forbids go out as "?", as malformed UTF-8
// does: one of them would make the whole report unreadable to a parser.
constexpr ClassTable MakeTable(bool attribute) {
  ClassTable table{};
  for (int byte = 0; byte < 0x20; ++byte) {
    if (IsForbiddenInXml(static_cast<unsigned char>(byte))) table.classes[byte] = kForbidden;
  }
  for (int byte = 0x80; byte < 0x100; ++byte) table.classes[byte] = kHigh;
  table.classes[static_cast<unsigned char>('&')] = kAmp;
  table.classes[static_cast<unsigned char>('<')] = kLt;
  if (attribute) {
    table.classes[static_cast<unsigned char>('"')] = kQuot;
    table.classes[static_cast<unsigned char>('\t')] = kTabReference;
    table.classes[static_cast<unsigned char>('\n')] = kLineFeedReference;
    table.classes[static_cast<unsigned char>('\r')] = kReturnReference;
  } else {
    table.classes[static_cast<unsigned char>('>')] = kGt;
    table.classes[static_cast<unsigned char>('\n')] = kLineFeedBreak;
    table.classes[static_cast<unsigned char>('\r')] = kReturnBreak;
  }
  return table;
}

constexpr ClassTable kTextClasses = MakeTable(false);
constexpr ClassTable kAttributeClasses = MakeTable(true);

// The row converter copies values of these bytes unescaped, so they must be
// exactly the ASCII bytes the attribute table leaves as they are.
constexpr bool PlainBytesAgree() {
  for (int byte = 0; byte < 0x80; ++byte) {
    const bool plain = kAttributeClasses.classes[byte] == kPlain;
    if (plain != IsPlainInAttribute(static_cast<unsigned char>(byte))) return false;
  }
  return true;
}
static_assert(PlainBytesAgree());

// The replacement of each class but kPlain and kHigh, in the classes'
// order; a carriage return's own line break is written by the caller, which
// also swallows an LF after it.
constexpr std::string_view kEscapes[] = {"",      "&amp;", "&lt;", "&gt;", "&quot;", "&#x9;",
                                         "&#xA;", "&#xD;", "\r\n", "\r\n", "?"};
static_assert(std::size(kEscapes) == kHigh);

// How many of the eight bytes of word are copied as they are: 8, or 7 when
// the last one opens a two-byte letter; 0 when one of them is escaped or is
// not part of a well-formed two-byte letter (lead C2 to DF, then 80 to BF).
template <bool kAttribute>
std::size_t CopiedAsTheyAre(std::uint64_t word) {
  const std::uint64_t escaped = MarkBytesBelow(word, 0x20) | MarkBytes(word, '&') |
                                MarkBytes(word, '<') | MarkBytes(word, kAttribute ? '"' : '>');
  const std::uint64_t high = word & kHighBits;
  const std::uint64_t leads = high & (word << 1);
  const std::uint64_t twoByteLeads =
      leads & ~(word << 2) & ((word & kEveryByte * 0x1E) + kEveryByte * 0x7F);
  // Each continuation byte follows a lead, and each lead but the last byte's
  // has one after it.
  const std::uint64_t continuations = high & ~(word << 1);
  if (escaped != 0 || twoByteLeads != leads || continuations != leads << 8) return 0;
  return (leads >> 63) != 0 ? 7 : 8;
}

}  // namespace

ReportPrinter::ReportPrinter(ReportOutput& out, std::string_view filename)
    : out_(out),
      // Not value-initialised: the buffer is written before it is read.
      storage_(new char[kBufferSize + kSlack]),
      buffer_(storage_.get()) {
  PutMarkup("<?xml version=\"1.0\"?>\r\n<report>");
  TextElement("application", kApplicationText);
  TextElement("url", QV_MAKER_URL);
  TextElement("filename", filename);
  TextElement("library", kLibraryText);
}

void ReportPrinter::Flush() {
  const std::size_t size = used_;
  used_ = 0;
  if (size != 0) out_.Write(buffer_, size);
}

// Texts are written as the UTF-8 their decoding gives, malformed sequences
// as "?", and escaped, in one pass. Plain bytes and two-byte letters
// (Cyrillic) are copied in a tight loop, eight bytes at a time where they
// come so; the buffer's slack takes the longest replacement.
template <bool kAttribute>
void ReportPrinter::Escaped(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* const end = p + text.size();
  const unsigned char* classes = kAttribute ? kAttributeClasses.classes : kTextClasses.classes;
  while (p != end) {
    if (used_ >= kBufferSize) Flush();
    char* out = buffer_ + used_;
    const std::size_t room = kBufferSize - used_;
    const unsigned char* runEnd = static_cast<std::size_t>(end - p) > room ? p + room : end;
    for (std::size_t copied = 0;
         runEnd - p >= 8 && (copied = CopiedAsTheyAre<kAttribute>(LoadBlock(p))) != 0;) {
      std::memcpy(out, p, 8);
      out += copied;
      p += copied;
    }
    while (p != runEnd) {
      const unsigned char byteClass = classes[*p];
      if (byteClass == kPlain) {
        *out++ = static_cast<char>(*p++);
      } else if (byteClass == kHigh && p[0] >= 0xC2 && p[0] <= 0xDF && runEnd - p >= 2 &&
                 (p[1] & 0xC0) == 0x80) {
        out[0] = static_cast<char>(p[0]);
        out[1] = static_cast<char>(p[1]);
        out += 2;
        p += 2;
      } else {
        break;
      }
    }
    used_ = static_cast<std::size_t>(out - buffer_);
    if (p != runEnd) p += Special<kAttribute>(p, end);
  }
}

// A byte that is escaped, or a UTF-8 sequence that is not a plain two-byte
// letter; returns the bytes it took.
template <bool kAttribute>
std::size_t ReportPrinter::Special(const unsigned char* p, const unsigned char* end) {
  const unsigned char* classes = kAttribute ? kAttributeClasses.classes : kTextClasses.classes;
  const unsigned char byteClass = classes[*p];
  if (byteClass == kHigh) {
    std::size_t written = 0;
    const std::size_t taken = CleanUtf8Sequence(
        std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)),
        buffer_ + used_, written);
    used_ += written;
    return taken;
  }
  const std::size_t taken = byteClass == kReturnBreak && end - p >= 2 && p[1] == '\n' ? 2 : 1;
  const std::string_view escape = kEscapes[byteClass];
  std::memcpy(buffer_ + used_, escape.data(), escape.size());
  used_ += escape.size();
  return taken;
}

void ReportPrinter::TextElement(std::string_view name, std::string_view text) {
  PutMarkup("\r\n  <");
  PutMarkup(name);
  if (text.empty()) {
    PutMarkup("/>");
    return;
  }
  PutMarkup(">");
  Escaped<false>(text);
  PutMarkup("</");
  PutMarkup(name);
  PutMarkup(">");
}

// A phone element's number and calls share its first line; one without a
// number has each call on a line of its own.
void ReportPrinter::Subscriber(std::string_view number) {
  ClosePhone();
  number_ = EncodeUtf8(CodePageToUtf16(number));
  phone_ = PhoneState::kStarted;
}

void ReportPrinter::Call(const CallRecord& call) {
  if (phone_ == PhoneState::kNone) return;
  if (phone_ == PhoneState::kStarted) {
    PutMarkup("\r\n  <phone>");
    Escaped<false>(number_);
    phone_ = PhoneState::kWithCalls;
  }
  PutMarkup(number_.empty() ? "\r\n    <call" : "<call");
  for (int i = 0; i < kCallAttributeCount; ++i) {
    if (!call.Has(static_cast<CallAttribute>(i))) continue;
    if (used_ >= kBufferSize) Flush();
    std::memcpy(buffer_ + used_, kAttributeStarts[i], sizeof kAttributeStarts[i]);
    used_ += kCallAttributeNames[i].size() + 3;
    const std::string_view value = call.values[i];
    if (call.IsPlain(static_cast<CallAttribute>(i)) && value.size() <= kSlack) {
      PutMarkup(value);
    } else {
      Escaped<true>(value);
    }
    PutMarkup("\"");
  }
  PutMarkup("/>");
}

void ReportPrinter::ClosePhone() {
  if (phone_ == PhoneState::kStarted) {
    TextElement("phone", number_);
  } else if (phone_ == PhoneState::kWithCalls) {
    PutMarkup("\r\n  </phone>");
  }
  phone_ = PhoneState::kNone;
}

void ReportPrinter::End() {
  ClosePhone();
  PutMarkup("\r\n</report>\r\n");
  Flush();
}

}  // namespace qv
