#include "convert/report_printer.h"

#include <cstdint>
#include <cstring>

#include "maker.h"
#include "runtime/encodings.h"

namespace qv {
namespace {

constexpr std::string_view kApplicationText = "Подготовлено для программы Quarvel";
constexpr std::string_view kLibraryText = "qvmtsfrs.dll";

// The bytes that open each attribute, in the list's order.
constexpr std::string_view kAttributeStarts[kCallAttributeCount] = {
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
};

struct ClassTable {
  unsigned char classes[256];
};

constexpr ClassTable MakeTable(bool attribute) {
  ClassTable table{};
  table.classes['&'] = kAmp;
  table.classes['<'] = kLt;
  if (attribute) {
    table.classes['"'] = kQuot;
    table.classes['\t'] = kTabReference;
    table.classes['\n'] = kLineFeedReference;
    table.classes['\r'] = kReturnReference;
  } else {
    table.classes['>'] = kGt;
    table.classes['\n'] = kLineFeedBreak;
    table.classes['\r'] = kReturnBreak;
  }
  return table;
}

constexpr ClassTable kTextClasses = MakeTable(false);
constexpr ClassTable kAttributeClasses = MakeTable(true);

// The replacement of a byte that is not kPlain; a carriage return's own line
// break is written by the caller, which also swallows an LF after it.
std::string_view EscapeOf(unsigned char byteClass) {
  switch (byteClass) {
    case kAmp:
      return "&amp;";
    case kLt:
      return "&lt;";
    case kGt:
      return "&gt;";
    case kQuot:
      return "&quot;";
    case kTabReference:
      return "&#x9;";
    case kLineFeedReference:
      return "&#xA;";
    case kReturnReference:
      return "&#xD;";
    default:
      return "\r\n";
  }
}

// Whether no byte has its high bit set; eight at a time, the last eight
// overlapping the ones before.
bool IsAscii(std::string_view text) {
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  const char* p = text.data();
  const std::size_t size = text.size();
  if (size < 8) {
    unsigned char any = 0;
    for (std::size_t i = 0; i < size; ++i) any |= static_cast<unsigned char>(p[i]);
    return any < 0x80;
  }
  std::uint64_t any = 0;
  for (std::size_t i = 0; i + 8 < size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + i, 8);
    any |= word;
  }
  std::uint64_t last;
  std::memcpy(&last, p + size - 8, 8);
  return ((any | last) & kHighs) == 0;
}

std::string CleanedUtf8(std::string_view bytes) {
  std::string out(bytes.size(), '\0');
  out.resize(CleanUtf8(bytes, out.data()));
  return out;
}

}  // namespace

ReportPrinter::ReportPrinter(ReportOutput& out, std::string_view filename) : out_(out) {
  Put("<?xml version=\"1.0\"?>\r\n<report>");
  HeaderElement("application", kApplicationText);
  HeaderElement("url", QV_MAKER_URL);
  HeaderElement("filename", CleanedUtf8(filename));
  HeaderElement("library", kLibraryText);
}

void ReportPrinter::Flush() {
  const std::size_t size = used_;
  used_ = 0;
  if (size != 0) out_.Write(buffer_, size);
}

void ReportPrinter::Put(std::string_view bytes) {
  while (!bytes.empty()) {
    if (used_ >= kBufferSize) Flush();
    const std::size_t piece =
        bytes.size() < kBufferSize - used_ ? bytes.size() : kBufferSize - used_;
    std::memcpy(buffer_ + used_, bytes.data(), piece);
    used_ += piece;
    bytes.remove_prefix(piece);
  }
}

// Runs of plain bytes are copied eight at a time while none of them needs a
// look of its own; the buffer's slack takes the longest replacement.
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
    while (runEnd - p >= 8 &&
           (classes[p[0]] | classes[p[1]] | classes[p[2]] | classes[p[3]] | classes[p[4]] |
            classes[p[5]] | classes[p[6]] | classes[p[7]]) == kPlain) {
      std::memcpy(out, p, 8);
      out += 8;
      p += 8;
    }
    while (p != runEnd && classes[*p] == kPlain) *out++ = static_cast<char>(*p++);
    used_ = static_cast<std::size_t>(out - buffer_);
    if (p == runEnd) continue;
    const unsigned char byteClass = classes[*p++];
    if (byteClass == kReturnBreak && p != end && *p == '\n') ++p;
    const std::string_view escape = EscapeOf(byteClass);
    std::memcpy(buffer_ + used_, escape.data(), escape.size());
    used_ += escape.size();
  }
}

// Values are written as the UTF-8 their decoding gives: malformed sequences
// become "?"; ASCII is clean already.
void ReportPrinter::Value(std::string_view value) {
  if (IsAscii(value)) {
    Escaped<true>(value);
    return;
  }
  if (cleaned_.size() < value.size()) cleaned_.resize(value.size());
  Escaped<true>(std::string_view(cleaned_.data(), CleanUtf8(value, cleaned_.data())));
}

void ReportPrinter::HeaderElement(std::string_view name, std::string_view text) {
  Put("\r\n  <");
  Put(name);
  if (text.empty()) {
    Put("/>");
    return;
  }
  Put(">");
  Escaped<false>(CleanedUtf8(text));
  Put("</");
  Put(name);
  Put(">");
}

// A phone element's number and calls share its first line; one without a
// number has each call on a line of its own.
void ReportPrinter::Subscriber(std::string_view number) {
  ClosePhone();
  Put("\r\n  <phone");
  number_ = EncodeUtf8(CodePageToUtf16(number));
  phone_ = PhoneState::kStarted;
}

void ReportPrinter::Call(const CallRecord& call) {
  if (phone_ == PhoneState::kNone) return;
  if (phone_ == PhoneState::kStarted) {
    Put(">");
    Escaped<false>(number_);
    phone_ = PhoneState::kWithCalls;
  }
  Put(number_.empty() ? "\r\n    <call" : "<call");
  for (int i = 0; i < kCallAttributeCount; ++i) {
    if (!call.Has(static_cast<CallAttribute>(i))) continue;
    Put(kAttributeStarts[i]);
    Value(call.values[i]);
    Put("\"");
  }
  Put("/>");
}

void ReportPrinter::ClosePhone() {
  if (phone_ == PhoneState::kStarted) {
    if (number_.empty()) {
      Put("/>");
    } else {
      Put(">");
      Escaped<false>(number_);
      Put("</phone>");
    }
  } else if (phone_ == PhoneState::kWithCalls) {
    Put("\r\n  </phone>");
  }
  phone_ = PhoneState::kNone;
}

void ReportPrinter::End() {
  ClosePhone();
  Put("\r\n</report>\r\n");
  Flush();
}

}  // namespace qv
