// qvmtsfrs: the plug-in's functions from the command line, called exactly as
// the host calls them.
#include "commands.h"

int main(int argc, char** argv) {
  // The table's members stand in ordinal order, the order of the export list.
  const qv::cli::PlugInFunctions plugIn{
#define QV_PLUGIN_EXPORT(name, ordinal, bytes) name,
#include "qvmtsfrs_exports.h"
#undef QV_PLUGIN_EXPORT
  };
  return qv::cli::RunCommand(plugIn, "qvmtsfrs", argc, argv);
}
