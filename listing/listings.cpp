#include "listings.h"

#include <algorithm>
#include <vector>

#include "runtime/ascii.h"

namespace qv::listing {
namespace {

// Where each column of "calls" takes its value from; the service cell sets
// the code, so without the cell there is no service.
constexpr CallAttribute kSources[ListedCall::kColumnCount] = {kTime, kType, kNum, kR2, kR1,
                                                              kCode, kCode, kS,   kM,  kPay};

constexpr std::size_t kSummaryColumns = 8 + kServiceCodes.size();
constexpr std::array<std::string_view, kSummaryColumns> kSummaryNames = {
    "file",   "phone",  "first_call", "last_call", "calls_out", "calls_in", "seconds",
    "charge", "code_1", "code_2",     "code_3",    "code_4",    "code_5",   "code_8"};
// Shorter headings for the terminal; the help tells what they count.
constexpr std::array<std::string_view, kSummaryColumns> kTableHeadings = {
    "file",   "phone", "first call", "last call", "out", "in", "seconds",
    "charge", "c1",    "c2",         "c3",        "c4",  "c5", "c8"};
constexpr std::size_t kFirstSummaryNumber = 4;

// Digits in the shape "2011-03-01 09:05:17", however many in each group.
bool IsDateAndTime(std::string_view text) {
  constexpr std::string_view kSeparators = "-- ::";
  std::size_t i = 0;
  for (std::size_t group = 0;; ++group) {
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == start) return false;
    if (group == kSeparators.size()) return i == text.size();
    if (i == text.size() || text[i] != kSeparators[group]) return false;
    ++i;
  }
}

std::string Cleaned(std::string_view text, bool raw) {
  std::string scratch;
  return std::string(CleanValue(text, raw, scratch));
}

void AddIfPlain(std::optional<std::string_view> text, DecimalTotal& total) {
  if (!text) return;
  if (const std::optional<PlainDecimal> number = ParsePlainDecimal(*text)) total.Add(*number);
}

using SummaryCells = std::array<std::optional<std::string>, kSummaryColumns>;

SummaryCells CellsOf(const SubscriberSummary& entry) {
  SummaryCells cells = {entry.file,
                        entry.phone,
                        entry.firstCall,
                        entry.lastCall,
                        std::to_string(entry.callsOut),
                        std::to_string(entry.callsIn),
                        entry.seconds.Text(),
                        entry.charge.Text()};
  for (std::size_t i = 0; i < kServiceCodes.size(); ++i)
    cells[8 + i] = std::to_string(entry.codeCounts[i]);
  return cells;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// C0 controls, DEL, and the C1 controls U+0080 to U+009F (C2 80 to C2 9F).
std::string ForTerminal(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                    static_cast<unsigned char>(text[i + 1]) < 0xA0 &&
                    IsContinuation(static_cast<unsigned char>(text[i + 1]));
    if (byte < 0x20 || byte == 0x7F || c1) {
      shown += '?';
      if (c1) ++i;
    } else {
      shown += text[i];
    }
  }
  return shown;
}

// The columns UTF-8 text takes: one per character, so a Cyrillic letter of
// two bytes takes one.
std::size_t DisplayWidth(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char byte) {
    return !IsContinuation(static_cast<unsigned char>(byte));
  }));
}

}  // namespace

void TextTable::AddRow(std::span<const Field> cells) {
  std::vector<Cell>& row = rows_.emplace_back();
  widths_.resize(std::max(widths_.size(), cells.size()), 0);
  for (std::size_t column = 0; column < cells.size(); ++column) {
    row.push_back({ForTerminal(cells[column].value.value_or("")), cells[column].number});
    widths_[column] = std::max(widths_[column], DisplayWidth(row.back().text));
  }
}

void TextTable::AppendTo(std::string& out) const {
  for (const std::vector<Cell>& row : rows_) {
    const std::size_t lineStart = out.size();
    for (std::size_t column = 0; column < row.size(); ++column) {
      const Cell& cell = row[column];
      const std::string padding(widths_[column] - DisplayWidth(cell.text), ' ');
      if (column > 0) out += "  ";
      out += cell.alignRight ? padding + cell.text : cell.text + padding;
    }
    const std::size_t end = out.find_last_not_of(' ');
    out.resize(end == std::string::npos || end < lineStart ? lineStart : end + 1);
    out += '\n';
  }
}

ListedCall::ListedCall() {
  for (const Column column : {kServiceCode, kSeconds, kMinutes, kCharge})
    fields_[column].number = true;
}

bool ListedCall::Take(const CallRecord& call, const ListingOptions& options) {
  bool isCall = false;
  for (std::size_t column = 0; column < kColumnCount; ++column) {
    std::optional<std::string_view>& value = fields_[column].value;
    value.reset();
    if (!call.Has(kSources[column])) continue;
    const std::string_view text = column == kService ? call.service : call.values[kSources[column]];
    if (column == kDirection) {
      if (text == "1" || text == "2") value = text == "1" ? "out" : "in";
    } else if (column == kTime && IsDateAndTime(text)) {
      value = text;  // nothing to clean
      isCall = true;
    } else if (column != kTime && column != kService && call.IsPlain(kSources[column])) {
      value = text;  // digits the row converter made
    } else {
      value = CleanValue(text, options.raw, scratch_[column]);
      if (column == kTime) isCall = IsDateAndTime(*value);
    }
  }
  return options.allRows || isCall;
}

CallsListing::CallsListing(OutputBuffer& out, const ListingOptions& options)
    : out_(out), options_(options), writer_(out, options, ListedCall::kNames) {}

void CallsListing::StartInput(std::string_view file) { file_ = Cleaned(file, true); }

void CallsListing::Subscriber(std::string_view number) {
  phone_ = Cleaned(number, options_.raw);
  writer_.SetLeading(std::array<Field, 2>{Field{file_}, Field{phone_}});
}

void CallsListing::Call(const CallRecord& record) {
  if (call_.Take(record, options_)) writer_.Write(call_.Fields());
}

void SubscriberSummary::Add(const ListedCall& call) {
  if (const std::optional<std::string_view> time = call[ListedCall::kTime]) {
    if (!firstCall || *time < *firstCall) firstCall = std::string(*time);
    if (!lastCall || *time > *lastCall) lastCall = std::string(*time);
  }
  callsOut += call[ListedCall::kDirection] == "out" ? 1 : 0;
  callsIn += call[ListedCall::kDirection] == "in" ? 1 : 0;
  AddIfPlain(call[ListedCall::kSeconds], seconds);
  AddIfPlain(call[ListedCall::kCharge], charge);
  const std::optional<std::string_view> code = call[ListedCall::kServiceCode];
  if (code && code->size() == 1) {
    const std::size_t index = kServiceCodes.find(code->front());
    if (index != std::string_view::npos) ++codeCounts[index];
  }
}

SummaryListing::SummaryListing(OutputBuffer& out, const ListingOptions& options)
    : out_(out), options_(options), writer_(out, options, kSummaryNames) {
  std::array<Field, kSummaryColumns> headings;
  for (std::size_t i = 0; i < kSummaryColumns; ++i)
    headings[i] = {kTableHeadings[i], i >= kFirstSummaryNumber};
  if (options_.format == Format::kText) table_.AddRow(headings);
}

void SummaryListing::StartInput(std::string_view file) { file_ = Cleaned(file, true); }

void SummaryListing::EndInput() {
  CloseBlock();
  out_.Flush();
}

void SummaryListing::Subscriber(std::string_view number) {
  CloseBlock();
  open_.emplace();
  open_->file = file_;
  open_->phone = Cleaned(number, options_.raw);
}

void SummaryListing::Call(const CallRecord& record) {
  // The walk hands over calls only inside a block.
  if (!open_ || !call_.Take(record, options_)) return;
  open_->Add(call_);
  if (options_.format == Format::kText) total_.Add(call_);
}

void SummaryListing::CloseBlock() {
  if (open_) Write(*open_);
  open_.reset();
}

void SummaryListing::Write(const SubscriberSummary& entry) {
  const SummaryCells cells = CellsOf(entry);
  std::array<Field, kSummaryColumns> fields;
  for (std::size_t i = 0; i < kSummaryColumns; ++i)
    fields[i] = {cells[i], i >= kFirstSummaryNumber};
  if (options_.format == Format::kText) {
    table_.AddRow(fields);
  } else {
    writer_.Write(fields);
  }
}

void SummaryListing::Finish() {
  CloseBlock();
  if (options_.format != Format::kText) {
    writer_.Finish();
    return;
  }
  total_.file = "total";
  Write(total_);
  table_.AppendTo(out_.Text());
}

}  // namespace qv::listing
