#pragma once
// The values of a detail as the listings give them. Always: well-formed
// UTF-8 (a "?" for each malformed sequence) and a "?" for each control
// character the report cannot hold, as in the report. Unless raw: the page's
// character references decoded, a no-break space made a blank, and blanks
// trimmed, so that values compare and join as people expect.
#include <string>
#include <string_view>

namespace qv::listing {

// The cleaned value: text itself when nothing changes, otherwise a view of
// scratch, which is overwritten.
std::string_view CleanValue(std::string_view text, bool raw, std::string& scratch);

}  // namespace qv::listing
