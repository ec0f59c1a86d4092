#pragma once
// "convert --out-dir DIR INPUT...": many details converted at once, each
// report written as one "convert INPUT OUTPUT" would write it.
#include <string>
#include <vector>

#include "host_commands.h"

namespace qv::cli {

struct BatchRequest {
  std::vector<std::string> inputs;
  std::string outputFolder;
  unsigned threads = 1;
  bool showProgress = false;
};

// Converts every input it can, reporting each failure on standard error as
// "PROGRAM: INPUT: MESSAGE"; kFailure when any failed.
int ConvertIntoFolder(const PlugInFunctions& plugIn, const char* programName,
                      const BatchRequest& request);

}  // namespace qv::cli
