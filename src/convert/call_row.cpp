#include "convert/call_row.h"

#include <cstdint>
#include <cstring>
#include <iterator>

#include "convert/report_document.h"
#include "runtime/byte_text.h"
#include "runtime/encodings.h"
#include "runtime/numbers.h"
#include "scan/element_scanner.h"
#include "scan/text_helpers.h"

namespace qv {
namespace {

constexpr std::string_view kIncomingArrow = "&lt;--";
constexpr std::string_view kServiceKeywords[] = {"тел", "sms", "wap", "gprs", "mms"};
constexpr std::size_t kServiceCacheSize = 16;
constexpr std::size_t kCachedServiceCellLimit = 64;
constexpr std::int64_t kCachedMinuteTexts = 4096;

// Columns of a call row, counted from 0; the others are ignored.
enum Column : int {
  kDateColumn = 1,
  kTimeColumn = 2,
  kNumberColumn = 4,
  kRegion2Column = 5,
  kRegion1Column = 6,
  kServiceColumn = 7,
  kDurationColumn = 9,
  kChargeColumn = 10,
};

bool IsMapped(std::int64_t column) {
  return column == kDateColumn || column == kTimeColumn ||
         (column >= kNumberColumn && column <= kServiceColumn) || column == kDurationColumn ||
         column == kChargeColumn;
}

constexpr std::u16string_view kCallAttributeNames[kCallAttributeCount] = {
    u"m", u"s", u"r1", u"r2", u"num", u"pay", u"code", u"time", u"type"};

// Gathers the values of a row, to make the call element at the end with all
// its attributes in their listed order at once.
class CallBuilder {
 public:
  CallBuilder(ReportDocument& document, CallRowBuffers& buffers)
      : document_(document), buffers_(buffers) {
    buffers.values.clear();
  }

  // Values are UTF-8 byte text, constants included. A value set again
  // replaces the first.
  void Set(CallAttribute attribute, std::string_view value) {
    buffers_.valueStart[attribute] = buffers_.values.size();
    buffers_.values.append(value);
    buffers_.valueEnd[attribute] = buffers_.values.size();
    set_ |= 1u << attribute;
  }

  // Adds to the value set last.
  void Extend(CallAttribute attribute, std::string_view more) {
    buffers_.values.append(more);
    buffers_.valueEnd[attribute] = buffers_.values.size();
  }

  // Appends the call element to phone, or has the writer take it, when the
  // row set an attribute.
  void Append(ReportElement* phone) {
    ReportDocument::Utf8Attribute attributes[kCallAttributeCount];
    std::size_t count = 0;
    for (int i = 0; i < kCallAttributeCount; ++i) {
      if ((set_ & (1u << i)) == 0) continue;
      const std::size_t start = buffers_.valueStart[i];
      attributes[count++] = {
          buffers_.attributeNames[i],
          std::string_view(buffers_.values).substr(start, buffers_.valueEnd[i] - start)};
    }
    if (count == 0) return;
    const std::span<const ReportDocument::Utf8Attribute> list(attributes, count);
    if (buffers_.writer != nullptr &&
        buffers_.writer->WriteNewChild(phone, buffers_.callName, list)) {
      return;
    }
    document_.AppendChild(phone, document_.CreateElement(buffers_.callName, list));
  }

 private:
  ReportDocument& document_;
  CallRowBuffers& buffers_;
  unsigned set_ = 0;
};

// Eight bytes at a time, the last eight overlapping the ones before: cells
// are too short for the library's search to pay for its call.
bool HasTag(std::string_view cell) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  const auto hasOpen = [&](std::size_t at) {
    std::uint64_t word;
    std::memcpy(&word, cell.data() + at, 8);
    const std::uint64_t marked = word ^ (kOnes * '<');
    return ((marked - kOnes) & ~marked & kHighs) != 0;
  };
  if (cell.size() < 8) {
    for (char byte : cell) {
      if (byte == '<') return true;
    }
    return false;
  }
  for (std::size_t i = 0; i + 8 < cell.size(); i += 8) {
    if (hasOpen(i)) return true;
  }
  return hasOpen(cell.size() - 8);
}

bool IsDigit(char byte) { return byte >= '0' && byte <= '9'; }

// dd.mm.yyyy exactly.
bool IsPlainDate(std::string_view date) {
  if (date.size() != 10 || date[2] != '.' || date[5] != '.') return false;
  for (std::size_t i : {0, 1, 3, 4, 6, 7, 8, 9}) {
    if (!IsDigit(date[i])) return false;
  }
  return true;
}

// Neither a blank nor a field separator of the date and time text.
bool IsPlainTime(std::string_view time) {
  for (char byte : time) {
    if (static_cast<unsigned char>(byte) <= 0x20 || byte == '.') return false;
  }
  return true;
}

// The third cell with the date of the second as year-month-day time.
void SetTime(std::string_view timeCell, CallRowBuffers& buffers, CallBuilder& call) {
  std::string& value = buffers.timeValue;
  value.clear();
  std::string& dateText = buffers.dateText;
  // The usual cells give the fields straight away; the field rules below
  // would cut them the same way.
  const bool plain = IsPlainDate(dateText) && IsPlainTime(timeCell);
  if (plain) {
    value.append(dateText, 6, 4);
    value += '-';
    value.append(dateText, 3, 2);
    value += '-';
    value.append(dateText, 0, 2);
    value += ' ';
  }
  dateText += ' ';
  if (timeCell.size() < 8) dateText.append(8 - timeCell.size(), '0');
  dateText += timeCell;
  if (plain) {
    value.append(dateText, 11);
    call.Set(kTime, value);
    return;
  }

  value += NthField(NthField(dateText, ' ', 1), '.', 3);
  value += '-';
  value += NthField(dateText, '.', 2);
  value += '-';
  value += NthField(dateText, '.', 1);
  value += ' ';
  value += NthField(dateText, ' ', 2);
  call.Set(kTime, value);
}

void SetDirectionAndNumber(std::string_view cell, CallBuilder& call) {
  const TextPos arrow = FindText(kIncomingArrow, cell);
  if (arrow == 0) {
    call.Set(kType, "1");
    call.Set(kNum, cell);
    return;
  }
  call.Set(kType, "2");
  // Without another "&" after it, taking the arrow out is all that
  // replacing it again and again would do.
  const std::string_view before = cell.substr(0, static_cast<std::size_t>(arrow - 1));
  const std::string_view after = cell.substr(before.size() + kIncomingArrow.size());
  if (before.find('&') == std::string_view::npos && after.find('&') == std::string_view::npos) {
    call.Set(kNum, before);
    call.Extend(kNum, after);
  } else {
    call.Set(kNum, ReplaceAll(cell, kIncomingArrow, ""));
  }
}

std::string MinuteText(std::int64_t totalSeconds, char decimalSeparator) {
  const long double minutes = static_cast<long double>(totalSeconds) / 60.0L;
  return FloatToGeneralText(RoundToPowerOfTen(minutes, -2), decimalSeparator);
}

// Durations repeat a lot: their minute texts are made once.
const std::string& CachedMinuteText(std::int64_t totalSeconds, CallRowBuffers& buffers) {
  // Made on first use, and again for another separator (zero is one too).
  if (buffers.minuteTexts.empty() || buffers.minuteSeparator != buffers.decimalSeparator) {
    buffers.minuteTexts.assign(kCachedMinuteTexts, std::string());
    buffers.minuteSeparator = buffers.decimalSeparator;
  }
  std::string& text = buffers.minuteTexts[static_cast<std::size_t>(totalSeconds)];
  if (text.empty()) text = MinuteText(totalSeconds, buffers.decimalSeparator);
  return text;
}

// ParseIntOr(text, 0), with plain digits read straight away.
std::int64_t NumberOr0(std::string_view text) {
  if (text.empty() || text.size() > 9) return ParseIntOr(text, 0);
  std::int64_t value = 0;
  for (char byte : text) {
    if (!IsDigit(byte)) return ParseIntOr(text, 0);
    value = value * 10 + (byte - '0');
  }
  return value;
}

// The total is kept in 64 bits: minutes up to the 32-bit limit times 60 must
// not wrap into a negative duration.
void SetDuration(std::string_view cell, CallRowBuffers& buffers, CallBuilder& call) {
  if (TextEquals(cell, "1")) {
    call.Set(kS, "1");
    call.Set(kM, "0");
    return;
  }
  const TextPos colon = FindByte(':', cell);
  const std::int64_t minutes = NumberOr0(SliceText(cell, 1, colon - 1));
  const std::int64_t seconds = NumberOr0(SliceText(cell, colon + 1, 2));
  const std::int64_t total = minutes * 60 + seconds;
  call.Set(kS, IntToDecimal(total));
  if (total >= 0 && total < kCachedMinuteTexts) {
    call.Set(kM, CachedMinuteText(total, buffers));
  } else {
    call.Set(kM, MinuteText(total, buffers.decimalSeparator));
  }
}

char ComputeServiceCode(std::string_view cell, CallRowBuffers& buffers) {
  if (!buffers.keywordsReady) {
    for (std::size_t i = 0; i < std::size(kServiceKeywords); ++i) {
      const std::u16string keyword = DecodeUtf8(kServiceKeywords[i]);
      buffers.keywords[i] = Utf16ToCodePage(keyword);
      if (CodePageToUtf16(buffers.keywords[i]) != keyword) buffers.keywordsInCodePage = false;
    }
    buffers.keywordsReady = true;
  }
  if (!buffers.keywordsInCodePage) return ServiceCodeInUtf16(cell);
  const std::string lowered = LowerInCodePage(Utf16ToCodePage(DecodeUtf8(cell)));
  for (std::size_t i = 0; i < std::size(kServiceKeywords); ++i) {
    if (FindText(buffers.keywords[i], lowered) != 0) return static_cast<char>('1' + i);
  }
  return '8';
}

// The letters of the Russian alphabet and of ASCII, lowered as a Cyrillic
// code page lowers them.
char16_t LowerLetter(char16_t unit) {
  if (unit >= u'A' && unit <= u'Z') return static_cast<char16_t>(unit + 0x20);
  if (unit >= 0x0410 && unit <= 0x042F) return static_cast<char16_t>(unit + 0x20);
  if (unit >= 0x0400 && unit <= 0x040F) return static_cast<char16_t>(unit + 0x50);
  return unit;
}

}  // namespace

CallRowBuffers::CallRowBuffers(ReportDocument& document) : callName(document.ElementName(u"call")) {
  for (int i = 0; i < kCallAttributeCount; ++i) {
    attributeNames[i] = document.AttributeName(kCallAttributeNames[i]);
  }
}

char ServiceCodeInUtf16(std::string_view cell) {
  std::u16string lowered = DecodeUtf8(cell);
  for (char16_t& unit : lowered) unit = LowerLetter(unit);
  for (std::size_t i = 0; i < std::size(kServiceKeywords); ++i) {
    if (lowered.find(DecodeUtf8(kServiceKeywords[i])) != std::u16string::npos) {
      return static_cast<char>('1' + i);
    }
  }
  return '8';
}

char ServiceCodeOf(std::string_view cell, CallRowBuffers& buffers) {
  for (const CallRowBuffers::ServiceCode& known : buffers.serviceCodes) {
    if (known.cell == cell) return known.code;
  }
  const char code = ComputeServiceCode(cell, buffers);
  if (cell.size() <= kCachedServiceCellLimit) {
    if (buffers.serviceCodes.size() < kServiceCacheSize) {
      buffers.serviceCodes.push_back({std::string(cell), code});
    } else {
      buffers.serviceCodes[buffers.nextServiceSlot] = {std::string(cell), code};
      buffers.nextServiceSlot = (buffers.nextServiceSlot + 1) % kServiceCacheSize;
    }
  }
  return code;
}

void ConvertCallRow(std::string_view row, ReportDocument& document, ReportElement* phone,
                    CallRowBuffers& buffers) {
  CallBuilder call(document, buffers);
  buffers.dateText.clear();
  CellCursor = 1;
  // Cells after the eleventh are scanned but never mapped, however long the
  // row: the column is counted without wrapping.
  std::int64_t nextColumn = 0;
  while (static_cast<TextPos>(row.size()) > CellCursor) {
    bool plain;
    const std::string_view content = NextCellContent(row, CellCursor, plain);
    const std::int64_t column = nextColumn++;
    if (!IsMapped(column)) continue;
    std::string_view cell = content;
    if (!plain && HasTag(content)) {
      buffers.cellText = StripTags(content);
      cell = buffers.cellText;
    }
    switch (column) {
      case kDateColumn:
        buffers.dateText.assign(cell);
        break;
      case kTimeColumn:
        SetTime(cell, buffers, call);
        break;
      case kNumberColumn:
        SetDirectionAndNumber(cell, call);
        break;
      case kRegion2Column:
        call.Set(kR2, cell);
        break;
      case kRegion1Column:
        call.Set(kR1, cell);
        break;
      case kServiceColumn: {
        const char code = ServiceCodeOf(cell, buffers);
        call.Set(kCode, std::string_view(&code, 1));
        break;
      }
      case kDurationColumn:
        SetDuration(cell, buffers, call);
        break;
      case kChargeColumn:
        call.Set(kPay, cell);
        break;
      default:
        break;
    }
  }
  call.Append(phone);
}

void ConvertCallRow(std::string_view row, ReportDocument& document, ReportElement* phone) {
  CallRowBuffers buffers(document);
  ConvertCallRow(row, document, phone, buffers);
}

}  // namespace qv
