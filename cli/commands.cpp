#include "commands.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "maker.h"

namespace qv::cli {
namespace {

void PrintUsage(std::FILE* stream, const char* programName) {
  std::fprintf(stream,
               "Usage: %s COMMAND [ARGUMENTS]\n"
               "Drives the MTS FORIS detail plug-in the way its host does.\n"
               "\n"
               "Commands:\n"
               "  captions              print the menu name, the detail type name, the file\n"
               "                        filter and the about text, one per line\n"
               "  name FILE...          print the display name of each detail file, or an\n"
               "                        empty line for a file that is not one\n"
               "  convert INPUT OUTPUT  convert a detail file into a report file\n"
               "  --help                print this text\n"
               "  --version             print the version\n"
               "\n"
               "Exit status: 0 success, 1 a file could not be named or converted, 2 usage error.\n",
               programName);
}

int UsageError(const char* programName, const char* problem) {
  std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", programName, problem, programName);
  return kUsageError;
}

}  // namespace

int RunCommand(const PlugInFunctions& plugIn, const char* programName, int argc, char** argv) {
  if (argc < 2) return UsageError(programName, "missing command");
  const std::string_view command = argv[1];
  const std::vector<std::string> operands(argv + 2, argv + argc);
  if (command == "--help" || command == "-h") {
    PrintUsage(stdout, programName);
    return kSuccess;
  }
  if (command == "--version") {
    std::printf("%s %s\n", programName, QV_VERSION);
    return kSuccess;
  }
  if (command == "captions") {
    if (!operands.empty()) return UsageError(programName, "captions takes no arguments");
    return PrintCaptions(plugIn);
  }
  if (command == "name") {
    if (operands.empty()) return UsageError(programName, "name needs at least one FILE");
    return PrintNames(plugIn, programName, operands);
  }
  if (command == "convert") {
    if (operands.size() != 2) return UsageError(programName, "convert needs INPUT and OUTPUT");
    return ConvertOneFile(plugIn, programName, operands[0], operands[1]);
  }
  return UsageError(programName, "unknown command");
}

}  // namespace qv::cli
