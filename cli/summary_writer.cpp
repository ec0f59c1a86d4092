#include "summary_writer.h"

#include <optional>
#include <string_view>

#include "text_fields.h"

namespace qv::cli {
namespace {

struct Field {
  std::string_view name;
  // Nothing stands for a time the block does not have.
  std::optional<std::string> value;
  bool number = false;
};

constexpr std::string_view kCodeNames[] = {"code_1", "code_2", "code_3",
                                           "code_4", "code_5", "code_8"};
static_assert(std::size(kCodeNames) == kServiceCodes.size());

// Shorter headings for the terminal; the help tells what they count.
constexpr std::string_view kTableHeadings[] = {"file", "phone",   "first call", "last call", "out",
                                               "in",   "seconds", "charge",     "c1",        "c2",
                                               "c3",   "c4",      "c5",         "c8"};

std::vector<Field> FieldsOf(const SubscriberSummary& entry) {
  std::vector<Field> fields = {
      {"file", entry.file},
      {"phone", entry.phone},
      {"first_call", entry.firstCall},
      {"last_call", entry.lastCall},
      {"calls_out", std::to_string(entry.callsOut), true},
      {"calls_in", std::to_string(entry.callsIn), true},
      {"seconds", entry.seconds.Text(), true},
      {"charge", entry.charge.Text(), true},
  };
  for (std::size_t i = 0; i < kServiceCodes.size(); ++i)
    fields.push_back({kCodeNames[i], std::to_string(entry.codeCounts[i]), true});
  return fields;
}

std::vector<bool> NumberColumns() {
  std::vector<bool> numbers;
  for (const Field& field : FieldsOf(SubscriberSummary{})) numbers.push_back(field.number);
  return numbers;
}

std::vector<std::string> TableRow(const SubscriberSummary& entry) {
  std::vector<std::string> cells;
  for (Field& field : FieldsOf(entry)) cells.push_back(field.value.value_or(""));
  return cells;
}

}  // namespace

SummaryWriter::SummaryWriter(OutputBuffer& out, SummaryFormat format)
    : out_(out), format_(format), table_(NumberColumns()) {
  std::string& text = out_.Text();
  if (format_ == SummaryFormat::kJson) text += "[";
  if (format_ == SummaryFormat::kText)
    table_.AddRow(std::vector<std::string>(std::begin(kTableHeadings), std::end(kTableHeadings)));
  if (format_ != SummaryFormat::kCsv) return;
  for (const Field& field : FieldsOf(SubscriberSummary{})) {
    if (field.name != "file") text += ',';
    text += field.name;
  }
  text += "\r\n";
}

void SummaryWriter::Add(const SubscriberSummary& entry) {
  if (format_ == SummaryFormat::kCsv) AddCsv(entry);
  if (format_ == SummaryFormat::kJson) AddJson(entry);
  if (format_ == SummaryFormat::kText) {
    table_.AddRow(TableRow(entry));
    Merge(total_, entry);
  }
  out_.FlushWhenFull();
}

void SummaryWriter::AddCsv(const SubscriberSummary& entry) {
  std::string& text = out_.Text();
  bool firstField = true;
  for (const Field& field : FieldsOf(entry)) {
    if (!firstField) text += ',';
    firstField = false;
    AppendCsvField(field.value.value_or(""), text);
  }
  text += "\r\n";
}

void SummaryWriter::AddJson(const SubscriberSummary& entry) {
  std::string& text = out_.Text();
  text += first_ ? "\n{" : ",\n{";
  first_ = false;
  for (const Field& field : FieldsOf(entry)) {
    if (field.name != "file") text += ',';
    AppendJsonString(field.name, text);
    text += ':';
    if (!field.value) {
      text += "null";
    } else if (field.number) {
      AppendJsonNumberOrString(*field.value, text);
    } else {
      AppendJsonString(*field.value, text);
    }
  }
  text += '}';
}

void SummaryWriter::Finish() {
  std::string& text = out_.Text();
  if (format_ == SummaryFormat::kJson) text += "\n]\n";
  if (format_ == SummaryFormat::kText) {
    total_.file = "total";
    table_.AddRow(TableRow(total_));
    table_.AppendTo(text);
  }
}

}  // namespace qv::cli
