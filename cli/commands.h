#pragma once
// qvhost's command line: the small commands captions, name and convert,
// read by hand, since the Windows toolchain offers no option parser.
#include "host_commands.h"

namespace qv::cli {

// Runs the command in argv[1..]; returns the exit status.
int RunCommand(const PlugInFunctions& plugIn, const char* programName, int argc, char** argv);

}  // namespace qv::cli
