#pragma once
// Records of named fields written as CSV, JSON Lines or one JSON array, into
// a buffer handed to any byte sink in large pieces.
#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "convert/report_printer.h"

namespace qv::listing {

enum class Format { kCsv, kJsonLines, kJson, kText };

struct ListingOptions {
  Format format = Format::kCsv;
  char delimiter = ',';
  bool crlf = false;
  bool header = true;
  // What a spreadsheet set to Russian opens as it should: a UTF-8 byte-order
  // mark, ";", CR LF, a decimal comma, and text cells that would start a
  // formula guarded by a leading "'".
  bool excel = false;
  // The report's values as they stand (see CleanValue).
  bool raw = false;
  // Every row the report holds, headings and spacers too, not only calls.
  bool allRows = false;
};

// Bytes appended to Text() and handed to the sink a megabyte or more at a time.
class OutputBuffer {
 public:
  static constexpr std::size_t kFlushSize = 1 << 20;

  explicit OutputBuffer(ReportOutput& out);
  std::string& Text() { return text_; }
  void FlushWhenFull() {
    if (text_.size() >= kFlushSize) Flush();
  }
  void Flush();

 private:
  ReportOutput& out_;
  std::string text_;
};

// Nothing stands for a value the record lacks: empty in CSV, null in JSON.
struct Field {
  std::optional<std::string_view> value;
  // A plain decimal here is written as a number: a JSON number, and in CSV
  // with the dialect's decimal separator; anything else as text.
  bool number = false;
};

class RecordWriter {
 public:
  // Writes what comes before the records: the byte-order mark, the header
  // row, the array's start.
  RecordWriter(OutputBuffer& out, const ListingOptions& options,
               std::span<const std::string_view> names);
  // The first fields of every record from now on, such as the file and
  // the phone, written once here rather than in every record.
  void SetLeading(std::span<const Field> fields);
  // The fields after the leading ones.
  void Write(std::span<const Field> fields);
  // Closes the array.
  void Finish();

 private:
  void AppendFields(std::span<const Field> fields, std::size_t firstColumn,
                    std::string& text) const;
  void AppendCsvField(const Field& field, std::string& text) const;
  void AppendCsvText(std::string_view value, std::string& text) const;
  bool NeedsQuotes(std::string_view value) const;

  OutputBuffer& out_;
  Format format_;
  std::span<const std::string_view> names_;
  std::string_view lineEnd_;
  char delimiter_;
  char point_;
  bool guardFormulas_;
  // The delimiter can stand inside a number ("." or a digit).
  bool quoteNumbers_;
  bool first_ = true;
  std::string leading_;
  std::size_t leadingCount_ = 0;
  // What comes before each JSON value: the key, and "{" or ",".
  std::vector<std::string> keys_;
  // Bytes that put a CSV field in quotes.
  std::array<bool, 256> quoted_{};
};

// A JSON string (RFC 8259) in quotes: the quote, the backslash and every
// control character escaped.
void AppendJsonString(std::string_view text, std::string& out);

}  // namespace qv::listing
