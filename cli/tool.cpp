#include "tool.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "interrupts.h"

namespace qv::cli {

std::string HelpFormatter::make_usage(const CLI::App* app, std::string name) const {
  const auto found = usage_.find(app);
  if (found == usage_.end()) return CLI::Formatter::make_usage(app, std::move(name));
  std::string text = "Usage:\n";
  for (const std::string& line : found->second) text += "  " + line + "\n";
  return text;
}

int UsageError(const CLI::App& command, const std::string& problem) {
  const std::string help = command.get_parent() == nullptr
                               ? std::string(kProgram)
                               : std::string(kProgram) + " " + command.get_name();
  std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", kProgram, problem.c_str(), help.c_str());
  return kUsageError;
}

std::vector<std::string> ExpandInputs(const std::vector<std::string>& paths) {
  namespace fs = std::filesystem;
  std::vector<std::string> inputs;
  for (const std::string& path : paths) {
    std::error_code error;
    if (path == "-" || !fs::is_directory(path, error)) {
      inputs.push_back(path);
      continue;
    }
    std::vector<std::string> details;
    for (const fs::directory_entry& entry : fs::directory_iterator(path, error)) {
      const std::string extension = entry.path().extension().string();
      if ((extension == ".html" || extension == ".htm") && !entry.is_directory(error))
        details.push_back(entry.path().string());
    }
    std::sort(details.begin(), details.end());
    inputs.insert(inputs.end(), details.begin(), details.end());
  }
  return inputs;
}

bool ShowsProgress(const Tool& tool) { return !tool.quiet && StandardErrorIsTerminal(); }

}  // namespace qv::cli
