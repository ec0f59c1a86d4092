#include "input_walk.h"

#include <exception>
#include <filesystem>
#include <optional>

#include "convert/conversion.h"
#include "output_buffer.h"

namespace qv::cli {
namespace {

// The events of one detail passed on, with the bytes read counted for the
// progress line.
class CountingEvents final : public DetailEvents {
 public:
  CountingEvents(DetailEvents& events, ProgressLine& progress)
      : events_(events), progress_(progress) {}
  void Subscriber(std::string_view number) override { events_.Subscriber(number); }
  void Call(const CallRecord& call) override { events_.Call(call); }
  void BytesRead(std::uint64_t total) override {
    progress_.AddBytes(total - counted_);
    counted_ = total;
  }

 private:
  DetailEvents& events_;
  ProgressLine& progress_;
  std::uint64_t counted_ = 0;
};

std::uint64_t SizeOf(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : static_cast<std::uint64_t>(size);
}

// The message of the failure, or nothing when the input was walked to its end.
std::optional<std::string> WalkOne(const std::string& input, DetailEvents& events,
                                   ProgressLine& progress) {
  CountingEvents counting(events, progress);
  try {
    // Minutes in the listings are written with a point, whatever the locale.
    WalkDetail(input, ConversionSettings{'.'}, counting);
  } catch (const OutputFailure&) {
    throw;
  } catch (const std::exception& error) {
    // Out of memory for one large input included: the next ones still run.
    return error.what();
  }
  return std::nullopt;
}

}  // namespace

bool WalkInputs(std::span<const std::string> inputs, listing::ListingEvents& events,
                ProgressLine& progress, const char* programName) {
  progress.SetFileTotal(inputs.size());
  if (inputs.size() == 1) progress.SetByteTotal(SizeOf(inputs.front()));
  bool allWalked = true;
  for (const std::string& input : inputs) {
    events.StartInput(input);
    const std::optional<std::string> failure = WalkOne(input, events, progress);
    events.EndInput();
    if (failure) {
      allWalked = false;
      progress.PrintMessage(std::string(programName) + ": " + input + ": " + *failure);
    }
    progress.CountFile(failure.has_value());
  }
  return allWalked;
}

}  // namespace qv::cli
