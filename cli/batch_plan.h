#pragma once
// What "convert --out-dir" will do, settled before any conversion starts:
// where each report goes, and which inputs cannot be converted at all.
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace qv::cli {

struct BatchJob {
  std::string input;
  std::string report;
};

struct RefusedInput {
  std::string input;
  std::string reason;
};

struct BatchPlan {
  std::vector<BatchJob> jobs;
  std::vector<RefusedInput> refused;
};

// The input's file name with ".xml" appended, inside the folder.
std::string ReportPathIn(const std::string& folder, const std::string& input);

// The first two inputs whose reports would land on one path.
std::optional<std::pair<std::string, std::string>> FindSharedFileName(
    std::span<const std::string> inputs);

// Makes the folder when it is missing; the reason reports cannot be written
// into it otherwise.
std::optional<std::string> PrepareOutputFolder(const std::string& folder);

// Refuses, in input order, inputs that are missing or not files, and those
// whose report would overwrite one of the inputs.
BatchPlan PlanBatch(std::span<const std::string> inputs, const std::string& folder);

}  // namespace qv::cli
