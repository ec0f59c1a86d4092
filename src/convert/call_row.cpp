#include "convert/call_row.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "runtime/ascii.h"
#include "runtime/byte_text.h"
#include "runtime/encodings.h"
#include "runtime/numbers.h"
#include "runtime/xml_characters.h"
#include "scan/element_scanner.h"
#include "scan/text_helpers.h"

namespace qv {
namespace {

constexpr std::string_view kIncomingArrow = "&lt;--";
constexpr std::string_view kServiceKeywords[] = {"тел", "sms", "wap", "gprs", "mms"};
constexpr std::size_t kServiceCacheSize = 16;
constexpr std::size_t kCachedServiceCellLimit = 64;

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

// The usual row gives its first cells only.
static_assert(kChargeColumn < kKeptCells);

bool IsMapped(std::size_t column) {
  return column == kDateColumn || column == kTimeColumn ||
         (column >= kNumberColumn && column <= kServiceColumn) || column == kDurationColumn ||
         column == kChargeColumn;
}

// dd.mm.yyyy exactly.
bool IsPlainDate(std::string_view date) {
  if (date.size() != 10 || date[2] != '.' || date[5] != '.') return false;
  for (std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u, 8u, 9u}) {
    if (!IsDigit(date[i])) return false;
  }
  return true;
}

// Neither a blank nor a field separator of the date and time text, and
// nothing the report would escape.
bool IsPlainTime(std::string_view time) {
  for (char byte : time) {
    const auto value = static_cast<unsigned char>(byte);
    if (value == ' ' || byte == '.' || !IsPlainInAttribute(value)) return false;
  }
  return true;
}

// The code of a service cell matched in UTF-16, for a code page without
// Cyrillic letters: there every Cyrillic letter would become the same
// default character, and "тел" would be found in any three of them. No
// other letter lowers into a letter of the keywords.
char ServiceCodeInUtf16(std::string_view cell) {
  std::u16string lowered = DecodeUtf8(cell);
  for (char16_t& unit : lowered) unit = SimpleLowerCase(unit);
  for (std::size_t i = 0; i < std::size(kServiceKeywords); ++i) {
    if (lowered.find(DecodeUtf8(kServiceKeywords[i])) != std::u16string::npos) {
      return static_cast<char>('1' + i);
    }
  }
  return '8';
}

}  // namespace

CallRowConverter::CallRowConverter(char decimalSeparator)
    : decimalSeparator_(decimalSeparator),
      // Seconds, code and direction are digits; minutes too, with the separator.
      madePlain_(
          1u << kS | 1u << kCode | 1u << kType |
          (IsPlainInAttribute(static_cast<unsigned char>(decimalSeparator)) ? 1u << kM : 0)) {}

void CallRowConverter::Set(int slot, std::string_view value) {
  values_[slot] = value;
  set_ |= 1u << slot;
}

void CallRowConverter::Store(int slot, std::string_view value) {
  buffers_[slot].assign(value);
  Set(slot, buffers_[slot]);
}

void CallRowConverter::SetCell(int slot, std::string_view cell, bool stripped) {
  if (stripped) {
    Store(slot, cell);
  } else {
    Set(slot, cell);
  }
}

// The third cell with the date of the second as year-month-day time. The
// usual cells give the fields straight away; the field rules would cut them
// the same way.
void CallRowConverter::SetTime(std::string_view timeCell) {
  const std::string_view zeros = "00000000";
  const std::string_view padding = zeros.substr(0, timeCell.size() < 8 ? 8 - timeCell.size() : 0);
  std::string& value = buffers_[kTime];
  if (IsPlainDate(dateText_) && IsPlainTime(timeCell)) {
    // "dd.mm.yyyy" becomes "yyyy-mm-dd ", written in place.
    const std::string_view date = dateText_;
    value.resize(11 + padding.size() + timeCell.size());
    char* const out = value.data();
    const char fields[] = {date[6], date[7], date[8], date[9], '-', date[3],
                           date[4], '-',     date[0], date[1], ' '};
    std::memcpy(out, fields, sizeof fields);
    // The cell may be empty, with no bytes behind it to copy.
    std::copy(padding.begin(), padding.end(), out + sizeof fields);
    std::copy(timeCell.begin(), timeCell.end(), out + sizeof fields + padding.size());
    plain_ |= 1u << kTime;
  } else {
    dateText_.append(" ").append(padding).append(timeCell);
    value.assign(NthField(NthField(dateText_, ' ', 1), '.', 3));
    value.append("-").append(NthField(dateText_, '.', 2));
    value.append("-").append(NthField(dateText_, '.', 1));
    value.append(" ").append(NthField(dateText_, ' ', 2));
  }
  Set(kTime, value);
}

void CallRowConverter::SetDirectionAndNumber(std::string_view cell, bool stripped) {
  const TextPos arrow = FindText(kIncomingArrow, cell);
  if (arrow == 0) {
    Set(kType, "1");
    SetCell(kNum, cell, stripped);
    return;
  }
  Set(kType, "2");
  // Without another "&" after it, taking the arrow out is all that
  // replacing it again and again would do.
  const std::string_view before = cell.substr(0, static_cast<std::size_t>(arrow - 1));
  const std::string_view after = cell.substr(before.size() + kIncomingArrow.size());
  if (before.find('&') == std::string_view::npos && after.find('&') == std::string_view::npos) {
    buffers_[kNum].assign(before).append(after);
  } else {
    RemoveAll(cell, kIncomingArrow, buffers_[kNum]);
  }
  Set(kNum, buffers_[kNum]);
}

// The total is kept in 64 bits: minutes up to the 32-bit limit times 60 must
// not wrap into a negative duration.
void CallRowConverter::SetDuration(std::string_view cell) {
  if (cell == "1") {
    Set(kS, "1");
    Set(kM, "0");
    return;
  }
  const TextPos colon = FindByte(':', cell);
  const std::int64_t minutes = ParseIntOr(SliceText(cell, 1, colon - 1), 0);
  const std::int64_t seconds = ParseIntOr(SliceText(cell, colon + 1, 2), 0);
  const std::int64_t total = minutes * 60 + seconds;
  Store(kS, IntToDecimal(total));
  Store(kM, MinuteText(total, decimalSeparator_));
}

char CallRowConverter::ComputeServiceCode(std::string_view cell) {
  if (!keywordsReady_) {
    for (std::size_t i = 0; i < std::size(kServiceKeywords); ++i) {
      const std::u16string keyword = DecodeUtf8(kServiceKeywords[i]);
      keywords_[i] = Utf16ToCodePage(keyword);
      if (CodePageToUtf16(keywords_[i]) != keyword) keywordsInCodePage_ = false;
    }
    keywordsReady_ = true;
  }
  if (!keywordsInCodePage_) return ServiceCodeInUtf16(cell);
  const std::string lowered = LowerInCodePage(Utf16ToCodePage(DecodeUtf8(cell)));
  for (std::size_t i = 0; i < std::size(kServiceKeywords); ++i) {
    if (FindText(keywords_[i], lowered) != 0) return static_cast<char>('1' + i);
  }
  return '8';
}

char CallRowConverter::ServiceCodeOf(std::string_view cell) {
  for (const ServiceCode& known : serviceCodes_) {
    if (known.cell == cell) return known.code;
  }
  const char code = ComputeServiceCode(cell);
  if (cell.size() <= kCachedServiceCellLimit) {
    if (serviceCodes_.size() < kServiceCacheSize) {
      serviceCodes_.push_back({std::string(cell), code});
    } else {
      serviceCodes_[nextServiceSlot_] = {std::string(cell), code};
      nextServiceSlot_ = (nextServiceSlot_ + 1) % kServiceCacheSize;
    }
  }
  return code;
}

void CallRowConverter::TakeCell(std::size_t column, std::string_view cell, bool stripped) {
  static constexpr std::string_view kCodes = "12345678";
  switch (column) {
    case kDateColumn:
      dateText_.assign(cell);
      break;
    case kTimeColumn:
      SetTime(cell);
      break;
    case kNumberColumn:
      SetDirectionAndNumber(cell, stripped);
      break;
    case kRegion2Column:
      SetCell(kR2, cell, stripped);
      break;
    case kRegion1Column:
      SetCell(kR1, cell, stripped);
      break;
    case kServiceColumn:
      Set(kCode, kCodes.substr(static_cast<std::size_t>(ServiceCodeOf(cell) - '1'), 1));
      SetCell(kService, cell, stripped);
      break;
    case kDurationColumn:
      SetDuration(cell);
      break;
    case kChargeColumn:
      SetCell(kPay, cell, stripped);
      break;
    default:
      break;
  }
}

bool CallRowConverter::Convert(std::string_view row, CallRecord& call) {
  // Cells after the last mapped one are walked but not kept, however long
  // the row.
  rowCells_.clear();
  for (TextPos cursor = 1; static_cast<TextPos>(row.size()) > cursor;) {
    const TagContent found = NextTagContent(row, "td", cursor);
    cursor = found.stop;
    if (rowCells_.size() <= kChargeColumn) rowCells_.push_back(found.content);
  }
  return ConvertCells(rowCells_, call, true);
}

// The row's cells stay where they are: only what is made for the row, or a
// cell stripped of its tags, is copied, each into its slot's own buffer.
bool CallRowConverter::ConvertCells(std::span<const std::string_view> cells, CallRecord& call,
                                    bool mayHoldMarkup) {
  set_ = 0;
  plain_ = madePlain_;
  dateText_.clear();
  for (std::size_t column = 0; column < cells.size() && column <= kChargeColumn; ++column) {
    if (!IsMapped(column)) continue;
    std::string_view cell = cells[column];
    const bool stripped = mayHoldMarkup && cell.find('<') != std::string_view::npos;
    if (stripped) {
      cellText_ = StripTags(cell);
      cell = cellText_;
    }
    TakeCell(column, cell, stripped);
  }
  for (int i = 0; i < kSlots; ++i) {
    std::string_view& value = i == kService ? call.service : call.values[i];
    value = (set_ >> i & 1u) != 0 ? values_[i] : std::string_view();
  }
  call.set = set_ & ((1u << kCallAttributeCount) - 1);
  call.plain = plain_ & call.set;
  return call.set != 0;
}

}  // namespace qv
