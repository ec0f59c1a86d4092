#pragma once
// The tool's commands and options as CLI11 reads them, each with its help:
// usage lines, examples and the exit statuses.
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace qv::cli {

inline constexpr const char* kProgram = "qvmtsfrs";

struct ToolArguments {
  std::vector<std::string> unknownCommand;
  std::vector<std::string> namePaths;
  std::vector<std::string> convertPaths;
};

struct ToolCommands {
  CLI::App* captions = nullptr;
  CLI::App* name = nullptr;
  CLI::App* convert = nullptr;
};

// Defines every command and option on app; the parse fills arguments.
ToolCommands DefineToolCommands(CLI::App& app, ToolArguments& arguments);

}  // namespace qv::cli
