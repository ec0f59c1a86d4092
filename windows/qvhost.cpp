// qvhost: stands in for the host. It loads qvmtsfrs.dll the way the host
// does, checks that the export table is the one the host relies on, and
// then runs the same commands as the qvmtsfrs tool.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include <string>
#include <string_view>
#include <vector>

#include "maker.h"
#include "plugin_driver.h"

namespace {

using namespace qv::driver;

// The small commands captions, name and convert, read by hand: qvhost keeps
// to what the host itself links.
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

// Every export must be found under its name and its ordinal, at one address.
template <class Function>
Function Resolve(HMODULE library, const char* name, WORD ordinal, bool& allFound) {
  FARPROC byName = GetProcAddress(library, name);
  FARPROC byOrdinal = GetProcAddress(library, MAKEINTRESOURCEA(ordinal));
  if (byName == nullptr || byName != byOrdinal) {
    std::fprintf(stderr, "qvhost: export %s is not at ordinal %u\n", name,
                 static_cast<unsigned>(ordinal));
    allFound = false;
    return nullptr;
  }
  return reinterpret_cast<Function>(reinterpret_cast<void*>(byName));
}

bool ResolveAll(HMODULE library, PlugInFunctions& plugIn) {
  bool allFound = true;
#define QV_PLUGIN_EXPORT(name, ordinal, bytes) \
  plugIn.name = Resolve<decltype(&::name)>(library, #name, ordinal, allFound);
#include "qvmtsfrs_exports.h"
#undef QV_PLUGIN_EXPORT
  return allFound;
}

}  // namespace

int main(int argc, char** argv) {
  // The captions go out as their bytes; no LF to CR LF translation.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);

  HMODULE library = LoadLibraryA("qvmtsfrs.dll");
  if (library == nullptr) {
    std::fprintf(stderr, "qvhost: cannot load qvmtsfrs.dll (error %lu)\n", GetLastError());
    return kFailure;
  }
  PlugInFunctions plugIn{};
  int status = kFailure;
  if (!ResolveAll(library, plugIn)) {
    // reported by Resolve
  } else if ((plugIn.PlugInQuarvel() & 0xFF) != 1) {
    std::fprintf(stderr, "qvhost: qvmtsfrs.dll does not mark itself as a plug-in\n");
  } else {
    status = RunCommand(plugIn, "qvhost", argc, argv);
  }
  std::fflush(stdout);
  FreeLibrary(library);
  return status;
}
