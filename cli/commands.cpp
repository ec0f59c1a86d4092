#include "commands.h"

#include <cstdio>
#include <string_view>

#include "maker.h"
#include "plugin/host_text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

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

std::string_view LastError(const PlugInFunctions& plugIn) {
  static ShortText message;
  plugIn.lastError(message.bytes);
  return message.View();
}

#ifdef _WIN32
bool SameExistingFile(const char* a, const char* b) {
  auto identify = [](const char* path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return known;
  };
  BY_HANDLE_FILE_INFORMATION infoA, infoB;
  return identify(a, infoA) && identify(b, infoB) &&
         infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
         infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
}
#else
bool SameExistingFile(const char* a, const char* b) {
  struct stat statA, statB;
  return stat(a, &statA) == 0 && stat(b, &statB) == 0 && statA.st_dev == statB.st_dev &&
         statA.st_ino == statB.st_ino;
}
#endif

int Captions(const PlugInFunctions& plugIn) {
  for (auto caption : {plugIn.menuName, plugIn.detalTypeName, plugIn.extTypeName, plugIn.about}) {
    ShortText text;
    caption(text.bytes);
    PrintLine(stdout, text.View());
  }
  return kSuccess;
}

int Name(const PlugInFunctions& plugIn, const char* programName, int count, char** paths) {
  int status = kSuccess;
  for (int i = 0; i < count; ++i) {
    ShortText name;
    plugIn.nameDetal(name.bytes, HostText(paths[i]).get());
    PrintLine(stdout, name.View());
    std::string_view failure = LastError(plugIn);
    if (!failure.empty()) {
      std::fflush(stdout);
      std::fprintf(stderr, "%s: %s: %.*s\n", programName, paths[i],
                   static_cast<int>(failure.size()), failure.data());
      status = kFailure;
    }
  }
  return status;
}

int Convert(const PlugInFunctions& plugIn, const char* programName, const char* input,
            const char* output) {
  // The report would overwrite the detail it is made from.
  if (SameExistingFile(input, output)) {
    std::fprintf(stderr, "%s: %s and %s are the same file; the report would overwrite the detail\n",
                 programName, input, output);
    return kFailure;
  }
  if (plugIn.doFile(HostText(input).get(), HostText(output).get()) & 0xFF) return kSuccess;
  std::string_view failure = LastError(plugIn);
  if (failure.empty()) failure = "the conversion failed";
  std::fprintf(stderr, "%s: %.*s\n", programName, static_cast<int>(failure.size()), failure.data());
  return kFailure;
}

}  // namespace

int RunCommand(const PlugInFunctions& plugIn, const char* programName, int argc, char** argv) {
  if (argc < 2) return UsageError(programName, "missing command");
  const std::string_view command = argv[1];
  const int operands = argc - 2;
  if (command == "--help" || command == "-h") {
    PrintUsage(stdout, programName);
    return kSuccess;
  }
  if (command == "--version") {
    std::printf("%s %s\n", programName, QV_VERSION);
    return kSuccess;
  }
  if (command == "captions") {
    if (operands != 0) return UsageError(programName, "captions takes no arguments");
    return Captions(plugIn);
  }
  if (command == "name") {
    if (operands == 0) return UsageError(programName, "name needs at least one FILE");
    return Name(plugIn, programName, operands, argv + 2);
  }
  if (command == "convert") {
    if (operands != 2) return UsageError(programName, "convert needs INPUT and OUTPUT");
    return Convert(plugIn, programName, argv[2], argv[3]);
  }
  return UsageError(programName, "unknown command");
}

}  // namespace qv::cli
