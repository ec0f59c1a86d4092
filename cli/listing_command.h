#pragma once
// "calls" and "summary": what the reports of details would hold, as tables
// for spreadsheets, scripts and the terminal.
#include <string>
#include <vector>

#include "records.h"

namespace qv::cli {

enum class ListingKind { kCalls, kSummary };

struct ListingRequest {
  ListingKind kind = ListingKind::kCalls;
  // "-" is standard input.
  std::vector<std::string> inputs;
  // Empty for standard output.
  std::string outputPath;
  bool showProgress = false;
  listing::ListingOptions options;
};

// Walks the inputs in order, each failure named on standard error while
// the others are still walked; the output holds what every input handed
// over. The exit status: kFailure when an input or the output failed.
int WriteListing(const ListingRequest& request, const char* programName);

}  // namespace qv::cli
