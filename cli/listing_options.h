#pragma once
// The options and help of "calls" and "summary".
#include <CLI/CLI.hpp>

#include "help_format.h"
#include "tool_commands.h"

namespace qv::cli {

void DefineListingCommands(CLI::App& app, HelpFormatter& help, ToolArguments& arguments,
                           ToolCommands& commands);

}  // namespace qv::cli
