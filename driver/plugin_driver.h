#pragma once
// The plug-in's functions driven the way the host drives them: the captions,
// the display names and the conversion of one file. Shared by the qvmtsfrs
// tool, which links the plug-in, and by qvhost, which loads the DLL.
#include <optional>
#include <span>
#include <string>

#include "plugin/qvmtsfrs.h"

namespace qv::driver {

// One member per export, named as the export.
struct PlugInFunctions {
#define QV_PLUGIN_EXPORT(name, ordinal, bytes) decltype(&::name) name = nullptr;
#include "qvmtsfrs_exports.h"
#undef QV_PLUGIN_EXPORT
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
// standard error; a report that would overwrite its detail is a usage error.
int ConvertOneFile(const PlugInFunctions& plugIn, const char* programName, const std::string& input,
                   const std::string& output);

// Whether two paths lead to one existing file, whatever names, links or
// ".." they take to get there.
bool SameExistingFile(const std::string& a, const std::string& b);

// The message with what it means for the user: the cause the system gives
// for a file that could not be opened or made, and what a detail lacks.
std::string Explained(const std::string& message);

}  // namespace qv::driver
