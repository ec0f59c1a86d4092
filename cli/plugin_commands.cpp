// "captions" and "name": the plug-in's texts and its recognition of details.
#include <list>
#include <memory>

#include "tool.h"

namespace qv::cli {

void AddPlugInCommands(CLI::App& app, Tool& tool) {
  CLI::App* captions = app.add_subcommand(
      "captions", "Print the menu name, the detail type name, the file filter and the about text");
  captions->group("Commands");
  tool.help.SetUsage(captions, {"qvmtsfrs captions"});
  captions->footer(std::string("Example:\n  qvmtsfrs captions\n\n") + kExitStatuses);
  tool.runs[captions] = [&tool] { return driver::PrintCaptions(tool.plugIn); };

  CLI::App* name = app.add_subcommand(
      "name", "Print the display name of each detail file, or an empty line for other files");
  name->group("Commands");
  tool.help.SetUsage(name, {"qvmtsfrs name FILE..."});
  auto paths = std::make_shared<std::vector<std::string>>();
  name->add_option("FILE", *paths, "Files to recognise; a folder stands for its .html files");
  name->footer(std::string("Example:\n  qvmtsfrs name \"2011-03 detail.html\"\n\n") +
               kExitStatuses);
  tool.runs[name] = [&tool, name, paths] {
    paths->insert(paths->end(), tool.literalInputs.begin(), tool.literalInputs.end());
    if (paths->empty()) return UsageError(*name, "name needs at least one FILE");
    std::vector<std::string> files = ExpandInputs(*paths);
    std::list<PlugInPath> held;
    for (std::string& file : files) file = held.emplace_back(file, false).Get();
    return driver::PrintNames(tool.plugIn, kProgram, files);
  };
}

}  // namespace qv::cli
