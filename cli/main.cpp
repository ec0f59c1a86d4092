// qvmtsfrs: the plug-in's functions from the command line, called exactly as
// the host calls them, for people with folders of details and no host. Each
// command lives in a file of its own; this one only picks the command.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "maker.h"
#include "tool.h"

namespace qv::cli {

namespace {

void DefineTool(CLI::App& app, Tool& tool, std::vector<std::string>& unknownCommand) {
  app.name(kProgram);
  app.description(
      "Reads MTS FORIS call-detail pages and writes the XML reports Quarvel reads, through the\n"
      "plug-in's own functions, called as the host calls them; lists the calls the reports\n"
      "hold, and adds them up per subscriber, as CSV, JSON or a table.");
  app.footer(
      std::string("Examples:\n"
                  "  qvmtsfrs name \"2011-03 detail.html\"\n"
                  "  qvmtsfrs convert \"2011-03 detail.html\" report.xml\n"
                  "  qvmtsfrs convert --out-dir reports/ --jobs 4 details/*.html\n"
                  "  qvmtsfrs calls --output calls.csv details/*.html\n"
                  "  qvmtsfrs summary march.html\n\n"
                  "An INPUT of - is standard input, -o - standard output; a folder stands for\n"
                  "its .html and .htm files in name order; after --, every argument is an "
                  "INPUT.\n") +
      kExitStatuses + "\nRun 'qvmtsfrs COMMAND --help' for the options of a command.");
  tool.help.SetUsage(
      &app, {"qvmtsfrs [--quiet] COMMAND [OPTIONS] [ARGUMENTS]", "qvmtsfrs captions",
             "qvmtsfrs name FILE...", "qvmtsfrs convert INPUT OUTPUT",
             "qvmtsfrs convert -d DIR [--jobs N] INPUT...", "qvmtsfrs calls [OPTIONS] INPUT...",
             "qvmtsfrs summary [OPTIONS] INPUT..."});
  app.set_version_flag("--version", std::string(kProgram) + " " + QV_VERSION);
  app.add_flag("-q,--quiet", tool.quiet, "Show no progress line on the terminal");
  // Words that name no command land here, to be told apart from stray options.
  app.add_option("unknown-command", unknownCommand)->group("");
}

int RunTool(const driver::PlugInFunctions& plugIn, int argc, char** argv) {
  CLI::App app;
  auto help = std::make_shared<HelpFormatter>();
  // Set before the commands are added, which take the formatter of their parent.
  app.formatter(help);
  Tool tool{plugIn, *help, false, {}, {}};
  std::vector<std::string> unknownCommand;
  DefineTool(app, tool, unknownCommand);
  AddPlugInCommands(app, tool);
  AddConvert(app, tool);
  AddListings(app, tool);
  // CLI11 takes "--" only before the first input; here it may stand anywhere.
  std::vector<std::string> arguments(argv + 1, argv + argc);
  const auto end = std::find(arguments.begin(), arguments.end(), "--");
  if (end != arguments.end()) tool.literalInputs.assign(end + 1, arguments.end());
  arguments.erase(end, arguments.end());
  std::reverse(arguments.begin(), arguments.end());
  try {
    app.parse(arguments);
  } catch (const CLI::ParseError& error) {
    // --help and --version end the parse this way too, successfully.
    if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(error);
    const std::vector<CLI::App*> chosen = app.get_subcommands();
    return UsageError(chosen.empty() ? app : *chosen.front(), error.what());
  }
  if (!unknownCommand.empty())
    return UsageError(app, "unknown command '" + unknownCommand.front() + "'");
  for (const CLI::App* command : app.get_subcommands()) return tool.runs.at(command)();
  return UsageError(app, "missing command");
}

// Output that never reached standard output is a failure, not a success; a
// reader that went away ends the tool quietly, as it ends any filter.
int FinishStandardOutput(int status) {
  if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0 && std::fclose(stdout) == 0)
    return status;
  if (errno == EPIPE) EndOnBrokenPipe();
  std::fprintf(stderr, "%s: Unable to write to standard output: %s\n", kProgram,
               std::strerror(errno));
  return kFailure;
}

}  // namespace
}  // namespace qv::cli

int main(int argc, char** argv) {
  qv::driver::PlugInFunctions plugIn;
#define QV_PLUGIN_EXPORT(name, ordinal, bytes) plugIn.name = name;
#include "qvmtsfrs_exports.h"
#undef QV_PLUGIN_EXPORT
  qv::cli::PrepareProcess();
  int status = qv::cli::kFailure;
  try {
    status = qv::cli::RunTool(plugIn, argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", qv::cli::kProgram, error.what());
  }
  return qv::cli::FinishStandardOutput(status);
}
