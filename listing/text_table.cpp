#include "text_table.h"

#include <algorithm>
#include <utility>

namespace qv::listing {
namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// C0 controls, DEL, and the C1 controls U+0080 to U+009F (C2 80 to C2 9F).
std::string ForTerminal(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                    static_cast<unsigned char>(text[i + 1]) < 0xA0 &&
                    IsContinuation(static_cast<unsigned char>(text[i + 1]));
    if (byte < 0x20 || byte == 0x7F || c1) {
      shown += '?';
      if (c1) ++i;
    } else {
      shown += text[i];
    }
  }
  return shown;
}

}  // namespace

std::size_t DisplayWidth(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char byte) {
    return !IsContinuation(static_cast<unsigned char>(byte));
  }));
}

TextTable::TextTable(std::vector<bool> alignRight)
    : alignRight_(std::move(alignRight)), widths_(alignRight_.size(), 0) {}

void TextTable::AddRow(const std::vector<std::string>& cells) {
  std::vector<std::string> row;
  for (std::size_t column = 0; column < widths_.size(); ++column) {
    row.push_back(column < cells.size() ? ForTerminal(cells[column]) : std::string());
    widths_[column] = std::max(widths_[column], DisplayWidth(row.back()));
  }
  rows_.push_back(std::move(row));
}

void TextTable::AppendTo(std::string& out) const {
  for (const std::vector<std::string>& row : rows_) {
    const std::size_t lineStart = out.size();
    for (std::size_t column = 0; column < row.size(); ++column) {
      const std::string& cell = row[column];
      const std::string padding(widths_[column] - DisplayWidth(cell), ' ');
      if (column > 0) out += "  ";
      out += alignRight_[column] ? padding + cell : cell + padding;
    }
    const std::size_t end = out.find_last_not_of(' ');
    out.resize(end == std::string::npos || end < lineStart ? lineStart : end + 1);
    out += '\n';
  }
}

}  // namespace qv::listing
