#include "calls_writer.h"

#include <optional>

#include "plain_decimal.h"
#include "text_fields.h"

namespace qv::cli {
namespace {

enum class ValueKind { kText, kDirection, kService, kNumber };

struct Column {
  std::string_view name;
  CallAttribute attribute;
  ValueKind kind;
};

// After "file" and "phone", which come from the input and the block.
constexpr Column kColumns[] = {
    {"time", kTime, ValueKind::kText},
    {"direction", kType, ValueKind::kDirection},
    {"number", kNum, ValueKind::kText},
    {"call_zone", kR2, ValueKind::kText},
    {"destination_zone", kR1, ValueKind::kText},
    // The service cell sets the code; without the cell there is no service.
    {"service", kCode, ValueKind::kService},
    {"service_code", kCode, ValueKind::kText},
    {"seconds", kS, ValueKind::kNumber},
    {"minutes", kM, ValueKind::kNumber},
    {"charge", kPay, ValueKind::kNumber},
};

// Nothing when the row did not set the column's value.
std::optional<std::string_view> ValueOf(const CallRecord& call, const Column& column) {
  if (!call.Has(column.attribute)) return std::nullopt;
  if (column.kind == ValueKind::kService) return call.service;
  if (column.kind != ValueKind::kDirection) return call.values[column.attribute];
  const std::string_view type = call.values[kType];
  if (type == "1") return "out";
  if (type == "2") return "in";
  return std::nullopt;
}

void AppendCsvValue(const Column& column, std::string_view value, std::string& out) {
  if (column.kind == ValueKind::kNumber) {
    if (const std::optional<PlainDecimal> number = ParsePlainDecimal(value)) {
      AppendWithPoint(*number, out);
      return;
    }
  }
  AppendCsvField(value, out);
}

}  // namespace

CallsWriter::CallsWriter(OutputBuffer& out, CallsFormat format) : out_(out), format_(format) {
  if (format_ != CallsFormat::kCsv) return;
  std::string& text = out_.Text();
  text += "file,phone";
  for (const Column& column : kColumns) {
    text += ',';
    text += column.name;
  }
  text += "\r\n";
}

void CallsWriter::StartInput(std::string_view file) {
  fileField_.clear();
  if (format_ == CallsFormat::kCsv) {
    AppendCsvField(file, fileField_);
  } else {
    fileField_ = "{\"file\":";
    AppendJsonString(file, fileField_);
  }
}

// Rows reach the output by the end of their input, ahead of its failure's
// message, if any.
void CallsWriter::EndInput() { out_.Flush(); }

void CallsWriter::Subscriber(std::string_view number) {
  rowStart_ = fileField_;
  if (format_ == CallsFormat::kCsv) {
    rowStart_ += ',';
    AppendCsvField(number, rowStart_);
  } else {
    rowStart_ += ",\"phone\":";
    AppendJsonString(number, rowStart_);
  }
}

void CallsWriter::Call(const CallRecord& call) {
  if (format_ == CallsFormat::kCsv) {
    CsvRow(call);
  } else {
    JsonRow(call);
  }
  out_.FlushWhenFull();
}

void CallsWriter::CsvRow(const CallRecord& call) {
  std::string& text = out_.Text();
  text += rowStart_;
  for (const Column& column : kColumns) {
    text += ',';
    if (const std::optional<std::string_view> value = ValueOf(call, column))
      AppendCsvValue(column, *value, text);
  }
  text += "\r\n";
}

void CallsWriter::JsonRow(const CallRecord& call) {
  std::string& text = out_.Text();
  text += rowStart_;
  for (const Column& column : kColumns) {
    text += ",\"";
    text += column.name;
    text += "\":";
    const std::optional<std::string_view> value = ValueOf(call, column);
    if (!value) {
      text += "null";
    } else if (column.kind == ValueKind::kNumber) {
      AppendJsonNumberOrString(*value, text);
    } else {
      AppendJsonString(*value, text);
    }
  }
  text += "}\n";
}

}  // namespace qv::cli
