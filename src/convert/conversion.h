#pragma once
#include <string>
#include <string_view>

namespace qv {

// The subscriber number of the block being converted; process-wide.
extern std::string CurrentPhone;

// What a conversion takes from the user's settings.
struct ConversionSettings {
  char decimalSeparator;  // of the minute values
};

// Converts the detail at inputPath into the report at outputPath. Paths are
// zero-terminated byte texts in the system code page. Raises ServiceError.
void ConvertDetail(std::string_view inputPath, std::string_view outputPath,
                   const ConversionSettings& settings);

}  // namespace qv
