#pragma once
// "calls" and "summary": what the reports of details would hold, as tables
// for spreadsheets, scripts and the terminal.
#include <string>
#include <vector>

#include "calls_writer.h"
#include "summary_writer.h"

namespace qv::cli {

struct ListingRequest {
  std::vector<std::string> inputs;
  // Empty for standard output.
  std::string outputPath;
  bool showProgress = false;
};

// Both give the exit status: kFailure when an input or the output failed.
int ListCalls(const ListingRequest& request, CallsFormat format, const char* programName);
int SummariseCalls(const ListingRequest& request, SummaryFormat format, const char* programName);

}  // namespace qv::cli
