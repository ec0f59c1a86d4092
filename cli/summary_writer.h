#pragma once
// The summary's entries as CSV, as one JSON array, or as a table for the
// terminal closed by a line of totals over every input.
#include <string>
#include <vector>

#include "output_buffer.h"
#include "summary_tally.h"
#include "text_table.h"

namespace qv::cli {

enum class SummaryFormat { kText, kCsv, kJson };

class SummaryWriter {
 public:
  // Writes what comes before the entries: the CSV header, the JSON array's start.
  SummaryWriter(OutputBuffer& out, SummaryFormat format);

  // CSV and JSON entries are written at once; the table waits for them all,
  // to know its columns' widths.
  void Add(const SubscriberSummary& entry);
  // Writes the table, or the end of the JSON array.
  void Finish();

 private:
  void AddCsv(const SubscriberSummary& entry);
  void AddJson(const SubscriberSummary& entry);

  OutputBuffer& out_;
  SummaryFormat format_;
  bool first_ = true;
  SubscriberSummary total_;
  TextTable table_;
};

}  // namespace qv::cli
