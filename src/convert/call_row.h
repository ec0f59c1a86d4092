#pragma once
// One table row of a subscriber block as the values of a call element.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The attributes of a call element, in the order the report lists them.
enum CallAttribute : int { kM, kS, kR1, kR2, kNum, kPay, kCode, kTime, kType, kCallAttributeCount };

inline constexpr std::string_view kCallAttributeNames[kCallAttributeCount] = {
    "m", "s", "r1", "r2", "num", "pay", "code", "time", "type"};

// The values a row gave, as UTF-8 byte text of the detail (malformed
// sequences still in them); valid until the next row is converted.
struct CallRecord {
  std::string_view values[kCallAttributeCount];
  unsigned set = 0;  // bit a: values[a] was set
  // Bit a: values[a] is made of bytes an XML attribute holds as they are.
  unsigned plain = 0;
  // The service cell's text, tags stripped; empty when the row has none.
  std::string_view service;

  bool Has(CallAttribute attribute) const { return ((set >> attribute) & 1u) != 0; }
  bool IsPlain(CallAttribute attribute) const { return ((plain >> attribute) & 1u) != 0; }
};

// Turns the rows of one conversion into call records. Keeps its working
// texts from row to row, so that a row costs no allocation once they have
// grown, and remembers the codes of the service cells it has met.
class CallRowConverter {
 public:
  // decimalSeparator goes into the minute values.
  explicit CallRowConverter(char decimalSeparator);

  // False when the row set no attribute: it makes no call element.
  bool Convert(std::string_view row, CallRecord& call);
  // The same for a row whose cells' contents were read off already; tags in
  // them are stripped when they may hold some.
  bool ConvertCells(std::span<const std::string_view> cells, CallRecord& call, bool mayHoldMarkup);

 private:
  struct ServiceCode {
    std::string cell;
    char code;
  };
  // The service cell's text is kept after the attributes.
  static constexpr int kService = kCallAttributeCount;
  static constexpr int kSlots = kCallAttributeCount + 1;
  // A value that lasts until the next row: a view into the row, a constant,
  // a remembered text or the slot's buffer.
  void Set(int slot, std::string_view value);
  // A value made for this row, copied into the slot's buffer.
  void Store(int slot, std::string_view value);
  // The cell's text as a value: a copy when it is a cell stripped of tags,
  // whose buffer the next cell reuses.
  void SetCell(int slot, std::string_view cell, bool stripped);
  void TakeCell(std::size_t column, std::string_view cell, bool stripped);
  void SetTime(std::string_view timeCell);
  void SetDirectionAndNumber(std::string_view cell, bool stripped);
  void SetDuration(std::string_view cell);
  char ServiceCodeOf(std::string_view cell);
  char ComputeServiceCode(std::string_view cell);

  char decimalSeparator_;
  // The values of the row being converted, and one buffer per slot for the
  // ones made for it, which keeps its room from row to row.
  std::string_view values_[kSlots];
  std::string buffers_[kSlots];
  unsigned set_ = 0;
  // The values made of bytes that need no escaping in the report.
  unsigned madePlain_;
  unsigned plain_ = 0;
  std::vector<std::string_view> rowCells_;
  std::string cellText_;
  std::string dateText_;
  // Service cells take few distinct values.
  std::vector<ServiceCode> serviceCodes_;
  std::size_t nextServiceSlot_ = 0;
  std::string keywords_[5];
  bool keywordsReady_ = false;
  // False when the system code page cannot hold the keywords.
  bool keywordsInCodePage_ = true;
};

}  // namespace qv
