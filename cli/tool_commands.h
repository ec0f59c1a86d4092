#pragma once
// The tool's commands and options as CLI11 reads them, each with its help:
// usage lines, examples and the exit statuses.
#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include <CLI/CLI.hpp>

namespace qv::cli {

inline constexpr const char* kProgram = "qvmtsfrs";

struct ToolArguments {
  bool quiet = false;
  std::vector<std::string> unknownCommand;
  std::vector<std::string> namePaths;
  std::vector<std::string> convertPaths;
  std::string outputFolder;
  unsigned threads = std::max(std::thread::hardware_concurrency(), 1u);
};

struct ToolCommands {
  CLI::App* captions = nullptr;
  CLI::App* name = nullptr;
  CLI::App* convert = nullptr;
  CLI::Option* outputFolder = nullptr;
};

// Defines every command and option on app; the parse fills arguments.
ToolCommands DefineToolCommands(CLI::App& app, ToolArguments& arguments);

}  // namespace qv::cli
