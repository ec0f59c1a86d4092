#pragma once
#include <string>
#include <string_view>

namespace qv {

// The subscriber number of the block being converted; process-wide.
extern std::string CurrentPhone;

// Converts the detail at inputPath into the report at outputPath. Paths are
// zero-terminated byte texts in the system code page. Raises ServiceError.
void ConvertDetail(std::string_view inputPath, std::string_view outputPath);

}  // namespace qv
