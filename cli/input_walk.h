#pragma once
// The inputs of a command walked one after another, as their reports would
// be made: each failure is named on standard error and the others are still
// walked; the progress line follows the files, or the bytes of a single one.
#include <span>
#include <string>
#include <string_view>

#include "convert/detail_walk.h"
#include "progress.h"

namespace qv::cli {

// What a command hears of its inputs: the detail's own events, framed by
// the start and the end of each input.
class InputEvents : public DetailEvents {
 public:
  virtual void StartInput(std::string_view file) = 0;
  // Also after a failure, when the input handed over what it held before it.
  virtual void EndInput() = 0;

 protected:
  ~InputEvents() = default;
};

// False when any input failed; each failure is one line "PROGRAM: INPUT:
// MESSAGE". An OutputFailure raised by the events ends the whole walk.
bool WalkInputs(std::span<const std::string> inputs, InputEvents& events, ProgressLine& progress,
                const char* programName);

}  // namespace qv::cli
