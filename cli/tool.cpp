#include "tool.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

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

#ifdef _WIN32
PlugInPath::PlugInPath(const std::string& path, bool output) : path_(path) {
  if (path != "-" || output) return;
  char folder[MAX_PATH];
  char name[MAX_PATH];
  const DWORD length = GetTempPathA(MAX_PATH, folder);
  // A folder of its own keeps the detail's name "stdin", as on POSIX.
  if (length == 0 || length >= MAX_PATH || GetTempFileNameA(folder, ".qv", 0, name) == 0 ||
      !DeleteFileA(name) || !CreateDirectoryA(name, nullptr))
    throw std::runtime_error("Unable to copy standard input: no temporary folder");
  folder_ = name;
  path_ = folder_ + "\\stdin";
  std::FILE* copy = std::fopen(path_.c_str(), "wb");
  std::vector<char> block(1 << 16);
  bool copiedAll = copy != nullptr;
  for (std::size_t got = 1; copiedAll && got != 0;) {
    got = std::fread(block.data(), 1, block.size(), stdin);
    copiedAll = !std::ferror(stdin) && std::fwrite(block.data(), 1, got, copy) == got;
  }
  if (copy != nullptr && std::fclose(copy) != 0) copiedAll = false;
  if (!copiedAll) {
    const int cause = errno;
    DeleteFileA(path_.c_str());
    RemoveDirectoryA(folder_.c_str());
    throw std::runtime_error(std::string("Unable to copy standard input: ") + std::strerror(cause));
  }
}

PlugInPath::~PlugInPath() {
  if (folder_.empty()) return;
  DeleteFileA(path_.c_str());
  RemoveDirectoryA(folder_.c_str());
}
#else
PlugInPath::PlugInPath(const std::string& path, bool output) : path_(path) {
  if (path == "-") path_ = output ? "/dev/stdout" : "/dev/stdin";
}

PlugInPath::~PlugInPath() = default;
#endif

bool ShowsProgress(const Tool& tool) { return !tool.quiet && StandardErrorIsTerminal(); }

}  // namespace qv::cli
