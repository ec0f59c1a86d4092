#include "listing_commands.h"

#include <cstdio>
#include <optional>

#include "host_commands.h"
#include "input_walk.h"
#include "listings.h"
#include "output_buffer.h"

namespace qv::cli {

// The output is put in place even after failed inputs: it holds everything
// they handed over.
int WriteListing(const ListingRequest& request, const char* programName) {
  ProgressLine progress(stderr, request.showProgress);
  ListingOutput output(request.outputPath);
  try {
    output.CheckReady();
    listing::OutputBuffer buffer(output);
    std::optional<listing::CallsListing> calls;
    std::optional<listing::SummaryListing> summary;
    listing::ListingEvents& events =
        request.kind == ListingKind::kCalls
            ? static_cast<listing::ListingEvents&>(calls.emplace(buffer, request.options))
            : summary.emplace(buffer, request.options);
    const bool allWalked = WalkInputs(request.inputs, events, progress, programName);
    events.Finish();
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

}  // namespace qv::cli
