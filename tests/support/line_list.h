#pragma once
// The whole of a detail as a list of lines, the way the conversion's passes
// are put plainly: lines got and deleted one at a time by index.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/service_error.h"

namespace qv::test {

class LineList {
 public:
  // CR LF, LF and CR each end a line; a line end at the very end adds no
  // empty line.
  void LoadFromBytes(std::string_view bytes) {
    lines_.clear();
    std::size_t at = 0;
    while (at < bytes.size()) {
      const std::size_t end = bytes.find_first_of("\r\n", at);
      lines_.emplace_back(bytes.substr(at, end == std::string_view::npos ? end : end - at));
      if (end == std::string_view::npos) break;
      at = end + 1;
      if (bytes[end] == '\r' && at < bytes.size() && bytes[at] == '\n') ++at;
    }
  }
  std::int64_t Count() const { return static_cast<std::int64_t>(lines_.size()); }
  const std::string& Get(std::int64_t index) const {
    if (index < 0 || index >= Count()) RaiseListIndexError(index);
    return lines_[static_cast<std::size_t>(index)];
  }
  void Delete(std::int64_t index) {
    if (index < 0 || index >= Count()) RaiseListIndexError(index);
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
  }
  // Every line followed by CR LF.
  std::string JoinedText() const {
    std::string text;
    for (const std::string& line : lines_) text.append(line).append("\r\n");
    return text;
  }

 private:
  std::vector<std::string> lines_;
};

}  // namespace qv::test
