#pragma once
#include <string>
#include <string_view>

namespace qv {

// The display name of a detail file ("2011-02 MTS FORIS march.html"), or the
// empty text for a file that is not one. Raises ServiceError when the file
// cannot be opened or read.
std::string NameDetail(std::string_view path);

}  // namespace qv
