#pragma once
// The listings of the calls that reports of details hold: "calls", one
// record per call, and "summary", the calls of each subscriber block added
// up. The tool and the browser page both make them from the walk's events.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "convert/detail_walk.h"
#include "plain_decimal.h"
#include "records.h"

namespace qv::listing {

// What a listing hears of its inputs: the detail's own events, framed by
// the start and the end of each input.
class ListingEvents : public DetailEvents {
 public:
  virtual void StartInput(std::string_view file) = 0;
  // Also after a failure, when the input handed over what it held before
  // it; what the input gave is in the buffer's sink by then.
  virtual void EndInput() = 0;
  // After the last input: writes what closes the listing into the buffer.
  virtual void Finish() = 0;

 protected:
  ~ListingEvents() = default;
};

// The value as the listings give it. Always: well-formed UTF-8 (a "?" for
// each malformed sequence) and a "?" for each control character the report
// cannot hold, as in the report. Unless raw: the page's character references
// decoded, a no-break space made a blank, and blanks trimmed, so that values
// compare and join as people expect. It is text itself when nothing
// changes, otherwise a view of scratch, which is overwritten.
std::string_view CleanValue(std::string_view text, bool raw, std::string& scratch);

// Rows of cells in columns padded to their widest cell, for a terminal.
class TextTable {
 public:
  // Values are well-formed UTF-8; control characters in them are shown as
  // "?", so that no cell can steer the terminal. Numbers stand against their
  // column's right edge; a missing value is an empty cell.
  void AddRow(std::span<const Field> cells);
  // Columns two spaces apart, lines ending in LF without trailing blanks.
  void AppendTo(std::string& out) const;

 private:
  struct Cell {
    std::string text;
    bool alignRight;
  };
  std::vector<std::vector<Cell>> rows_;
  std::vector<std::size_t> widths_;
};

// The columns of "calls" after file and phone, and the call's values in them.
class ListedCall {
 public:
  static constexpr std::size_t kColumnCount = 10;
  static constexpr std::array<std::string_view, kColumnCount + 2> kNames = {
      "file",    "phone",        "time",    "direction", "number", "call_zone", "destination_zone",
      "service", "service_code", "seconds", "minutes",   "charge"};
  enum Column {
    kTime,
    kDirection,
    kNumber,
    kCallZone,
    kDestinationZone,
    kService,
    kServiceCode,
    kSeconds,
    kMinutes,
    kCharge
  };

  ListedCall();
  // False when the row is no call: its time is not a date and time (a
  // heading, a spacer), unless every row is wanted.
  bool Take(const CallRecord& call, const ListingOptions& options);
  // Nothing when the row did not set the value.
  const std::optional<std::string_view>& operator[](Column column) const {
    return fields_[column].value;
  }
  std::span<const Field> Fields() const { return fields_; }

 private:
  std::array<Field, kColumnCount> fields_;
  std::array<std::string, kColumnCount> scratch_;
};

class CallsListing final : public ListingEvents {
 public:
  CallsListing(OutputBuffer& out, const ListingOptions& options);
  void StartInput(std::string_view file) override;
  void EndInput() override { out_.Flush(); }
  void Subscriber(std::string_view number) override;
  void Call(const CallRecord& record) override;
  void Finish() override { writer_.Finish(); }

 private:
  OutputBuffer& out_;
  ListingOptions options_;
  RecordWriter writer_;
  ListedCall call_;
  std::string file_;
  std::string phone_;
};

// The service codes a call can have, in the order of the summary's columns.
inline constexpr std::string_view kServiceCodes = "123458";

struct SubscriberSummary {
  std::string file;
  std::string phone;
  // The earliest and latest call time, compared as text; nothing when no
  // call of the block has a time.
  std::optional<std::string> firstCall;
  std::optional<std::string> lastCall;
  std::uint64_t callsOut = 0;
  std::uint64_t callsIn = 0;
  DecimalTotal seconds;
  // Of the charges that are plain decimal numbers; the others are left out.
  DecimalTotal charge;
  std::array<std::uint64_t, kServiceCodes.size()> codeCounts{};

  // Adds what the call counts; a call is what "calls" lists.
  void Add(const ListedCall& call);
};

// Each block is written once it has ended, at the next block or at the end
// of its input, however the input ended; the text table waits for them all,
// to know its columns' widths, and ends with a line of totals.
class SummaryListing final : public ListingEvents {
 public:
  SummaryListing(OutputBuffer& out, const ListingOptions& options);
  void StartInput(std::string_view file) override;
  void EndInput() override;
  void Subscriber(std::string_view number) override;
  void Call(const CallRecord& record) override;
  void Finish() override;

 private:
  void CloseBlock();
  void Write(const SubscriberSummary& entry);

  OutputBuffer& out_;
  ListingOptions options_;
  RecordWriter writer_;
  TextTable table_;
  ListedCall call_;
  std::string file_;
  std::optional<SubscriberSummary> open_;
  SubscriberSummary total_;
};

}  // namespace qv::listing
