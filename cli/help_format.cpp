#include "help_format.h"

#include <utility>

namespace qv::cli {

void HelpFormatter::SetUsage(const CLI::App* app, std::vector<std::string> lines) {
  usage_[app] = std::move(lines);
}

std::string HelpFormatter::make_usage(const CLI::App* app, std::string name) const {
  const auto found = usage_.find(app);
  if (found == usage_.end()) return CLI::Formatter::make_usage(app, std::move(name));
  std::string text = "Usage:\n";
  for (const std::string& line : found->second) text += "  " + line + "\n";
  return text;
}

}  // namespace qv::cli
