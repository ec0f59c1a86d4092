#pragma once
// Reports printed into memory: the bytes as the printer hands them out, and
// the report of subscribers whose calls carry only a number.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "convert/report_printer.h"

namespace qv::test {

class StringOutput final : public ReportOutput {
 public:
  void Write(const char* data, std::size_t size) override { pieces.emplace_back(data, size); }
  std::string Joined() const {
    std::string all;
    for (const std::string& piece : pieces) all += piece;
    return all;
  }
  std::vector<std::string> pieces;
};

// One subscriber number and the num values of its calls.
using PhoneCalls = std::pair<std::string, std::vector<std::string>>;

inline std::string PrintedReport(const std::vector<PhoneCalls>& phones,
                                 StringOutput* pieces = nullptr) {
  StringOutput own;
  StringOutput& out = pieces != nullptr ? *pieces : own;
  ReportPrinter printer(out, "d.html");
  for (const auto& [number, nums] : phones) {
    printer.Subscriber(number);
    for (const std::string& num : nums) {
      CallRecord call;
      call.values[kNum] = num;
      call.set = 1u << kNum;
      printer.Call(call);
    }
  }
  printer.End();
  return out.Joined();
}

}  // namespace qv::test
