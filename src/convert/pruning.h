#pragma once
// Cuts a detail, line by line as it is read, down to the subscriber blocks
// of its completed-calls section.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// A text of the detail page that the conversion steers by. It is looked for
// by one byte of it that is rare in the page, the second byte of its capital
// letter: its first byte, 0xD0, starts half of all Cyrillic letters.
class DetailMarker {
 public:
  constexpr explicit DetailMarker(std::string_view text) : text_(text) {}
  // Whether the marker occurs anywhere in text.
  bool In(std::string_view text) const;
  std::string_view Text() const { return text_; }

 private:
  static constexpr std::size_t kAnchor = 1;
  std::string_view text_;
};

inline constexpr DetailMarker kSectionHeading{"Состоявшиеся разговоры"};
inline constexpr DetailMarker kSubscriberMarker{"Абонентский номер"};
inline constexpr DetailMarker kTotalMarker{"Итого"};

// Keeps exactly the lines, and raises exactly the index error, that deleting
// lines one at a time from the whole list would: blank lines after the first
// go; the lines before the first one holding the completed-calls heading go
// (all of them when there is none); of the rest a line stays when the block
// flag is set after the line that follows it is examined, and the last line
// always stays. So a line is decided once the next one has been read: the
// pruner holds it meanwhile.
class DetailPruner {
 public:
  // Takes the next line, which must stay readable until the next Take or
  // CopyHeldLine. True when that decides that the line held before it
  // stays; kept is then that line, valid as long.
  bool Take(std::string_view line, std::string_view& kept);
  // Copies the held line into the pruner, before the bytes it lies in move.
  void CopyHeldLine();
  // After the last line: the last line, which always stays. Raises
  // "List index (1) out of bounds" when the detail, or what is left of it
  // after the heading, has fewer than two lines.
  std::string_view Finish() const;

 private:
  static constexpr std::size_t kLargeLine = 4 << 20;

  std::string_view held_;
  std::string heldCopy_;
  std::uint64_t lineCount_ = 0;
  std::uint64_t sectionLines_ = 0;
  bool sectionFound_ = false;
  bool insideBlock_ = false;
};

}  // namespace qv
