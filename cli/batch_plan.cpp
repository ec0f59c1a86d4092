#include "batch_plan.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>
#include <unordered_map>

#include "file_identity.h"

namespace qv::cli {
namespace {

namespace fs = std::filesystem;

std::string FileNameOf(const std::string& path) { return fs::path(path).filename().string(); }

std::optional<std::string> InputProblem(const std::string& input) {
  std::error_code error;
  const fs::file_status status = fs::status(input, error);
  if (status.type() == fs::file_type::not_found) return "no such file";
  if (error) return error.message();
  if (status.type() == fs::file_type::directory) return "is a folder, not a detail file";
  return std::nullopt;
}

}  // namespace

std::string ReportPathIn(const std::string& folder, const std::string& input) {
  return (fs::path(folder) / (FileNameOf(input) + ".xml")).string();
}

std::optional<std::pair<std::string, std::string>> FindSharedFileName(
    std::span<const std::string> inputs) {
  std::unordered_map<std::string, const std::string*> firstWithName;
  for (const std::string& input : inputs) {
    std::string name = FileNameOf(input);
    // A path ending in a slash names a folder, refused on its own later.
    if (name.empty()) continue;
    const auto [seen, added] = firstWithName.emplace(std::move(name), &input);
    if (!added) return std::pair(*seen->second, input);
  }
  return std::nullopt;
}

std::optional<std::string> PrepareOutputFolder(const std::string& folder) {
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  if (status.type() == fs::file_type::not_found) {
    if (!fs::create_directories(folder, error) && error)
      return "cannot make the folder " + folder + ": " + error.message();
  } else if (error) {
    return folder + ": " + error.message();
  } else if (status.type() != fs::file_type::directory) {
    return folder + " is not a folder";
  }
  if (access(folder.c_str(), W_OK | X_OK) != 0)
    return "cannot write into " + folder + ": " + std::strerror(errno);
  return std::nullopt;
}

BatchPlan PlanBatch(std::span<const std::string> inputs, const std::string& folder) {
  std::map<FileIdentity, const std::string*> inputByIdentity;
  for (const std::string& input : inputs) {
    if (auto identity = IdentifyExistingFile(input.c_str()))
      inputByIdentity.emplace(*identity, &input);
  }
  BatchPlan plan;
  for (const std::string& input : inputs) {
    std::string report = ReportPathIn(folder, input);
    std::optional<std::string> problem = InputProblem(input);
    const auto identity = IdentifyExistingFile(report.c_str());
    const auto overwritten = identity ? inputByIdentity.find(*identity) : inputByIdentity.end();
    if (!problem && overwritten != inputByIdentity.end())
      problem = *overwritten->second + " and " + report +
                " are the same file; the report would overwrite the detail";
    if (problem)
      plan.refused.push_back({input, std::move(*problem)});
    else
      plan.jobs.push_back({input, std::move(report)});
  }
  return plan;
}

}  // namespace qv::cli
