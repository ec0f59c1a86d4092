// qvmtsfrs: the plug-in's functions from the command line, called exactly as
// the host calls them, for people with folders of details and no host.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
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

// Without --format, the output file's extension tells the format.
listing::Format FormatOf(const ListingArguments& listing) {
  static const std::map<std::string, listing::Format> kFormats = {
      {"text", listing::Format::kText},        {"csv", listing::Format::kCsv},
      {".csv", listing::Format::kCsv},         {"jsonl", listing::Format::kJsonLines},
      {".jsonl", listing::Format::kJsonLines}, {"json", listing::Format::kJson},
      {".json", listing::Format::kJson}};
  const std::string extension = std::filesystem::path(listing.outputPath).extension().string();
  const auto found = kFormats.find(listing.format.empty() ? extension : listing.format);
  return found == kFormats.end() ? listing.options.format : found->second;
}

int RunListing(const CLI::App& app, ListingKind kind, const ListingArguments& arguments,
               bool quiet) {
  if (const std::string* input = InputAtOutput(arguments))
    return UsageError(app, *input + " and " + arguments.outputPath +
                               " are the same file; the listing would overwrite the detail");
  ListingRequest request{kind, arguments.inputs, arguments.outputPath, false, arguments.options};
  if (request.outputPath == "-") request.outputPath.clear();
  request.options.format = FormatOf(arguments);
  // Rows streaming onto the terminal show the progress themselves.
  const bool rowsOnTerminal = request.options.format != listing::Format::kText &&
                              request.outputPath.empty() && isatty(fileno(stdout)) != 0;
  request.showProgress = !quiet && !rowsOnTerminal && isatty(fileno(stderr)) != 0;
  return WriteListing(request, kProgram);
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
  if (commands.calls->parsed())
    return RunListing(app, ListingKind::kCalls, arguments.calls, arguments.quiet);
  if (commands.summary->parsed())
    return RunListing(app, ListingKind::kSummary, arguments.summary, arguments.quiet);
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
