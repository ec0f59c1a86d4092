#include "host_commands.h"

#include <cstdio>
#include <string_view>

#include "file_identity.h"
#include "plugin/host_text.h"

namespace qv::cli {
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
  plugIn.lastError(message.bytes);
  return std::string(message.View());
}

}  // namespace

int PrintCaptions(const PlugInFunctions& plugIn) {
  for (auto caption : {plugIn.menuName, plugIn.detalTypeName, plugIn.extTypeName, plugIn.about}) {
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
    plugIn.nameDetal(name.bytes, HostText(path).get());
    PrintLine(stdout, name.View());
    const std::string failure = LastError(plugIn);
    if (!failure.empty()) {
      std::fflush(stdout);
      std::fprintf(stderr, "%s: %s: %s\n", programName, path.c_str(), failure.c_str());
      status = kFailure;
    }
  }
  return status;
}

std::optional<std::string> ConvertThroughPlugIn(const PlugInFunctions& plugIn,
                                                const std::string& input,
                                                const std::string& output) {
  if (SameExistingFile(input.c_str(), output.c_str()))
    return input + " and " + output + " are the same file; the report would overwrite the detail";
  if (plugIn.doFile(HostText(input).get(), HostText(output).get()) & 0xFF) return std::nullopt;
  std::string failure = LastError(plugIn);
  if (failure.empty()) failure = "the conversion failed";
  return failure;
}

int ConvertOneFile(const PlugInFunctions& plugIn, const char* programName, const std::string& input,
                   const std::string& output) {
  const std::optional<std::string> failure = ConvertThroughPlugIn(plugIn, input, output);
  if (!failure) return kSuccess;
  std::fprintf(stderr, "%s: %s\n", programName, failure->c_str());
  return kFailure;
}

}  // namespace qv::cli
