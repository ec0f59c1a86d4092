#pragma once
// What the tool's commands share: how each is added to the command line
// and run, their help's usage lines, and the handling of their inputs.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "plugin_driver.h"

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
// Windows has no name for standard input, so there it is first copied into
// a temporary folder, removed when this goes; "-" as output stays a file.
class PlugInPath {
 public:
  PlugInPath(const std::string& path, bool output);
  ~PlugInPath();
  PlugInPath(const PlugInPath&) = delete;
  PlugInPath& operator=(const PlugInPath&) = delete;
  const std::string& Get() const { return path_; }

 private:
  std::string path_;
  // The temporary folder of standard input's copy.
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

}  // namespace qv::cli
