#pragma once
// The three passes that cut a loaded detail down to the subscriber blocks of
// its completed-calls section. Each pass keeps exactly the lines, and raises
// exactly the index error, that deleting the lines one at a time from the
// list would, but in one sweep over the lines.
#include <string_view>
#include <vector>

namespace qv {

class LineList;

// The texts of the detail page that the conversion steers by.
inline constexpr std::string_view kSectionHeading = "Состоявшиеся разговоры";
inline constexpr std::string_view kSubscriberMarker = "Абонентский номер";
inline constexpr std::string_view kTotalMarker = "Итого";

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
