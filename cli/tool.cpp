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
namespace {

// Every byte of from into to; false with errno set when one fails.
bool CopyStream(std::FILE* from, std::FILE* to) {
  std::vector<char> block(1 << 16);
  for (std::size_t got = 1; got != 0;) {
    got = std::fread(block.data(), 1, block.size(), from);
    if (std::ferror(from) || std::fwrite(block.data(), 1, got, to) != got) return false;
  }
  return std::fflush(to) == 0;
}

}  // namespace

PlugInPath::PlugInPath(const std::string& path, bool output) : path_(path) {
  if (path != "-") return;
  char folder[MAX_PATH];
  char name[MAX_PATH];
  const DWORD length = GetTempPathA(MAX_PATH, folder);
  const char* const action = output ? "write the report" : "copy standard input";
  // A folder of its own keeps the detail's name "stdin", as on POSIX.
  if (length == 0 || length >= MAX_PATH || GetTempFileNameA(folder, ".qv", 0, name) == 0 ||
      !DeleteFileA(name) || !CreateDirectoryA(name, nullptr))
    throw std::runtime_error(std::string("Unable to ") + action + ": no temporary folder");
  folder_ = name;
  path_ = folder_ + (output ? "\\report.xml" : "\\stdin");
  if (output) return;
  std::FILE* copy = std::fopen(path_.c_str(), "wb");
  bool copiedAll = copy != nullptr && CopyStream(stdin, copy);
  if (copy != nullptr && std::fclose(copy) != 0) copiedAll = false;
  if (!copiedAll) {
    const int cause = errno;
    DeleteFileA(path_.c_str());
    RemoveDirectoryA(folder_.c_str());
    throw std::runtime_error(std::string("Unable to ") + action + ": " + std::strerror(cause));
  }
}

int PlugInPath::Deliver() const {
  if (folder_.empty()) return kSuccess;
  std::FILE* report = std::fopen(path_.c_str(), "rb");
  const bool copied = report != nullptr && CopyStream(report, stdout);
  const int cause = errno;
  if (report != nullptr) std::fclose(report);
  if (copied) return kSuccess;
  std::fprintf(stderr, "%s: Unable to write to standard output: %s\n", kProgram,
               std::strerror(cause));
  return kFailure;
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

int PlugInPath::Deliver() const { return kSuccess; }
#endif

bool ShowsProgress(const Tool& tool) { return !tool.quiet && StandardErrorIsTerminal(); }

}  // namespace qv::cli
