#include "records.h"

#include <cstdio>

#include "plain_decimal.h"
#include "runtime/byte_blocks.h"

namespace qv::listing {
namespace {

void AppendJsonEscape(char byte, std::string& out) {
  constexpr std::string_view kEscaped = "\"\\\n\r\t";
  constexpr std::string_view kShortForms = "\"\\nrt";
  char code[8] = {'\\', 0};
  const std::size_t found = kEscaped.find(byte);
  if (found != std::string_view::npos) {
    code[1] = kShortForms[found];
  } else {
    std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(byte));
  }
  out += code;
}

bool NeedsJsonEscape(char byte) {
  return byte == '"' || byte == '\\' || static_cast<unsigned char>(byte) < 0x20;
}

void AppendJsonValue(const Field& field, std::string& text) {
  if (!field.value || (field.number && field.value->empty())) {
    text += "null";
  } else if (const auto number = field.number ? ParsePlainDecimal(*field.value) : std::nullopt) {
    AppendAsJsonNumber(*number, text);
  } else {
    AppendJsonString(*field.value, text);
  }
}

}  // namespace

OutputBuffer::OutputBuffer(ReportOutput& out) : out_(out) { text_.reserve(2 * kFlushSize); }

void OutputBuffer::Flush() {
  if (!text_.empty()) out_.Write(text_.data(), text_.size());
  text_.clear();
  // A very long value grew the buffer; the room goes back after it.
  if (text_.capacity() > 8 * kFlushSize) {
    std::string().swap(text_);
    text_.reserve(2 * kFlushSize);
  }
}

void AppendJsonString(std::string_view text, std::string& out) {
  out += '"';
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!NeedsJsonEscape(text[i])) continue;
    out.append(text, run, i - run);
    AppendJsonEscape(text[i], out);
    run = i + 1;
  }
  out.append(text, run);
  out += '"';
}

RecordWriter::RecordWriter(OutputBuffer& out, const ListingOptions& options,
                           std::span<const std::string_view> names)
    : out_(out),
      format_(options.format),
      names_(names),
      lineEnd_(options.crlf || options.excel ? "\r\n" : "\n"),
      delimiter_(options.excel ? ';' : options.delimiter),
      point_(options.excel ? ',' : '.'),
      guardFormulas_(options.excel),
      quoteNumbers_((delimiter_ >= '0' && delimiter_ <= '9') || delimiter_ == '-' ||
                    delimiter_ == point_) {
  for (std::size_t byte = 0; byte < 0x20; ++byte) quoted_[byte] = true;
  for (const char special : {'"', '\x7F', delimiter_})
    quoted_[static_cast<unsigned char>(special)] = true;
  for (const std::string_view name : names_) {
    keys_.emplace_back(keys_.empty() ? "{" : ",");
    AppendJsonString(name, keys_.back());
    keys_.back() += ':';
  }
  std::string& text = out_.Text();
  if (format_ == Format::kJson) text += '[';
  if (format_ != Format::kCsv) return;
  if (options.excel) text += "\xEF\xBB\xBF";
  if (!options.header) return;
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (i > 0) text += delimiter_;
    text += names_[i];
  }
  text += lineEnd_;
}

void RecordWriter::SetLeading(std::span<const Field> fields) {
  leading_.clear();
  AppendFields(fields, 0, leading_);
  leadingCount_ = fields.size();
}

void RecordWriter::Write(std::span<const Field> fields) {
  std::string& text = out_.Text();
  if (format_ == Format::kJson) text += first_ ? "\n" : ",\n";
  text += leading_;
  AppendFields(fields, leadingCount_, text);
  text += format_ == Format::kCsv ? lineEnd_ : format_ == Format::kJson ? "}" : "}\n";
  first_ = false;
  out_.FlushWhenFull();
}

void RecordWriter::AppendFields(std::span<const Field> fields, std::size_t firstColumn,
                                std::string& text) const {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (format_ == Format::kCsv) {
      if (firstColumn + i > 0) text += delimiter_;
      AppendCsvField(fields[i], text);
    } else {
      text += keys_[firstColumn + i];
      AppendJsonValue(fields[i], text);
    }
  }
}

void RecordWriter::Finish() {
  if (format_ == Format::kJson) out_.Text() += first_ ? "]\n" : "\n]\n";
}

void RecordWriter::AppendCsvField(const Field& field, std::string& text) const {
  if (!field.value) return;
  if (field.number) {
    if (const std::optional<PlainDecimal> number = ParsePlainDecimal(*field.value)) {
      const std::size_t start = text.size();
      AppendDecimal(*number, point_, text);
      // A number holds no quote, so quotes around it are all it needs.
      if (quoteNumbers_ && text.find(delimiter_, start) != std::string::npos) {
        text.insert(start, 1, '"');
        text += '"';
      }
      return;
    }
  }
  AppendCsvText(*field.value, text);
}

bool RecordWriter::NeedsQuotes(std::string_view value) const {
  std::size_t i = 0;
  for (; i + 8 <= value.size(); i += 8) {
    const std::uint64_t word = LoadBlock(value.data() + i);
    if ((MarkBytesBelow(word, 0x20) | MarkBytes(word, '"') | MarkBytes(word, 0x7F) |
         MarkBytes(word, static_cast<unsigned char>(delimiter_))) != 0)
      return true;
  }
  for (; i < value.size(); ++i) {
    if (quoted_[static_cast<unsigned char>(value[i])]) return true;
  }
  return false;
}

// RFC 4180: quoted, with its quotes doubled, only when the field needs it.
void RecordWriter::AppendCsvText(std::string_view value, std::string& text) const {
  const bool guarded = guardFormulas_ && !value.empty() &&
                       std::string_view("=+-@").find(value.front()) != std::string_view::npos;
  if (!NeedsQuotes(value)) {
    if (guarded) text += '\'';
    text += value;
    return;
  }
  text += guarded ? "\"'" : "\"";
  std::size_t run = 0;
  for (std::size_t quote = value.find('"'); quote != std::string_view::npos;
       quote = value.find('"', quote + 1)) {
    text.append(value, run, quote + 1 - run);
    text += '"';
    run = quote + 1;
  }
  text.append(value, run);
  text += '"';
}

}  // namespace qv::listing
