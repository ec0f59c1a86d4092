// The qvmtsfrs tool as its users run it, each run a child process whose
// elapsed time, processor time and peak memory are its own:
//   "calls --format csv" over the 300 MB generated detail, best of five runs, and
//   "convert --out-dir" over 200 generated details of 1 to 5 MB, with
//   --jobs 2 against --jobs 1.
//   bench_tool [DIRECTORY [TOOL]]
// The details are generated once under DIRECTORY (default /tmp) and kept.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "detail_generator.h"

namespace {

namespace fs = std::filesystem;

struct RunFigures {
  bool ok = false;
  double seconds = 0;
  double processorSeconds = 0;
  double peakMegabytes = 0;
};

double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

RunFigures RunTool(const std::string& tool, const std::vector<std::string>& arguments) {
  std::vector<char*> argv{const_cast<char*>(tool.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) return {};
  if (child == 0) {
    execv(tool.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return {};
  RunFigures figures;
  figures.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  figures.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  figures.processorSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  figures.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024;
  return figures;
}

bool Generate(const std::string& path, std::uint64_t bytes, std::uint64_t seed) {
  if (fs::exists(path)) return true;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = qv::bench::WriteSyntheticDetail(file, bytes, seed) != 0;
  return std::fclose(file) == 0 && written;
}

double Megabytes(std::uintmax_t bytes) { return static_cast<double>(bytes) / (1 << 20); }

bool BenchCalls(const std::string& tool, const fs::path& directory) {
  const std::string detail = (directory / "qv_bench_detail_300.html").string();
  if (!Generate(detail, std::uint64_t{300} << 20, 1)) return false;
  const std::string output = (directory / "qv_bench_calls.csv").string();
  const double megabytes = Megabytes(fs::file_size(detail));
  // The machine's noise is large: the best run tells the program's speed.
  double best = 0;
  double worst = 0;
  for (int run = 0; run < 5; ++run) {
    const RunFigures figures =
        RunTool(tool, {"calls", "--quiet", "--format", "csv", "--output", output, detail});
    if (!figures.ok) return false;
    std::printf(
        "calls --format csv, %.0f MB: %6.3f s elapsed %6.1f MB/s, %6.3f s processor %6.1f MB/s; "
        "%.0f MB of CSV; peak %.1f MB\n",
        megabytes, figures.seconds, megabytes / figures.seconds, figures.processorSeconds,
        megabytes / figures.processorSeconds, Megabytes(fs::file_size(output)),
        figures.peakMegabytes);
    best = run == 0 ? figures.processorSeconds : std::min(best, figures.processorSeconds);
    worst = std::max(worst, figures.processorSeconds);
  }
  std::printf("calls --format csv: best of 5 %.1f MB/s of processor time, worst %.1f MB/s\n",
              megabytes / best, megabytes / worst);
  fs::remove(output);
  return true;
}

bool BenchBatch(const std::string& tool, const fs::path& directory) {
  const fs::path details = directory / "qv_bench_batch";
  fs::create_directories(details);
  std::vector<std::string> inputs;
  std::uintmax_t total = 0;
  for (int i = 0; i < 200; ++i) {
    inputs.push_back((details / ("detail_" + std::to_string(i) + ".html")).string());
    if (!Generate(inputs.back(), std::uint64_t(1 + i % 5) << 20, 1000 + i)) return false;
    total += fs::file_size(inputs.back());
  }
  const std::string reports = (directory / "qv_bench_batch_reports").string();
  const auto convert = [&](const char* jobs) {
    std::vector<std::string> arguments{"convert", "--quiet", "--out-dir", reports, "--jobs", jobs};
    arguments.insert(arguments.end(), inputs.begin(), inputs.end());
    return RunTool(tool, arguments);
  };
  // The first run brings the details into the page cache.
  if (!convert("2").ok) return false;
  RunFigures best[2];
  for (int round = 0; round < 3; ++round) {
    for (int jobs : {1, 2}) {
      const RunFigures figures = convert(jobs == 1 ? "1" : "2");
      if (!figures.ok) return false;
      RunFigures& kept = best[jobs - 1];
      if (kept.seconds == 0 || figures.seconds < kept.seconds) kept = figures;
    }
  }
  for (int jobs : {1, 2}) {
    const RunFigures& figures = best[jobs - 1];
    std::printf(
        "convert --out-dir, 200 details, %.0f MB, --jobs %d: %6.3f s elapsed %6.1f MB/s, "
        "%6.3f s processor; peak %.1f MB\n",
        Megabytes(total), jobs, figures.seconds, Megabytes(total) / figures.seconds,
        figures.processorSeconds, figures.peakMegabytes);
  }
  std::printf("--jobs 2 is %.2f times as fast as --jobs 1 (best of three runs each)\n",
              best[0].seconds / best[1].seconds);
  fs::remove_all(reports);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path directory = argc > 1 ? argv[1] : "/tmp";
  const std::string tool = argc > 2 ? argv[2] : QV_TOOL;
  if (!BenchCalls(tool, directory)) {
    std::fprintf(stderr, "calls failed\n");
    return 1;
  }
  if (!BenchBatch(tool, directory)) {
    std::fprintf(stderr, "convert --out-dir failed\n");
    return 1;
  }
  return 0;
}
