#pragma once
#include <string_view>

#include "convert/detail_walk.h"

namespace qv {

// What a conversion takes from the user's settings.
struct ConversionSettings {
  char decimalSeparator = '.';
};

// Converts the detail at inputPath into the report at outputPath, reading
// and writing as it goes. Paths are byte texts in the system code page. The
// report is replaced only when complete; after a failure of the walk the
// part made so far is still written. Raises ServiceError: a failed read
// outranks a failed write, which outranks a failure of the walk.
void ConvertDetail(std::string_view inputPath, std::string_view outputPath,
                   const ConversionSettings& settings);

// Hands the subscribers and calls of the detail at path to events, as the
// conversion finds them. Raises what the conversion's reading and walking
// raise, after handing over what was found before.
void WalkDetail(std::string_view path, const ConversionSettings& settings, DetailEvents& events);

}  // namespace qv
