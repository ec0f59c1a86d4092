// qvmtsfrs: the plug-in's functions from the command line, called exactly as
// the host calls them.
#include "commands.h"

int main(int argc, char** argv) {
  const qv::cli::PlugInFunctions plugIn{PlugInDoFile,        PlugInAbout,     PlugInExtTypeName,
                                        PlugInDetalTypeName, PlugInNameDetal, PlugInMenuName,
                                        PlugInQuarvel,       PlugInLastError};
  return qv::cli::RunCommand(plugIn, "qvmtsfrs", argc, argv);
}
