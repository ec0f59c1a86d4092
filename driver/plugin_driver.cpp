#include "plugin_driver.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "host_text.h"

namespace qv::driver {
namespace {

struct ShortText {
  unsigned char bytes[256] = {};
  std::string_view View() const { return {reinterpret_cast<const char*>(bytes + 1), bytes[0]}; }
};

void PrintLine(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fputc('\n', stream);
}

// A copy per call: conversions on several threads each read their own.
std::string LastError(const PlugInFunctions& plugIn) {
  ShortText message;
  plugIn.PlugInLastError(message.bytes);
  return std::string(message.View());
}

// The plug-in's messages name the file, not the cause; asked again, the
// system tells it.
std::error_code OpenCause(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    return std::make_error_code(std::errc::is_a_directory);
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return {errno, std::generic_category()};
  std::fclose(file);
  return {};
}

std::error_code CreateCause(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::error_code error;
  if (fs::is_directory(target, error)) return std::make_error_code(std::errc::is_a_directory);
  if (!fs::is_directory(folder, error))
    return error ? error : std::make_error_code(std::errc::not_a_directory);
#ifndef _WIN32
  if (access(folder.c_str(), W_OK | X_OK) != 0) return {errno, std::generic_category()};
#endif
  return {};
}

}  // namespace

int PrintCaptions(const PlugInFunctions& plugIn) {
  for (auto caption : {plugIn.PlugInMenuName, plugIn.PlugInDetalTypeName, plugIn.PlugInExtTypeName,
                       plugIn.PlugInAbout}) {
    ShortText text;
    caption(text.bytes);
    PrintLine(stdout, text.View());
  }
  return kSuccess;
}

int PrintNames(const PlugInFunctions& plugIn, const char* programName,
               std::span<const std::string> paths) {
  int status = kSuccess;
  for (const std::string& path : paths) {
    ShortText name;
    plugIn.PlugInNameDetal(name.bytes, HostText(path).get());
    PrintLine(stdout, name.View());
    const std::string failure = LastError(plugIn);
    if (!failure.empty()) {
      std::fflush(stdout);
      std::fprintf(stderr, "%s: %s: %s\n", programName, path.c_str(), Explained(failure).c_str());
      status = kFailure;
    }
  }
  return status;
}

std::optional<std::string> ConvertThroughPlugIn(const PlugInFunctions& plugIn,
                                                const std::string& input,
                                                const std::string& output) {
  if (plugIn.PlugInDoFile(HostText(input).get(), HostText(output).get()) & 0xFF)
    return std::nullopt;
  std::string failure = LastError(plugIn);
  if (failure.empty()) failure = "the conversion failed";
  return Explained(failure);
}

int ConvertOneFile(const PlugInFunctions& plugIn, const char* programName, const std::string& input,
                   const std::string& output) {
  if (SameExistingFile(input, output)) {
    std::fprintf(stderr, "%s: %s and %s are the same file; the report would overwrite the detail\n",
                 programName, input.c_str(), output.c_str());
    return kUsageError;
  }
  const std::optional<std::string> failure = ConvertThroughPlugIn(plugIn, input, output);
  if (!failure) return kSuccess;
  std::fprintf(stderr, "%s: %s\n", programName, failure->c_str());
  return kFailure;
}

bool SameExistingFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

std::string Explained(const std::string& message, int systemError) {
  if (systemError != 0) return message + ": " + std::system_category().message(systemError);
  if (message == "List index (1) out of bounds")
    return message + ": not an MTS FORIS call-detail page (no completed-calls section)";
  const std::size_t quote = message.find('"');
  if (quote == std::string::npos || message.size() < quote + 2 || !message.ends_with('"'))
    return message;
  const std::string path = message.substr(quote + 1, message.size() - quote - 2);
  std::error_code cause;
  if (message.starts_with("Unable to open file")) cause = OpenCause(path);
  if (message.starts_with("Unable to create file")) cause = CreateCause(path);
  return cause ? message + ": " + cause.message() : message;
}

}  // namespace qv::driver
