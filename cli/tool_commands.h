#pragma once
// The tool's commands and options as CLI11 reads them, each with its help:
// usage lines, examples and the exit statuses.
#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include <CLI/CLI.hpp>

#include "records.h"

namespace qv::cli {

inline constexpr const char* kProgram = "qvmtsfrs";

// The options of "calls" and of "summary".
struct ListingArguments {
  std::vector<std::string> inputs;
  std::string outputPath;
  listing::ListingOptions options;
  // Empty when --format was not given.
  std::string format;
};

struct ToolArguments {
  bool quiet = false;
  std::vector<std::string> unknownCommand;
  std::vector<std::string> namePaths;
  std::vector<std::string> convertPaths;
  std::string outputFolder;
  unsigned threads = std::max(std::thread::hardware_concurrency(), 1u);
  ListingArguments calls;
  ListingArguments summary{{}, {}, {listing::Format::kText}};
};

struct ToolCommands {
  CLI::App* captions = nullptr;
  CLI::App* name = nullptr;
  CLI::App* convert = nullptr;
  CLI::Option* outputFolder = nullptr;
  CLI::App* calls = nullptr;
  CLI::App* summary = nullptr;
};

// Defines every command and option on app; the parse fills arguments.
ToolCommands DefineToolCommands(CLI::App& app, ToolArguments& arguments);

}  // namespace qv::cli
