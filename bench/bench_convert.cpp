// Converts synthetic details of 30 MB and 300 MB through the conversion the
// exports use, each in a process of its own, and prints the throughput and
// the peak memory of that process; then the best of three conversions
// against cat and grep -c on the same file.
//   bench_convert [DIRECTORY] [SIZE...]
// A size is a number of megabytes, of many subscribers; with "-single" one
// subscriber holds every call, with "-mix" blocks of about 500 calls, half
// incoming, with Cyrillic services, zones and regions, with "-compact" such
// blocks of compact rows (about 210 bytes a call). Adversarial details
// hold one subscriber block of: "-lf" line feeds, "-gt" a "<" and then ">",
// "-open" a row that never closes, "-arrows" one cell of incoming arrows.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "convert/conversion.h"
#include "detail_generator.h"
#include "runtime/locale_formats.h"
#include "runtime/service_error.h"

namespace {

long PeakResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The elapsed seconds of a program run with its output into a file (grep
// stops at the first match when it writes to /dev/null).
double RunSeconds(const std::vector<std::string>& command, const std::string& output) {
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    if (std::freopen(output.c_str(), "w", stdout) == nullptr) _exit(127);
    std::vector<char*> arguments;
    arguments.reserve(command.size() + 1);
    for (const std::string& argument : command)
      arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    execvp(arguments[0], arguments.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs work in a child process, so that its peak memory is its own.
bool InChild(void (*work)(const std::string&, const std::string&), const std::string& a,
             const std::string& b) {
  std::fflush(stdout);  // or the child writes what waits in the buffer again
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    work(a, b);
    std::fflush(stdout);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A subscriber block holding one piece repeated to about bytes: the inputs
// that would make a walk that starts again at every piece quadratic.
bool WriteRepeated(std::FILE* file, std::uint64_t bytes, const std::string& before,
                   const std::string& piece, const std::string& after) {
  const std::string head = qv::bench::PageHead("01.03.2011 по 31.03.2011", "x") +
                           "<tr><td>Абонентский номер 9161234567</td></tr>\r\n" + before;
  std::string block;
  while (block.size() < (1u << 20)) block += piece;
  bool ok = std::fwrite(head.data(), 1, head.size(), file) == head.size();
  for (std::uint64_t written = 0; ok && written < bytes; written += block.size()) {
    ok = std::fwrite(block.data(), 1, block.size(), file) == block.size();
  }
  return ok && std::fwrite(after.data(), 1, after.size(), file) == after.size();
}

bool WriteDetail(std::FILE* file, std::uint64_t bytes, const std::string& size) {
  using qv::bench::DetailKind;
  if (size.ends_with("-lf")) return WriteRepeated(file, bytes, "", "\n", "");
  if (size.ends_with("-gt")) return WriteRepeated(file, bytes, "<", ">", "\r\n");
  if (size.ends_with("-open")) return WriteRepeated(file, bytes, "<tr><td>", "x", "\r\n");
  if (size.ends_with("-arrows")) {
    return WriteRepeated(file, bytes, "<tr><td>1</td><td>07.12.2010</td><td>9:05</td><td></td><td>",
                         "&lt;--", "</td></tr>\r\n");
  }
  const DetailKind kind = size.ends_with("-single")    ? DetailKind::kOneBlock
                          : size.ends_with("-mix")     ? DetailKind::kCyrillicMix
                          : size.ends_with("-compact") ? DetailKind::kCompactRows
                                                       : DetailKind::kManyBlocks;
  return qv::bench::WriteSyntheticDetail(file, bytes, 1, kind) != 0;
}

void Generate(const std::string& path, const std::string& size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  const std::uint64_t bytes = std::strtoull(size.c_str(), nullptr, 10) << 20;
  if (file == nullptr || !WriteDetail(file, bytes, size) || std::fclose(file) != 0) {
    std::fprintf(stderr, "%s: cannot write the detail\n", path.c_str());
    _exit(1);
  }
}

void Convert(const std::string& input, const std::string& output) {
  std::ifstream sized(input, std::ios::binary | std::ios::ate);
  const double megabytes = static_cast<double>(sized.tellg()) / (1 << 20);
  sized.close();
  const double processorStart = ProcessorSeconds();
  const auto start = std::chrono::steady_clock::now();
  // A file of line feeds alone has no heading: it fails after the pruning.
  try {
    qv::ConvertDetail(input, output, {qv::UserLocaleFormats().decimalSeparator});
  } catch (const qv::ServiceError& error) {
    std::printf("%s: %s\n", input.c_str(), error.what());
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double processor = ProcessorSeconds() - processorStart;
  std::ifstream report(output, std::ios::binary | std::ios::ate);
  const double reportMegabytes = static_cast<double>(report.tellg()) / (1 << 20);
  const double peak = static_cast<double>(PeakResidentKilobytes()) / 1024;
  // On a busy machine the processor time tells more than the elapsed time.
  std::printf(
      "%6.1f MB: %6.3f s elapsed %6.1f MB/s, %6.3f s processor %6.1f MB/s; report %5.1f MB; "
      "peak %6.1f MB = %.2f x input\n",
      megabytes, seconds, megabytes / seconds, processor, megabytes / processor, reportMegabytes,
      peak, peak / megabytes);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string directory = argc > 1 ? argv[1] : "/tmp";
  std::vector<std::string> sizes;
  for (int i = 2; i < argc; ++i) sizes.emplace_back(argv[i]);
  if (sizes.empty()) sizes = {"30", "300", "300-mix", "300-compact"};
  for (const std::string& size : sizes) {
    std::string input = directory + "/qv_bench_detail_";
    input += size;
    input += ".html";
    std::string output = directory + "/qv_bench_report_";
    output += size;
    output += ".xml";
    if (!std::ifstream(input) && !InChild(Generate, input, size)) return 1;
    // The best of three runs each, so that a busy moment of the machine
    // does not decide the ratios.
    double convert = 1e9;
    double cat = 1e9;
    double grep = 1e9;
    for (int round = 0; round < 3; ++round) {
      const auto start = std::chrono::steady_clock::now();
      if (!InChild(Convert, input, output)) return 1;
      convert = std::min(
          convert, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
      cat = std::min(cat, RunSeconds({"cat", input}, output));
      grep = std::min(grep, RunSeconds({"grep", "-c", "Абонентский номер", input}, output));
    }
    std::printf("  best of 3: conversion %.3f s, cat %.3f s (%.1fx), grep -c %.3f s (%.1fx)\n",
                convert, cat, convert / cat, grep, convert / grep);
    std::remove(output.c_str());
  }
  return 0;
}
