// qvmtsfrs: the plug-in's functions from the command line, called exactly as
// the host calls them, for people with folders of details and no host.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "batch_convert.h"
#include "batch_plan.h"
#include "file_identity.h"
#include "host_commands.h"
#include "listing_commands.h"
#include "tool_commands.h"

namespace qv::cli {
namespace {

int UsageError(const CLI::App& app, const std::string& problem) {
  std::string helpCommand = kProgram;
  for (const CLI::App* command : app.get_subcommands()) helpCommand += " " + command->get_name();
  std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", kProgram, problem.c_str(),
               helpCommand.c_str());
  return kUsageError;
}

int RunConvert(const PlugInFunctions& plugIn, const CLI::App& app, const ToolCommands& commands,
               const ToolArguments& arguments) {
  const std::vector<std::string>& paths = arguments.convertPaths;
  if (commands.outputFolder->count() == 0) {
    if (paths.size() != 2)
      return UsageError(app, "convert needs INPUT and OUTPUT, or --out-dir DIR and INPUT...");
    return ConvertOneFile(plugIn, kProgram, paths[0], paths[1]);
  }
  if (paths.empty()) return UsageError(app, "convert --out-dir needs at least one INPUT");
  if (const auto shared = FindSharedFileName(paths))
    return UsageError(app,
                      shared->first + " and " + shared->second +
                          " have the same file name; their reports would overwrite each other");
  const bool showProgress = !arguments.quiet && isatty(fileno(stderr)) != 0;
  return ConvertIntoFolder(plugIn, kProgram,
                           {paths, arguments.outputFolder, arguments.threads, showProgress});
}

// The listing would replace a detail before anyone could read it.
const std::string* InputAtOutput(const ListingArguments& listing) {
  if (listing.outputPath.empty()) return nullptr;
  for (const std::string& input : listing.inputs) {
    if (SameExistingFile(input.c_str(), listing.outputPath.c_str())) return &input;
  }
  return nullptr;
}

// streamed: the listing is written while the inputs are read, not only at the end.
int RunListing(const CLI::App& app, const ListingArguments& listing, bool quiet, bool streamed,
               const std::function<int(const ListingRequest&)>& list) {
  if (const std::string* input = InputAtOutput(listing))
    return UsageError(app, *input + " and " + listing.outputPath +
                               " are the same file; the listing would overwrite the detail");
  // Rows streaming onto the terminal show the progress themselves.
  const bool rowsOnTerminal = streamed && listing.outputPath.empty() && isatty(fileno(stdout)) != 0;
  const bool showProgress = !quiet && !rowsOnTerminal && isatty(fileno(stderr)) != 0;
  return list({listing.inputs, listing.outputPath, showProgress});
}

int RunChosenCommand(const PlugInFunctions& plugIn, const CLI::App& app,
                     const ToolCommands& commands, const ToolArguments& arguments) {
  if (!arguments.unknownCommand.empty())
    return UsageError(app, "unknown command '" + arguments.unknownCommand.front() + "'");
  if (commands.captions->parsed()) return PrintCaptions(plugIn);
  if (commands.name->parsed()) {
    if (arguments.namePaths.empty()) return UsageError(app, "name needs at least one FILE");
    return PrintNames(plugIn, kProgram, arguments.namePaths);
  }
  if (commands.convert->parsed()) return RunConvert(plugIn, app, commands, arguments);
  if (commands.calls->parsed()) {
    const CallsFormat format =
        arguments.calls.format == "jsonl" ? CallsFormat::kJsonLines : CallsFormat::kCsv;
    return RunListing(
        app, arguments.calls, arguments.quiet, true,
        [&](const ListingRequest& request) { return ListCalls(request, format, kProgram); });
  }
  if (commands.summary->parsed()) {
    const SummaryFormat format = arguments.summary.format == "csv"    ? SummaryFormat::kCsv
                                 : arguments.summary.format == "json" ? SummaryFormat::kJson
                                                                      : SummaryFormat::kText;
    return RunListing(
        app, arguments.summary, arguments.quiet, format != SummaryFormat::kText,
        [&](const ListingRequest& request) { return SummariseCalls(request, format, kProgram); });
  }
  return UsageError(app, "missing command");
}

int RunTool(const PlugInFunctions& plugIn, int argc, char** argv) {
  CLI::App app;
  app.name(kProgram);
  ToolArguments arguments;
  const ToolCommands commands = DefineToolCommands(app, arguments);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // --help and --version end the parse this way too, successfully.
    if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(error);
    return UsageError(app, error.what());
  }
  return RunChosenCommand(plugIn, app, commands, arguments);
}

}  // namespace
}  // namespace qv::cli

int main(int argc, char** argv) {
  // The table's members stand in ordinal order, the order of the export list.
  const qv::cli::PlugInFunctions plugIn{
#define QV_PLUGIN_EXPORT(name, ordinal, bytes) name,
#include "qvmtsfrs_exports.h"
#undef QV_PLUGIN_EXPORT
  };
  try {
    return qv::cli::RunTool(plugIn, argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", qv::cli::kProgram, error.what());
    return qv::cli::kFailure;
  }
}
