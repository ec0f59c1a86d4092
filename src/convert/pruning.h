#pragma once
// The three passes that cut a loaded detail down to the subscriber blocks of
// its completed-calls section. Each pass keeps exactly the lines, and raises
// exactly the index error, that deleting the lines one at a time from the
// list would, but in one sweep over the lines.
#include <cstddef>
#include <string_view>
#include <vector>

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

// Drops every line after the first that is empty once trimmed. Raises the
// index error 1 for fewer than two lines.
void PruneBlankLines(std::vector<std::string_view>& lines);
// Drops the lines before the first one holding the completed-calls heading;
// every line when there is none.
void PruneBeforeSection(std::vector<std::string_view>& lines);
// Keeps a line when the block flag is set after the line that follows it is
// examined, and always the last line. Raises the index error 1 for fewer than
// two lines.
void PruneOutsideBlocks(std::vector<std::string_view>& lines);

// The three passes in order.
void PruneDetailLines(LineList& lines);

}  // namespace qv
