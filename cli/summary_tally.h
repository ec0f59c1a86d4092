#pragma once
// "summary": the calls of each subscriber block added up, block by block.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "input_walk.h"
#include "plain_decimal.h"

namespace qv::cli {

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
};

// Adds what part counts to total; the file and phone stay total's own.
void Merge(SubscriberSummary& total, const SubscriberSummary& part);

// Hands over each block once it has ended: at the next block, or at the end
// of its input, however the input ended.
class SummaryTally final : public InputEvents {
 public:
  using BlockDone = std::function<void(const SubscriberSummary&)>;
  explicit SummaryTally(BlockDone blockDone) : blockDone_(std::move(blockDone)) {}

  void StartInput(std::string_view file) override;
  void EndInput() override { CloseBlock(); }
  void Subscriber(std::string_view number) override;
  void Call(const CallRecord& call) override;

 private:
  void CloseBlock();

  BlockDone blockDone_;
  std::string file_;
  std::optional<SubscriberSummary> open_;
};

}  // namespace qv::cli
