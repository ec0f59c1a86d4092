#include "summary_tally.h"

#include "text_fields.h"

namespace qv::cli {
namespace {

void AddIfPlain(std::string_view text, DecimalTotal& total) {
  if (const std::optional<PlainDecimal> number = ParsePlainDecimal(text)) total.Add(*number);
}

void TakeEarlier(const std::optional<std::string>& time, std::optional<std::string>& first) {
  if (time && (!first || *time < *first)) first = time;
}

void TakeLater(const std::optional<std::string>& time, std::optional<std::string>& last) {
  if (time && (!last || *time > *last)) last = time;
}

}  // namespace

void Merge(SubscriberSummary& total, const SubscriberSummary& part) {
  TakeEarlier(part.firstCall, total.firstCall);
  TakeLater(part.lastCall, total.lastCall);
  total.callsOut += part.callsOut;
  total.callsIn += part.callsIn;
  total.seconds.Add(part.seconds);
  total.charge.Add(part.charge);
  for (std::size_t i = 0; i < kServiceCodes.size(); ++i) total.codeCounts[i] += part.codeCounts[i];
}

void SummaryTally::StartInput(std::string_view file) { file_ = CleanText(file); }

void SummaryTally::Subscriber(std::string_view number) {
  CloseBlock();
  open_.emplace();
  open_->file = file_;
  open_->phone = CleanText(number);
}

void SummaryTally::Call(const CallRecord& call) {
  // The walk hands over calls only inside a block.
  if (!open_) return;
  SubscriberSummary& block = *open_;
  if (call.Has(kTime)) {
    const std::optional<std::string> time = CleanText(call.values[kTime]);
    TakeEarlier(time, block.firstCall);
    TakeLater(time, block.lastCall);
  }
  if (call.Has(kType)) {
    if (call.values[kType] == "1") ++block.callsOut;
    if (call.values[kType] == "2") ++block.callsIn;
  }
  if (call.Has(kS)) AddIfPlain(call.values[kS], block.seconds);
  if (call.Has(kPay)) AddIfPlain(call.values[kPay], block.charge);
  if (call.Has(kCode) && call.values[kCode].size() == 1) {
    const std::size_t code = kServiceCodes.find(call.values[kCode].front());
    if (code != std::string_view::npos) ++block.codeCounts[code];
  }
}

void SummaryTally::CloseBlock() {
  if (!open_) return;
  blockDone_(*open_);
  open_.reset();
}

}  // namespace qv::cli
