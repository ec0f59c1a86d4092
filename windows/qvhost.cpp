// qvhost: stands in for the host. It loads qvmtsfrs.dll the way the host
// does, checks that the export table is the one the host relies on, and
// then runs the same commands as the qvmtsfrs tool.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "commands.h"

namespace {

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

// The table's members stand in ordinal order, the order of the export list.
bool ResolveAll(HMODULE library, qv::cli::PlugInFunctions& plugIn) {
  bool allFound = true;
  plugIn = qv::cli::PlugInFunctions{
#define QV_PLUGIN_EXPORT(name, ordinal, bytes) \
  Resolve<decltype(&::name)>(library, #name, ordinal, allFound),
#include "qvmtsfrs_exports.h"
#undef QV_PLUGIN_EXPORT
  };
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
    return qv::cli::kFailure;
  }
  qv::cli::PlugInFunctions plugIn{};
  int status = qv::cli::kFailure;
  if (!ResolveAll(library, plugIn)) {
    // reported by Resolve
  } else if ((plugIn.quarvel() & 0xFF) != 1) {
    std::fprintf(stderr, "qvhost: qvmtsfrs.dll does not mark itself as a plug-in\n");
  } else {
    status = qv::cli::RunCommand(plugIn, "qvhost", argc, argv);
  }
  std::fflush(stdout);
  FreeLibrary(library);
  return status;
}
