#include "tool_commands.h"

#include <charconv>
#include <memory>

#include "help_format.h"
#include "listing_options.h"
#include "maker.h"

namespace qv::cli {
namespace {

constexpr unsigned kMostThreads = 256;

const char* const kExitStatuses =
    "Exit status: 0 success, 1 a file could not be named or converted, 2 usage error.";

std::string CheckThreadCount(const std::string& text) {
  unsigned count = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, count);
  if (error != std::errc() || stop != end || count == 0 || count > kMostThreads)
    return "a whole number from 1 to " + std::to_string(kMostThreads) + " is needed, not '" + text +
           "'";
  return {};
}

void DefineTool(CLI::App& app, HelpFormatter& help, ToolArguments& arguments) {
  app.description(
      "Reads MTS FORIS call-detail pages and writes the XML reports Quarvel reads, through the\n"
      "plug-in's own functions, called as the host calls them; lists the calls the reports\n"
      "hold, and adds them up per subscriber, as CSV, JSON or a table.");
  help.SetUsage(&app, {"qvmtsfrs [--quiet] COMMAND [OPTIONS] [ARGUMENTS]", "qvmtsfrs captions",
                       "qvmtsfrs name FILE...", "qvmtsfrs convert INPUT OUTPUT",
                       "qvmtsfrs convert --out-dir DIR [--jobs N] INPUT...",
                       "qvmtsfrs calls [--format csv|jsonl] [--output FILE] INPUT...",
                       "qvmtsfrs summary [--format text|csv|json] [--output FILE] INPUT..."});
  app.footer(std::string("Examples:\n"
                         "  qvmtsfrs name \"2011-03 detail.html\"\n"
                         "  qvmtsfrs convert \"2011-03 detail.html\" report.xml\n"
                         "  qvmtsfrs convert --out-dir reports/ --jobs 4 details/*.html\n"
                         "  qvmtsfrs calls --format csv --output calls.csv details/*.html\n"
                         "  qvmtsfrs summary march.html\n\n") +
             kExitStatuses + "\nRun 'qvmtsfrs COMMAND --help' for the options of a command.");
  app.set_version_flag("--version", std::string(kProgram) + " " + QV_VERSION);
  app.add_flag("-q,--quiet", arguments.quiet, "Show no progress line on the terminal");
  // Words that name no command land here, to be told apart from stray options.
  app.add_option("unknown-command", arguments.unknownCommand)->group("");
}

ToolCommands DefineCommands(CLI::App& app, HelpFormatter& help, ToolArguments& arguments) {
  ToolCommands commands;
  commands.captions = app.add_subcommand(
      "captions", "Print the menu name, the detail type name, the file filter and the about text");
  help.SetUsage(commands.captions, {"qvmtsfrs captions"});
  commands.captions->footer(std::string("Example:\n  qvmtsfrs captions\n\n") + kExitStatuses);

  commands.name = app.add_subcommand(
      "name", "Print the display name of each detail file, or an empty line for other files");
  help.SetUsage(commands.name, {"qvmtsfrs name FILE..."});
  commands.name->add_option("FILE", arguments.namePaths, "Files to recognise");
  commands.name->footer(std::string("Example:\n  qvmtsfrs name \"2011-03 detail.html\"\n\n") +
                        kExitStatuses);
  for (CLI::App* command : {commands.captions, commands.name}) command->group("Commands");
  return commands;
}

void DefineConvert(CLI::App& app, HelpFormatter& help, ToolArguments& arguments,
                   ToolCommands& commands) {
  CLI::App* convert = app.add_subcommand(
      "convert", "Convert a detail into a report, or many details into reports in a folder");
  commands.convert = convert;
  convert->group("Commands");
  help.SetUsage(convert, {"qvmtsfrs convert INPUT OUTPUT",
                          "qvmtsfrs convert --out-dir DIR [--jobs N] INPUT..."});
  convert->add_option("INPUT", arguments.convertPaths, "The detail and its report, or the details")
      ->type_name("");
  commands.outputFolder =
      convert
          ->add_option("-o,--out-dir", arguments.outputFolder,
                       "Write each report into DIR, named as its input with .xml appended")
          ->type_name("DIR");
  convert
      ->add_option("-j,--jobs", arguments.threads,
                   "Threads sharing the work (default: the number of cores)")
      ->type_name("N")
      ->check(CLI::Validator(CheckThreadCount, ""))
      ->needs(commands.outputFolder);
  convert->add_flag("-q,--quiet", arguments.quiet, "Show no progress line on the terminal");
  convert->footer(
      std::string("Examples:\n"
                  "  qvmtsfrs convert \"2011-03 detail.html\" report.xml\n"
                  "  qvmtsfrs convert --out-dir reports/ --jobs 4 details/*.html\n"
                  "      writes reports/march.html.xml for details/march.html, and so on\n\n"
                  "Inputs sharing a file name are refused before any work. A file that fails is\n"
                  "named on standard error and the others are still converted. On a terminal,\n"
                  "work longer than a second shows a progress line unless --quiet is given.\n\n") +
      kExitStatuses);
}

}  // namespace

ToolCommands DefineToolCommands(CLI::App& app, ToolArguments& arguments) {
  auto help = std::make_shared<HelpFormatter>();
  // Set before the commands are added, which take the formatter of their parent.
  app.formatter(help);
  DefineTool(app, *help, arguments);
  ToolCommands commands = DefineCommands(app, *help, arguments);
  DefineConvert(app, *help, arguments, commands);
  DefineListingCommands(app, *help, arguments, commands);
  return commands;
}

}  // namespace qv::cli
