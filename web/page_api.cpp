// The page's functions: arguments in, work handed on, every failure stopped
// here, as at the plug-in's exports.
#include "page_api.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <span>
#include <utility>

#include "convert/detail_walk.h"
#include "convert/report_printer.h"
#include "detect/recognition.h"
#include "driver/plugin_driver.h"
#include "listings.h"
#include "plugin/boundary.h"
#include "runtime/service_error.h"

namespace qv::page {
namespace {

enum Channel : int { kReportChannel = 0, kCallsChannel = 1, kSummaryChannel = 2 };

// Bytes of one of the outputs, handed to the page as they are let go.
class PageOutput final : public ReportOutput {
 public:
  explicit PageOutput(Channel channel) : channel_(channel) {}
  void Write(const char* data, std::size_t size) override { QvPageWrite(channel_, data, size); }

 private:
  Channel channel_;
};

// The report, handed to the page as the printer lets its bytes go.
class PageReport final : public DetailEvents {
 public:
  explicit PageReport(std::string_view filename) : printer_(out_, filename) {}
  void Subscriber(std::string_view number) override { printer_.Subscriber(number); }
  void Call(const CallRecord& call) override { printer_.Call(call); }
  void End() { printer_.End(); }

 private:
  PageOutput out_{kReportChannel};
  ReportPrinter printer_;
};

// The tool's "calls" and "summary" of one detail, as CSV. The page joins
// the rows of its files under one header row of each.
class PageListings final : public DetailEvents {
 public:
  explicit PageListings(std::string_view file, const listing::ListingOptions& options)
      : calls_(callsBuffer_, options), summary_(summaryBuffer_, options) {
    calls_.StartInput(file);
    summary_.StartInput(file);
  }
  void Subscriber(std::string_view number) override {
    calls_.Subscriber(number);
    summary_.Subscriber(number);
  }
  void Call(const CallRecord& call) override {
    calls_.Call(call);
    summary_.Call(call);
  }
  void End() {
    calls_.EndInput();
    summary_.EndInput();
    calls_.Finish();
    summary_.Finish();
    callsBuffer_.Flush();
    summaryBuffer_.Flush();
  }

 private:
  PageOutput callsOut_{kCallsChannel};
  PageOutput summaryOut_{kSummaryChannel};
  listing::OutputBuffer callsBuffer_{callsOut_};
  listing::OutputBuffer summaryBuffer_{summaryOut_};
  listing::CallsListing calls_;
  listing::SummaryListing summary_;
};

// A walk that the page feeds with the detail's bytes as it reads them: the
// page reads ahead while the module walks. The output ends with the walk,
// also after a failure, with what was found before, as the plug-in's
// report and the tool's listings do.
class FedWalk {
 public:
  virtual ~FedWalk() = default;
  virtual std::span<char> Space() = 0;
  virtual void Added(std::size_t count) = 0;
  virtual void Finish() = 0;
  virtual void ReadFailed(std::string_view path) = 0;
};

template <typename Output>
class FedWalkInto final : public FedWalk {
 public:
  template <typename... OutputArguments>
  explicit FedWalkInto(char decimalSeparator, OutputArguments&&... arguments)
      : output_(std::forward<OutputArguments>(arguments)...), walk_(output_, decimalSeparator) {}

  std::span<char> Space() override { return walk_.Space(); }
  void Added(std::size_t count) override {
    EndingOnFailure([&] { walk_.Added(count); });
  }
  void Finish() override {
    EndingOnFailure([&] { walk_.Finish(); });
    output_.End();
  }
  // The page's read failed as the module's own reads fail.
  void ReadFailed(std::string_view path) override {
    output_.End();
    throw ServiceError("Unable to read file \"" + std::string(path) + "\"", EIO);
  }

 private:
  template <typename Step>
  void EndingOnFailure(Step step) {
    try {
      step();
    } catch (...) {
      output_.End();
      throw;
    }
  }

  Output output_;
  DetailWalk walk_;
};

listing::ListingOptions FileRowsOnly() {
  listing::ListingOptions options;
  options.header = false;
  return options;
}

std::string_view TextOrEmpty(const char* text) { return text != nullptr ? text : ""; }

enum WalkKind : int { kReportWalk = 0, kListingWalk = 1 };

// The listings, like the tool's, write minutes with a point whatever the
// locale, and the separator is all the walk's settings change.
std::unique_ptr<FedWalk> StartFedWalk(int kind, std::string_view filename, char decimalSeparator) {
  if (kind == kReportWalk)
    return std::make_unique<FedWalkInto<PageReport>>(decimalSeparator, filename);
  return std::make_unique<FedWalkInto<PageListings>>('.', filename, FileRowsOnly());
}

// A listing without inputs writes its header row and nothing else.
void WriteListingHeads() {
  PageListings heads("", listing::ListingOptions{});
  heads.End();
}

}  // namespace
}  // namespace qv::page

extern "C" {

void QvPageNameDetail(unsigned char* buffer, const char* path, char dateSeparator,
                      const char* shortDatePattern, char timeSeparator, const char* amDesignator,
                      const char* pmDesignator) noexcept {
  if (buffer == nullptr) {
    qv::RecordLastFailure("No buffer for the name");
    return;
  }
  qv::StoreShortText(buffer, {});
  qv::RunAtBoundary([&] {
    qv::LocaleFormatsRecord formats;
    formats.dateSeparator = dateSeparator;
    formats.shortDatePattern = qv::page::TextOrEmpty(shortDatePattern);
    formats.timeSeparator = timeSeparator;
    formats.amDesignator = qv::page::TextOrEmpty(amDesignator);
    formats.pmDesignator = qv::page::TextOrEmpty(pmDesignator);
    qv::StoreShortText(buffer,
                       qv::NameDetail(qv::page::TextOrEmpty(path), formats, qv::SystemLocalDate));
  });
}

void* QvPageStartWalk(int kind, const char* filename, char decimalSeparator) noexcept {
  std::unique_ptr<qv::page::FedWalk> walk;
  qv::RunAtBoundary([&] {
    walk = qv::page::StartFedWalk(kind, qv::page::TextOrEmpty(filename), decimalSeparator);
  });
  return walk.release();
}

char* QvPageWalkSpace(void* walk, size_t* size) noexcept {
  std::span<char> space;
  qv::RunAtBoundary([&] { space = static_cast<qv::page::FedWalk*>(walk)->Space(); });
  *size = space.size();
  return space.data();
}

uint8_t QvPageWalkAdded(void* walk, size_t count) noexcept {
  return qv::RunAtBoundary([&] { static_cast<qv::page::FedWalk*>(walk)->Added(count); }) ? 1 : 0;
}

uint8_t QvPageFinishWalk(void* walk) noexcept {
  return qv::RunAtBoundary([&] { static_cast<qv::page::FedWalk*>(walk)->Finish(); }) ? 1 : 0;
}

void QvPageWalkReadFailed(void* walk, const char* path) noexcept {
  qv::RunAtBoundary(
      [&] { static_cast<qv::page::FedWalk*>(walk)->ReadFailed(qv::page::TextOrEmpty(path)); });
}

void QvPageEndWalk(void* walk) noexcept { delete static_cast<qv::page::FedWalk*>(walk); }

uint8_t QvPageListingHeads(void) noexcept {
  return qv::RunAtBoundary(qv::page::WriteListingHeads) ? 1 : 0;
}

std::size_t QvPageLastError(char* buffer, std::size_t capacity) noexcept {
  std::string_view message = qv::LastFailure();
  std::string explained;
  try {
    explained = qv::driver::Explained(std::string(message));
    message = explained;
  } catch (...) {
    // Without memory for the cause, the message alone.
  }
  if (buffer != nullptr) std::memcpy(buffer, message.data(), std::min(capacity, message.size()));
  return message.size();
}

}  // extern "C"
