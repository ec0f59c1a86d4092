#pragma once
// Walks HTML byte text for the content of the next element of a given name.
#include <string_view>

#include "runtime/byte_text.h"

namespace qv {

// Where the walks over the joined detail text and over one row stopped.
// Process-wide, both 1 when the library is loaded.
extern TextPos RowCursor;
extern TextPos CellCursor;

enum class CursorChoice : bool { Row = false, Cell = true };

// The trimmed content of the next element named name, examining text from
// start (1-based; below 1 reads from the first byte); the stop position goes
// into the chosen cursor, and only into it. The result is a view into text.
std::string_view NextTagContent(std::string_view text, std::string_view name, TextPos start,
                                CursorChoice cursor);
// NextTagContent(row, "td", start, CursorChoice::Cell), made for the cells
// of a row, the most frequent walk. Sets plain when the content is known to
// hold no "<".
std::string_view NextCellContent(std::string_view row, TextPos start, bool& plain);

}  // namespace qv
