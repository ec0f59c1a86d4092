#pragma once
// What the tool's commands share: how each is added to the command line
// and run, their help's usage lines, and the handling of their inputs.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "plugin_driver.h"
#include "records.h"

namespace qv::cli {

using driver::kFailure;
using driver::kSuccess;
using driver::kUsageError;

inline constexpr const char* kProgram = "qvmtsfrs";
inline constexpr const char* kExitStatuses =
    "Exit status: 0 success, 1 a file could not be read, converted or written, 2 usage error.";

// CLI11's help with usage lines of our own: one line per way of calling a
// command, since one command takes its arguments in two shapes.
class HelpFormatter : public CLI::Formatter {
 public:
  void SetUsage(const CLI::App* app, std::vector<std::string> lines) {
    usage_[app] = std::move(lines);
  }
  // Named as CLI::Formatter names it.
  std::string make_usage(  // NOLINT(readability-identifier-naming)
      const CLI::App* app, std::string name) const override;

 private:
  std::map<const CLI::App*, std::vector<std::string>> usage_;
};

struct Tool {
  const driver::PlugInFunctions& plugIn;
  HelpFormatter& help;
  bool quiet = false;
  // The arguments after "--", inputs whatever they look like.
  std::vector<std::string> literalInputs;
  // What runs each command once the command line is read.
  std::map<const CLI::App*, std::function<int()>> runs;
};

void AddPlugInCommands(CLI::App& app, Tool& tool);
void AddConvert(CLI::App& app, Tool& tool);
void AddListings(CLI::App& app, Tool& tool);

// Prints the problem and the hint to the command's help; kUsageError.
int UsageError(const CLI::App& command, const std::string& problem);

// The inputs as the commands read them: a folder stands for its .html and
// .htm files in name order; "-" stays, for standard input.
std::vector<std::string> ExpandInputs(const std::vector<std::string>& paths);

// A path the plug-in can open for "-", standard input or output, which it
// cannot open by that name: on POSIX, the system's names for the streams.
// Windows has no such names, so there standard input is first copied into a
// file in a temporary folder, and a report is written into one and copied
// to standard output by Deliver; the folder is removed when this goes.
class PlugInPath {
 public:
  PlugInPath(const std::string& path, bool output);
  ~PlugInPath();
  PlugInPath(const PlugInPath&) = delete;
  PlugInPath& operator=(const PlugInPath&) = delete;
  const std::string& Get() const { return path_; }
  // Once the report is written: kSuccess, or kFailure with the message
  // printed when it could not be copied to standard output.
  int Deliver() const;

 private:
  std::string path_;
  // The temporary folder of the copy.
  std::string folder_;
};

// The process around the commands: standard streams, interrupts and a
// broken standard output.
// Keeps the standard descriptors taken, so that no file the tool opens
// becomes standard output by accident, and starts the watch for interrupts:
// on SIGINT, SIGTERM or SIGHUP the tool removes the temporary files it is
// writing, clears the progress line and exits with 128 + the signal number.
void PrepareProcess();

// Ends the process as a write to a pipe without reader ends it.
[[noreturn]] void EndOnBrokenPipe();

bool StandardOutputIsTerminal();
bool StandardErrorIsTerminal();

// Whether a progress line is drawn on standard error.
bool ShowsProgress(const Tool& tool);

// One line on the terminal, redrawn in place as work reports its progress:
// the files done out of how many, the failures, the share of all input bytes
// read and the rate. Messages printed through it never cut into the line.
class ProgressLine {
 public:
  struct Timing {
    // Short work finishes without the line ever appearing.
    std::chrono::milliseconds delay{1000};
    std::chrono::milliseconds redrawInterval{250};
  };

  // Messages go to stream; the line is drawn there only when drawn is true,
  // which a caller sets for a terminal. The work is files inputs of bytes in all.
  ProgressLine(std::FILE* stream, bool drawn, std::size_t files, std::uint64_t bytes,
               Timing timing);
  ProgressLine(std::FILE* stream, bool drawn, std::size_t files, std::uint64_t bytes)
      : ProgressLine(stream, drawn, files, bytes, Timing{}) {}
  ~ProgressLine() { Finish(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void AddBytes(std::uint64_t count);
  // One input done; a failure's message, when not empty, is printed and
  // counted at once, so the line never tells fewer failures than shown.
  void FinishFile(const std::string& failure);
  // A line of its own; the progress is drawn again below it.
  void PrintMessage(std::string_view line);
  // Clears the line for good; the destructor does it too.
  void Finish();

 private:
  void DrawWhenDueLocked();
  void PrintLocked(std::string_view line);
  void DrawLocked();
  void ClearLocked();

  std::FILE* stream_;
  bool drawn_;
  Timing timing_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lastDrawn_;
  const std::size_t fileTotal_;
  const std::uint64_t byteTotal_;
  std::size_t filesDone_ = 0;
  std::size_t filesFailed_ = 0;
  std::uint64_t bytesDone_ = 0;
  std::mutex mutex_;
  bool shown_ = false;
};

// "12/200 files, 1 failed"
std::string FileCountText(std::size_t done, std::size_t total, std::size_t failed);
// "83% of 300 MB, 250 MB/s"; no rate before any time has passed.
std::string ByteShareText(std::uint64_t done, std::uint64_t total,
                          std::chrono::milliseconds elapsed);
// "900 KB", "300 MB", "2.5 GB": decimal units, as file managers show them.
std::string SizeText(std::uint64_t bytes);

// 0 for what has no size, such as a pipe.
std::uint64_t FileSize(const std::string& path);
std::uint64_t TotalSize(std::span<const std::string> paths);

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

// "calls" and "summary": walks the inputs in order, each failure named on
// standard error while the others are still walked; the output holds what
// every input handed over. The exit status: kFailure when an input or the
// output failed.
int WriteListing(const ListingRequest& request);

}  // namespace qv::cli
