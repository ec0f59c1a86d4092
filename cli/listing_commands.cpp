#include "listing_commands.h"

#include <cstdio>
#include <functional>

#include "host_commands.h"

namespace qv::cli {
namespace {

// Sets the output up, has run write the listing, and puts the output in
// place even after failed inputs: it holds everything they handed over.
int WriteListing(const ListingRequest& request, const char* programName,
                 const std::function<bool(OutputBuffer&, ProgressLine&)>& run) {
  ProgressLine progress(stderr, request.showProgress);
  ListingOutput output(request.outputPath);
  try {
    output.CheckReady();
    OutputBuffer buffer(output);
    const bool allWalked = run(buffer, progress);
    // The line is gone before a table reaches the terminal.
    progress.Finish();
    buffer.Flush();
    output.Finish();
    return allWalked ? kSuccess : kFailure;
  } catch (const OutputFailure& failure) {
    progress.PrintMessage(std::string(programName) + ": " + failure.what());
    return kFailure;
  }
}

}  // namespace

int ListCalls(const ListingRequest& request, CallsFormat format, const char* programName) {
  return WriteListing(request, programName, [&](OutputBuffer& buffer, ProgressLine& progress) {
    CallsWriter writer(buffer, format);
    return WalkInputs(request.inputs, writer, progress, programName);
  });
}

int SummariseCalls(const ListingRequest& request, SummaryFormat format, const char* programName) {
  return WriteListing(request, programName, [&](OutputBuffer& buffer, ProgressLine& progress) {
    SummaryWriter writer(buffer, format);
    SummaryTally tally([&](const SubscriberSummary& entry) { writer.Add(entry); });
    const bool allWalked = WalkInputs(request.inputs, tally, progress, programName);
    writer.Finish();
    return allWalked;
  });
}

}  // namespace qv::cli
