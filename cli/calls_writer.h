#pragma once
// "calls": every call of the inputs, one row per call element of their
// reports, as CSV or as JSON Lines.
#include <string>
#include <string_view>

#include "input_walk.h"
#include "output_buffer.h"

namespace qv::cli {

enum class CallsFormat { kCsv, kJsonLines };

class CallsWriter final : public InputEvents {
 public:
  // The CSV header row is written at once.
  CallsWriter(OutputBuffer& out, CallsFormat format);

  void StartInput(std::string_view file) override;
  void EndInput() override;
  void Subscriber(std::string_view number) override;
  void Call(const CallRecord& call) override;

 private:
  void CsvRow(const CallRecord& call);
  void JsonRow(const CallRecord& call);

  OutputBuffer& out_;
  CallsFormat format_;
  std::string fileField_;
  // The file and phone fields as each row of the block starts.
  std::string rowStart_;
};

}  // namespace qv::cli
