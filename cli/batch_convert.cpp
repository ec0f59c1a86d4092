#include "batch_convert.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

#include "batch_plan.h"
#include "progress.h"

namespace qv::cli {
namespace {

class BatchRun {
 public:
  BatchRun(const PlugInFunctions& plugIn, const char* programName, ProgressLine& progress)
      : plugIn_(plugIn), programName_(programName), progress_(progress) {}

  void Fail(const std::string& input, const std::string& reason) {
    failed_ = true;
    progress_.PrintMessage(std::string(programName_) + ": " + input + ": " + reason);
    progress_.CountFile(true);
  }

  void Convert(const BatchJob& job) {
    std::optional<std::string> failure;
    try {
      failure = ConvertThroughPlugIn(plugIn_, job.input, job.report);
    } catch (const std::exception& error) {
      // Out of memory for one file's paths or message; the others go on.
      failure = error.what();
    }
    if (failure)
      Fail(job.input, *failure);
    else
      progress_.CountFile(false);
  }

  bool AnyFailed() const { return failed_; }

 private:
  const PlugInFunctions& plugIn_;
  const char* programName_;
  ProgressLine& progress_;
  std::atomic<bool> failed_{false};
};

void RunOnThreads(const std::vector<BatchJob>& jobs, unsigned threads, BatchRun& run) {
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t index = next++; index < jobs.size(); index = next++) run.Convert(jobs[index]);
  };
  const std::size_t helpers = std::min<std::size_t>(std::max(threads, 1u), jobs.size()) - 1;
  std::vector<std::jthread> workers;
  for (std::size_t i = 0; i < helpers; ++i) {
    try {
      workers.emplace_back(work);
    } catch (const std::system_error&) {
      // Fewer threads than asked do the same work.
      break;
    }
  }
  work();
}

}  // namespace

int ConvertIntoFolder(const PlugInFunctions& plugIn, const char* programName,
                      const BatchRequest& request) {
  ProgressLine progress(stderr, request.showProgress);
  progress.SetFileTotal(request.inputs.size());
  if (const std::optional<std::string> problem = PrepareOutputFolder(request.outputFolder)) {
    progress.PrintMessage(std::string(programName) + ": " + *problem);
    return kFailure;
  }
  const BatchPlan plan = PlanBatch(request.inputs, request.outputFolder);
  BatchRun run(plugIn, programName, progress);
  for (const RefusedInput& refused : plan.refused) run.Fail(refused.input, refused.reason);
  if (!plan.jobs.empty()) RunOnThreads(plan.jobs, request.threads, run);
  progress.Finish();
  return run.AnyFailed() ? kFailure : kSuccess;
}

}  // namespace qv::cli
