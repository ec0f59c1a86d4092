#include "scan/element_scanner.h"

#include <cstring>

#include "scan/text_helpers.h"

namespace qv {

TextPos RowCursor = 1;
TextPos CellCursor = 1;

namespace {

constexpr std::size_t kNone = std::string_view::npos;

std::size_t FindByteAt(std::string_view text, char byte, std::size_t from, std::size_t end) {
  if (from >= end) return kNone;
  const void* found = std::memchr(text.data() + from, static_cast<unsigned char>(byte), end - from);
  return found == nullptr ? kNone : static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
}

// "/" followed by name, without building that text for every call.
std::size_t FindClosingName(std::string_view text, std::string_view name, std::size_t from) {
  for (;;) {
    const std::size_t slash = FindByteAt(text, '/', from, text.size());
    if (slash == kNone || text.size() - slash - 1 < name.size()) return kNone;
    if (std::memcmp(text.data() + slash + 1, name.data(), name.size()) == 0) return slash;
    from = slash + 1;
  }
}

struct Walk {
  std::string_view content;
  std::size_t stop;  // 0-based offset of the position where the walk stopped
};

// Each state runs to the one byte that can change it, found with one forward
// search: the read text is the range from the last emptying to the current
// byte, and a match in it stays a match while it grows, so the first
// occurrence of the name (or of "/" and the name) decides at which ">" the
// state changes. Every search stays inside the range the walk examines.
Walk WalkElement(std::string_view text, std::string_view name, std::size_t from) {
  const std::size_t length = text.size();
  const Walk ranOut{{}, length};

  // Outside: up to the first "<".
  const std::size_t open = FindByteAt(text, '<', from, length);
  if (open == kNone) return ranOut;

  // InTag: a "/" ends the search; a ">" after the name opens the content.
  const std::size_t slash = FindByteAt(text, '/', open + 1, length);
  const std::size_t tagEnd = slash == kNone ? length : slash;
  std::size_t contentStart = kNone;
  // An empty name is never found.
  const std::size_t nameAt = SearchText(text.substr(0, tagEnd), name, from);
  if (nameAt != kNone) {
    const std::size_t nameLast = nameAt + name.size() - 1;
    contentStart = FindByteAt(text, '>', nameLast > open ? nameLast : open + 1, tagEnd);
  }
  if (contentStart == kNone) {
    if (slash == kNone) return ranOut;
    // Closing: stops just after the next ">".
    const std::size_t close = FindByteAt(text, '>', slash + 1, length);
    return close == kNone ? ranOut : Walk{{}, close + 1};
  }

  // InContent: the first ">" at or after a "/" and the name closes it.
  const std::size_t closingName = FindClosingName(text, name, contentStart + 1);
  if (closingName == kNone) return ranOut;
  const std::size_t close = FindByteAt(text, '>', closingName + name.size(), length);
  if (close == kNone) return ranOut;
  // The content ends at the last "<" examined before that ">"; without one
  // it is empty.
  const std::size_t lastOpen = text.rfind('<', close);
  if (lastOpen == kNone || lastOpen <= contentStart) return {{}, close + 1};
  const std::string_view inner = text.substr(contentStart + 1, lastOpen - contentStart - 1);
  return {TrimSlice(inner, 1, static_cast<TextPos>(inner.size())), close + 1};
}

}  // namespace

std::string_view NextTagContent(std::string_view text, std::string_view name, TextPos start,
                                CursorChoice cursor) {
  TextPos& stopCursor = cursor == CursorChoice::Cell ? CellCursor : RowCursor;
  const TextPos end = static_cast<TextPos>(text.size()) + 1;
  if (start > end) {
    stopCursor = start - 1;
    return {};
  }
  // Positions before the text examine nothing of it.
  const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
  const Walk walk = WalkElement(text, name, from);
  stopCursor = static_cast<TextPos>(walk.stop) + 1;
  return walk.content;
}

}  // namespace qv
