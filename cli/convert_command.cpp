// "convert": one detail into its report, or many into reports in a folder,
// each written as the one-file conversion writes it.
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <set>
#include <thread>
#include <unordered_map>

#include "tool.h"

namespace qv::cli {
namespace {

namespace fs = std::filesystem;

constexpr unsigned kMostThreads = 256;

struct ConvertArguments {
  std::vector<std::string> paths;
  std::string outputFolder;
  std::string misplacedOutput;
  unsigned threads = std::max(std::thread::hardware_concurrency(), 1u);
};

struct Job {
  std::string input;
  std::string report;
  std::uint64_t size = 0;
};

std::string ReportPathIn(const std::string& folder, const std::string& input) {
  return (fs::path(folder) / (fs::path(input).filename().string() + ".xml")).string();
}

// A problem that stops the command before any work, or nothing.
std::optional<std::string> SharedReport(const std::vector<std::string>& inputs,
                                        const std::string& folder) {
  std::unordered_map<std::string, const std::string*> firstWithName;
  std::set<fs::path> inputFiles;
  std::error_code error;
  for (const std::string& input : inputs) {
    const fs::path canonical = fs::weakly_canonical(input, error);
    if (!error) inputFiles.insert(canonical);
    std::string name = fs::path(input).filename().string();
    // A path ending in a slash names no file; it is refused on its own.
    if (name.empty()) continue;
    const auto [seen, added] = firstWithName.emplace(std::move(name), &input);
    if (!added)
      return *seen->second + " and " + input +
             " have the same file name; their reports would overwrite each other";
  }
  for (const std::string& input : inputs) {
    const std::string report = ReportPathIn(folder, input);
    const fs::path canonical = fs::weakly_canonical(report, error);
    if (!error && fs::exists(canonical, error) && inputFiles.contains(canonical)) {
      std::string problem = report;
      problem += " is one of the inputs; the report of " + input + " would overwrite it";
      return problem;
    }
  }
  return std::nullopt;
}

std::optional<std::string> PrepareOutputFolder(const std::string& folder) {
  std::error_code error;
  if (!fs::exists(folder, error) && !error) fs::create_directories(folder, error);
  if (error) return "cannot make the folder " + folder + ": " + error.message();
  if (!fs::is_directory(folder, error)) return folder + " is not a folder";
  return std::nullopt;
}

// Each conversion holds its input, its temporary file and the report it
// replaces open at once; a few more are the tool's own.
unsigned ThreadsTheDescriptorsAllow(unsigned threads) {
#ifndef _WIN32
  constexpr rlim_t kPerConversion = 4;
  constexpr rlim_t kReserved = 16;
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return threads;
  const rlim_t allowed = limit.rlim_cur > kReserved + kPerConversion
                             ? (limit.rlim_cur - kReserved) / kPerConversion
                             : 1;
  if (threads <= allowed) return threads;
  std::fprintf(stderr, "%s: --jobs %u is more than the limit of %llu open files allows; using %u\n",
               kProgram, threads, static_cast<unsigned long long>(limit.rlim_cur),
               static_cast<unsigned>(allowed));
  return static_cast<unsigned>(allowed);
#else
  return threads;
#endif
}

int ConvertJobs(const Tool& tool, const std::vector<Job>& jobs, unsigned threads,
                ProgressLine& progress) {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  auto work = [&] {
    for (std::size_t index = next++; index < jobs.size(); index = next++) {
      const Job& job = jobs[index];
      std::optional<std::string> failure;
      try {
        failure = driver::ConvertThroughPlugIn(tool.plugIn, PlugInPath(job.input, false).Get(),
                                               job.report);
      } catch (const std::exception& error) {
        // Out of memory for one file's paths or message; the others go on.
        failure = error.what();
      }
      if (failure) failed = true;
      progress.AddBytes(job.size);
      progress.FinishFile(failure ? std::string(kProgram) + ": " + job.input + ": " + *failure
                                  : std::string());
    }
  };
  std::vector<std::jthread> workers;
  for (std::size_t i = 1; i < std::min<std::size_t>(threads, jobs.size()); ++i) {
    try {
      workers.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // fewer threads than asked do the same work
    }
  }
  work();
  workers.clear();
  return failed ? kFailure : kSuccess;
}

int ConvertIntoFolder(const Tool& tool, const CLI::App& command,
                      const ConvertArguments& arguments) {
  const std::vector<std::string> inputs = ExpandInputs(arguments.paths);
  if (inputs.empty()) return UsageError(command, "convert --out-dir needs at least one INPUT");
  if (const std::optional<std::string> problem = SharedReport(inputs, arguments.outputFolder))
    return UsageError(command, *problem);
  if (const std::optional<std::string> problem = PrepareOutputFolder(arguments.outputFolder)) {
    std::fprintf(stderr, "%s: %s\n", kProgram, problem->c_str());
    return kFailure;
  }
  std::vector<Job> jobs;
  jobs.reserve(inputs.size());
  for (const std::string& input : inputs)
    jobs.push_back({input, ReportPathIn(arguments.outputFolder, input), FileSize(input)});
  ProgressLine progress(stderr, ShowsProgress(tool), jobs.size(), TotalSize(inputs));
  const int status =
      ConvertJobs(tool, jobs, ThreadsTheDescriptorsAllow(arguments.threads), progress);
  progress.Finish();
  return status;
}

int RunConvert(const Tool& tool, const CLI::App& command, ConvertArguments& arguments) {
  if (!arguments.misplacedOutput.empty())
    return UsageError(command, "convert takes no -o; write INPUT OUTPUT, or -d DIR for a folder");
  std::vector<std::string>& paths = arguments.paths;
  paths.insert(paths.end(), tool.literalInputs.begin(), tool.literalInputs.end());
  if (!arguments.outputFolder.empty()) return ConvertIntoFolder(tool, command, arguments);
  if (paths.size() != 2)
    return UsageError(command, "convert needs INPUT and OUTPUT, or --out-dir DIR and INPUT...");
  const PlugInPath output(paths[1], true);
  const int status = driver::ConvertOneFile(tool.plugIn, kProgram,
                                            PlugInPath(paths[0], false).Get(), output.Get());
  return status == kSuccess ? output.Deliver() : status;
}

}  // namespace

void AddConvert(CLI::App& app, Tool& tool) {
  CLI::App* convert = app.add_subcommand(
      "convert", "Convert a detail into a report, or many details into reports in a folder");
  convert->group("Commands");
  tool.help.SetUsage(
      convert, {"qvmtsfrs convert INPUT OUTPUT", "qvmtsfrs convert -d DIR [--jobs N] INPUT..."});
  auto arguments = std::make_shared<ConvertArguments>();
  convert->add_option("INPUT", arguments->paths, "The detail and its report, or the details")
      ->type_name("");
  CLI::Option* folder =
      convert
          ->add_option("-d,--out-dir", arguments->outputFolder,
                       "Write each report into DIR, named as its input with .xml appended")
          ->type_name("DIR");
  convert->add_option("-o,--output", arguments->misplacedOutput)->group("");
  convert
      ->add_option("-j,--jobs", arguments->threads,
                   "Threads sharing the work (default: the number of cores)")
      ->type_name("N")
      ->check(CLI::Range(1u, kMostThreads))
      ->needs(folder);
  convert->add_flag("-q,--quiet", tool.quiet, "Show no progress line on the terminal");
  convert->footer(
      std::string("Examples:\n"
                  "  qvmtsfrs convert \"2011-03 detail.html\" report.xml\n"
                  "  qvmtsfrs convert --out-dir reports/ --jobs 4 details/*.html\n"
                  "      writes reports/march.html.xml for details/march.html, and so on\n\n"
                  "Inputs sharing a file name, and a report that would overwrite an input, are\n"
                  "refused before any work. A file that fails is named on standard error and the\n"
                  "others are still converted. --jobs is lowered to what the limit of open files\n"
                  "allows. On a terminal, work longer than a second shows a progress line unless\n"
                  "--quiet is given.\n\n") +
      kExitStatuses);
  tool.runs[convert] = [&tool, convert, arguments] {
    return RunConvert(tool, *convert, *arguments);
  };
}

}  // namespace qv::cli
