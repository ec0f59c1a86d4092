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
bool Resolve(HMODULE library, const char* name, WORD ordinal, Function& function) {
  FARPROC byName = GetProcAddress(library, name);
  FARPROC byOrdinal = GetProcAddress(library, MAKEINTRESOURCEA(ordinal));
  if (byName == nullptr || byName != byOrdinal) {
    std::fprintf(stderr, "qvhost: export %s is not at ordinal %u\n", name,
                 static_cast<unsigned>(ordinal));
    return false;
  }
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(byName));
  return true;
}

bool ResolveAll(HMODULE library, qv::cli::PlugInFunctions& plugIn) {
  return Resolve(library, "PlugInDoFile", 1, plugIn.doFile) &&
         Resolve(library, "PlugInAbout", 2, plugIn.about) &&
         Resolve(library, "PlugInExtTypeName", 3, plugIn.extTypeName) &&
         Resolve(library, "PlugInDetalTypeName", 4, plugIn.detalTypeName) &&
         Resolve(library, "PlugInNameDetal", 5, plugIn.nameDetal) &&
         Resolve(library, "PlugInMenuName", 6, plugIn.menuName) &&
         Resolve(library, "PlugInQuarvel", 7, plugIn.quarvel) &&
         Resolve(library, "PlugInLastError", 8, plugIn.lastError);
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
