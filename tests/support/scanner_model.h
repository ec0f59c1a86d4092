#pragma once
// The element scanner's four states walked one byte at a time, with the read
// text kept whole: the plain model the fast scanner must agree with.
#include <string>
#include <string_view>

#include "runtime/byte_text.h"

namespace qv::test {

struct ScanOutcome {
  std::string content;
  TextPos stop = 0;
};

namespace scanner_model {

inline bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

inline std::string_view TrimBlankSet(std::string_view text) {
  constexpr std::string_view kBlanks = "\t\n\r ";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace scanner_model

// The walk as the state table states it: every examined byte goes into the
// read text, and "contains" is asked of the read text as it stands.
inline ScanOutcome ReferenceScan(std::string_view text, std::string_view name, TextPos start) {
  using scanner_model::EndsWith;
  const auto length = static_cast<TextPos>(text.size());
  if (start > length + 1) return {{}, start - 1};
  enum class State { kOutside, kInTag, kInContent, kClosing } state = State::kOutside;
  std::string closingName(1, '/');
  closingName += name;
  std::string read;
  // A match stays a match while the read text grows, so each one is noted
  // when its last byte arrives.
  bool nameRead = false;
  bool closingRead = false;
  TextPos contentStart = 0;
  TextPos lastOpen = start - 1;
  ScanOutcome outcome;
  for (TextPos position = start; position <= length + 1; ++position) {
    const char byte = position <= length ? text[static_cast<std::size_t>(position - 1)] : '\0';
    read += byte;
    if (!name.empty() && EndsWith(read, name)) nameRead = true;
    if (EndsWith(read, closingName)) closingRead = true;
    switch (state) {
      case State::kOutside:
        if (byte == '<') state = State::kInTag;
        break;
      case State::kInTag:
        if (byte == '/') {
          state = State::kClosing;
        } else if (byte == '>' && nameRead) {
          contentStart = position;
          read.clear();
          nameRead = closingRead = false;
          state = State::kInContent;
        }
        break;
      case State::kInContent:
        if (byte == '<') {
          lastOpen = position;
        } else if (byte == '>' && closingRead) {
          const TextPos count = lastOpen - contentStart - 1;
          if (count > 0) {
            outcome.content = scanner_model::TrimBlankSet(
                std::string_view(read).substr(0, static_cast<std::size_t>(count)));
          }
          read.clear();
          nameRead = closingRead = false;
          state = State::kClosing;
        }
        break;
      case State::kClosing:
        if (text[static_cast<std::size_t>(position - 2)] == '>') {
          outcome.stop = position;
          return outcome;
        }
        break;
    }
  }
  outcome.stop = length + 1;
  return outcome;
}

}  // namespace qv::test
