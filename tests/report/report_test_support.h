#pragma once
// Helpers shared by the report tests.
#include <string>
#include <string_view>
#include <vector>

#include "convert/report_document.h"

namespace qv::test {

inline std::string Written(ReportDocument& document) {
  std::string out;
  ReportStringSink sink(out);
  document.WriteTo(sink);
  return out;
}

// Keeps every piece it is handed, to check how the output was cut.
class RecordingSink final : public ReportSink {
 public:
  void Open() override { ++opens; }
  void Write(const char* data, std::size_t size) override { pieces.emplace_back(data, size); }
  void End() override { ++ends; }
  void Close() noexcept override { ++closes; }
  std::string Joined() const {
    std::string all;
    for (const auto& piece : pieces) all += piece;
    return all;
  }

  int opens = 0;
  int ends = 0;
  int closes = 0;
  std::vector<std::string> pieces;
};

inline std::string Declared(std::string_view rest) {
  return "<?xml version=\"1.0\"?>\r\n" + std::string(rest) + "\r\n";
}

}  // namespace qv::test
