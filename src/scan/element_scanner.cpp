#include "scan/element_scanner.h"

#include <cstdint>
#include <cstring>

#include "runtime/byte_blocks.h"
#include "scan/text_helpers.h"

namespace qv {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

struct Walk {
  std::string_view content;
  std::size_t stop;  // 0-based offset of the position where the walk stopped
  bool ranOut = false;
};

std::size_t FindByteAt(std::string_view text, char byte, std::size_t from, std::size_t end) {
  return text.substr(0, end).find(byte, from);
}

// The first occurrence of name starting at or after from and ending before end.
std::size_t FindName(std::string_view text, std::string_view name, std::size_t from,
                     std::size_t end) {
  return name.empty() ? kNone : text.substr(0, end).find(name, from);
}

// "/" followed by name, from a position known to hold the first "/" on.
std::size_t FindClosingName(std::string_view text, std::string_view name, std::size_t slash) {
  // Found by the name's last byte, rarer in a row than the "/" that closes
  // every cell, and mostly far on (a row's closing tag).
  if (slash == kNone) return kNone;
  const std::size_t n = name.size();
  const std::string_view head = name.substr(0, n - 1);
  const char last = name[n - 1];
  for (std::size_t at = text.find(last, slash + n); at != kNone; at = text.find(last, at + 1)) {
    if (text[at - n] == '/' && text.compare(at - n + 1, n - 1, head) == 0) return at - n;
  }
  return kNone;
}

std::string_view Between(const char* first, const char* last) {
  return {first, static_cast<std::size_t>(last - first)};
}

// The first "<" or "/" from p on, eight bytes at a time; end when none.
const char* FindOpenOrSlash(const char* p, const char* const end) {
  for (; end - p >= 8; p += 8) {
    const std::uint64_t word = LoadBlock(p);
    const std::uint64_t marks = MarkBytes(word, '<') | MarkBytes(word, '/');
    if (marks != 0) return p + FirstMarked(marks);
  }
  while (p != end && *p != '<' && *p != '/') ++p;
  return p;
}

// Each state runs to the one byte that can change it, found with one forward
// search: the read text is the range from the last emptying to the current
// byte, and a match in it stays a match while it grows, so the first
// occurrence of the name (or of "/" and the name) decides at which ">" the
// state changes. Every search stays inside the range the walk examines.
Walk WalkElement(std::string_view text, std::string_view name, std::size_t from) {
  const std::size_t length = text.size();
  const Walk ranOut{{}, length, true};

  // Outside: up to the first "<".
  const std::size_t open = FindByteAt(text, '<', from, length);
  if (open == kNone) return ranOut;

  // InTag: a "/" ends the search; a ">" after the name opens the content.
  const std::size_t slash = FindByteAt(text, '/', open + 1, length);
  const std::size_t tagEnd = slash == kNone ? length : slash;
  std::size_t contentStart = kNone;
  const std::size_t nameAt = FindName(text, name, from, tagEnd);  // an empty name is never found
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

  // InContent: the first ">" at or after a "/" and the name closes it. The
  // first "/" after the tag's "<" lies in the content.
  const std::size_t closingName = FindClosingName(text, name, slash);
  if (closingName == kNone) return ranOut;
  const std::size_t close = FindByteAt(text, '>', closingName + name.size(), length);
  if (close == kNone) return ranOut;
  // The content ends at the last "<" examined before that ">"; without one
  // it is empty.
  const std::size_t lastOpen = text.rfind('<', close);
  if (lastOpen == kNone || lastOpen <= contentStart) return {{}, close + 1};
  return {TrimSpacing({text.data() + contentStart + 1, lastOpen - contentStart - 1}), close + 1};
}

}  // namespace

TagContent NextTagContent(std::string_view text, std::string_view name, TextPos start) {
  const TextPos end = static_cast<TextPos>(text.size()) + 1;
  if (start > end) return {{}, start - 1, true};
  // Positions before the text examine nothing of it.
  const Walk walk = WalkElement(text, name, start < 1 ? 0 : static_cast<std::size_t>(start - 1));
  return {walk.content, static_cast<TextPos>(walk.stop) + 1, walk.ranOut};
}

// Such a row holds no "/" but those of its closing tags, and no "<" but
// those of its tags, so the row walk's first "/tr" is the row's end and each
// cell walk steps over the spacing to the next "<td>" and stops at the "<" of
// its "</td>": both find what is read off here.
bool ReadPlainRow(std::string_view text, TagContent& row, std::vector<std::string_view>& cells) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const auto skipSpacing = [end](const char* p) {
    while (p != end && IsSpacing(*p)) ++p;
    return p;
  };
  const auto tagAt = [end](const char* p, std::string_view tag) {
    return static_cast<std::size_t>(end - p) >= tag.size() &&
           std::memcmp(p, tag.data(), tag.size()) == 0;
  };
  cells.clear();
  const char* p = skipSpacing(begin);
  if (!tagAt(p, "<tr>")) return false;
  const char* const contentStart = p + 4;
  const char* contentEnd = contentStart;
  for (p = skipSpacing(contentStart); tagAt(p, "<td>"); p = skipSpacing(contentEnd)) {
    const char* const close = FindOpenOrSlash(p + 4, end);
    if (!tagAt(close, "</td>")) return false;
    if (cells.size() < kKeptCells) cells.push_back(TrimSpacing(Between(p + 4, close)));
    contentEnd = close + 5;
  }
  if (!tagAt(p, "</tr>")) return false;
  row.content = TrimSpacing(Between(contentStart, contentEnd));
  row.stop = static_cast<TextPos>(p + 5 - begin) + 1;
  row.ranOut = false;
  return true;
}

}  // namespace qv
