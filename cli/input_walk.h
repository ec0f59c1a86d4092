#pragma once
// The inputs of a command walked one after another, as their reports would
// be made: each failure is named on standard error and the others are still
// walked; the progress line follows the files, or the bytes of a single one.
#include <span>
#include <string>
#include <string_view>

#include "listings.h"
#include "progress.h"

namespace qv::cli {

// False when any input failed; each failure is one line "PROGRAM: INPUT:
// MESSAGE". An OutputFailure raised by the events ends the whole walk.
bool WalkInputs(std::span<const std::string> inputs, listing::ListingEvents& events,
                ProgressLine& progress, const char* programName);

}  // namespace qv::cli
