#pragma once
// CLI11's help with usage lines of our own: one line per way of calling a
// command, since one command takes its arguments in two shapes.
#include <map>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace qv::cli {

class HelpFormatter : public CLI::Formatter {
 public:
  void SetUsage(const CLI::App* app, std::vector<std::string> lines);

  // Named as CLI::Formatter names it.
  std::string make_usage(  // NOLINT(readability-identifier-naming)
      const CLI::App* app, std::string name) const override;

 private:
  std::map<const CLI::App*, std::vector<std::string>> usage_;
};

}  // namespace qv::cli
