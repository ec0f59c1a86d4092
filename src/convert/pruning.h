#pragma once
// The three passes that cut a loaded detail down to the subscriber blocks of
// its completed-calls section.
#include <cstddef>
#include <string_view>

namespace qv {

class LineList;

// A text of the detail page that the conversion steers by. It is looked for
// by one byte of it that is rare in the page, the second byte of its capital
// letter: its first byte, 0xD0, starts half of all Cyrillic letters.
class DetailMarker {
 public:
  constexpr DetailMarker(std::string_view text, std::size_t anchor)
      : text_(text), anchor_(anchor) {}
  // Whether the marker occurs anywhere in text.
  bool In(std::string_view text) const;
  std::string_view Text() const { return text_; }

 private:
  std::string_view text_;
  std::size_t anchor_;
};

inline constexpr DetailMarker kSectionHeading{"Состоявшиеся разговоры", 1};
inline constexpr DetailMarker kSubscriberMarker{"Абонентский номер", 1};
inline constexpr DetailMarker kTotalMarker{"Итого", 1};

// The three passes, each keeping exactly the lines, and raising exactly the
// index error, that deleting the lines one at a time from the list would:
// blank lines after the first go; the lines before the first one holding
// the completed-calls heading go (all of them when there is none); of the
// rest a line stays when the block flag is set after the line that follows
// it is examined, and the last line always stays. Raises the index error 1
// when the file or what is left after the heading has fewer than two lines.
// Returns the joined text of the lines kept, built over the list's buffer in
// one sweep over the lines, without a list of them.
std::string_view PruneAndJoin(LineList& lines);

}  // namespace qv
