#pragma once
// The plug-in's functions driven the way the host drives them: the captions,
// the display names and the conversion of one file. Shared by the qvmtsfrs
// tool, which links the plug-in, and by qvhost, which loads the DLL.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

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

// The four captions on standard output, one per line.
int PrintCaptions(const PlugInFunctions& plugIn);

// The display name of each file on standard output, an empty line for a file
// that is not a detail; a failure to read one goes to standard error.
int PrintNames(const PlugInFunctions& plugIn, const char* programName,
               std::span<const std::string> paths);

// Converts one detail into its report through PlugInDoFile. Gives the
// failure's message, or nothing when the report was written. Reads the
// failure on the calling thread right after the call, where it is kept.
std::optional<std::string> ConvertThroughPlugIn(const PlugInFunctions& plugIn,
                                                const std::string& input,
                                                const std::string& output);

// "convert INPUT OUTPUT": the conversion of one file, its failure on
// standard error.
int ConvertOneFile(const PlugInFunctions& plugIn, const char* programName, const std::string& input,
                   const std::string& output);

}  // namespace qv::cli
