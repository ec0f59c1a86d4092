#include "tool_commands.h"

#include <memory>

#include "help_format.h"
#include "maker.h"

namespace qv::cli {
namespace {

const char* const kExitStatuses =
    "Exit status: 0 success, 1 a file could not be named or converted, 2 usage error.";

void DefineTool(CLI::App& app, HelpFormatter& help, ToolArguments& arguments) {
  app.description(
      "Reads MTS FORIS call-detail pages and writes the XML reports Quarvel reads, through the\n"
      "plug-in's own functions, called as the host calls them.");
  help.SetUsage(&app, {"qvmtsfrs COMMAND [OPTIONS] [ARGUMENTS]", "qvmtsfrs captions",
                       "qvmtsfrs name FILE...", "qvmtsfrs convert INPUT OUTPUT"});
  app.footer(std::string("Examples:\n"
                         "  qvmtsfrs name \"2011-03 detail.html\"\n"
                         "  qvmtsfrs convert \"2011-03 detail.html\" report.xml\n"
                         "\n") +
             kExitStatuses + "\nRun 'qvmtsfrs COMMAND --help' for the options of a command.");
  app.set_version_flag("--version", std::string(kProgram) + " " + QV_VERSION);
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
  CLI::App* convert = app.add_subcommand("convert", "Convert a detail into a report");
  commands.convert = convert;
  convert->group("Commands");
  help.SetUsage(convert, {"qvmtsfrs convert INPUT OUTPUT"});
  convert->add_option("INPUT", arguments.convertPaths, "The detail and its report")->type_name("");
  convert->footer(
      std::string("Example:\n  qvmtsfrs convert \"2011-03 detail.html\" report.xml\n\n") +
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
  return commands;
}

}  // namespace qv::cli
