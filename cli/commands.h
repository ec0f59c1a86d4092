#pragma once
// The subcommands shared by the command-line tool, which links the plug-in,
// and by qvhost, which loads the DLL as the host does.
#include <cstdint>

#include "plugin/qvmtsfrs.h"

namespace qv::cli {

struct PlugInFunctions {
  uint8_t(QV_CALL* doFile)(QvHostCountedText, QvHostCountedText);
  void(QV_CALL* about)(unsigned char*);
  void(QV_CALL* extTypeName)(unsigned char*);
  void(QV_CALL* detalTypeName)(unsigned char*);
  void(QV_CALL* nameDetal)(unsigned char*, QvHostCountedText);
  void(QV_CALL* menuName)(unsigned char*);
  uint8_t(QV_CALL* quarvel)();
  void(QV_CALL* lastError)(unsigned char*);
};

// Exit statuses.
inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;
inline constexpr int kUsageError = 2;

// Runs the command in argv[1..]; returns the exit status.
int RunCommand(const PlugInFunctions& plugIn, const char* programName, int argc, char** argv);

}  // namespace qv::cli
