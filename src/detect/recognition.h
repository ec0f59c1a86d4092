#pragma once
#include <string>
#include <string_view>

#include "runtime/locale_formats.h"

namespace qv {

// The display name of a detail file ("2011-02 MTS FORIS march.html"), or the
// empty text for a file that is not one, its dates read under formats and
// today. Raises ServiceError when the file cannot be opened or read.
std::string NameDetail(std::string_view path, const LocaleFormatsRecord& formats, Clock today);

}  // namespace qv
