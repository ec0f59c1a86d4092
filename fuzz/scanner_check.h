#pragma once
// NextTagContent against a plain byte-at-a-time walk of its four states, on
// arbitrary text and names, from every kind of start the callers can pass.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check_support.h"
#include "runtime/byte_text.h"
#include "scan/element_scanner.h"
#include "support/scanner_model.h"

namespace qv::fuzz {

namespace scan_detail {

inline TextPos CompareOne(std::string_view text, std::string_view name, TextPos start,
                          Findings& findings) {
  const TagContent found = NextTagContent(text, name, start);
  const std::string_view content = found.content;
  const test::ScanOutcome expected = test::ReferenceScan(text, name, start);
  const std::string where =
      " (name \"" + Printable(name) + "\", start " + std::to_string(start) + ")";
  findings.Expect(content == expected.content, "content \"" + Printable(content) +
                                                   "\", the walk gives \"" +
                                                   Printable(expected.content) + "\"" + where);
  findings.Expect(found.stop == expected.stop, "stop " + std::to_string(found.stop) +
                                                   ", the walk gives " +
                                                   std::to_string(expected.stop) + where);
  const auto length = static_cast<TextPos>(text.size());
  if (start <= length) findings.Expect(found.stop > start, "no progress" + where);
  // The result is a view into the text.
  if (!content.empty()) {
    findings.Expect(content.data() >= text.data() &&
                        content.data() + content.size() <= text.data() + text.size(),
                    "content is not a view into the text" + where);
  }
  return found.stop;
}

// A walk over the text cut short that did not run out must have decided what
// the whole text gives: the walk over a detail read in blocks relies on it.
inline void CompareCut(std::string_view text, std::string_view name, TextPos start, std::size_t cut,
                       Findings& findings) {
  const TagContent early = NextTagContent(text.substr(0, cut), name, start);
  if (early.ranOut) return;
  const TagContent whole = NextTagContent(text, name, start);
  findings.Expect(early.content == whole.content && early.stop == whole.stop,
                  "a walk cut at " + std::to_string(cut) + " decided otherwise (start " +
                      std::to_string(start) + ")");
}

// A row read off in one pass gives what the row walk and then the cell
// walks over its content give.
inline void ComparePlainRow(std::string_view text, Findings& findings) {
  TagContent row;
  std::vector<std::string_view> cells;
  if (!ReadPlainRow(text, row, cells)) return;
  const TagContent walked = NextTagContent(text, "tr", 1);
  findings.Expect(row.content == walked.content && row.stop == walked.stop && !walked.ranOut,
                  "the row read in one pass differs from the row walk");
  std::vector<std::string_view> walkedCells;
  for (TextPos cursor = 1; static_cast<TextPos>(walked.content.size()) > cursor;) {
    const TagContent cell = NextTagContent(walked.content, "td", cursor);
    if (walkedCells.size() < kKeptCells) walkedCells.push_back(cell.content);
    cursor = cell.stop;
  }
  findings.Expect(cells == walkedCells, "the row's cells read in one pass differ from the walks");
}

}  // namespace scan_detail

// Input: a choice byte (name), two start bytes, a name length and name bytes
// when the name comes from the input, then the text.
inline std::string CheckScanner(std::string_view data) {
  ByteReader input(data);
  const std::uint8_t choice = input.Byte();
  const std::uint16_t startChoice = input.Word();
  std::string name;
  switch ((choice >> 1) & 3) {
    case 0:
      name = "tr";
      break;
    case 1:
      name = "td";
      break;
    case 2:
      name = input.Take(input.Byte() % 24);
      break;
    default:
      name = "t";
      break;
  }
  const std::string_view text = input.Rest();
  const auto length = static_cast<TextPos>(text.size());
  Findings findings;

  scan_detail::ComparePlainRow(text, findings);

  // One call from a start anywhere from 1 to a little past the end.
  const TextPos start = 1 + static_cast<TextPos>(startChoice) % (length + 4);
  scan_detail::CompareOne(text, name, start, findings);

  // The callers' loop: from 1, each call where the last one stopped, each
  // also over the text cut a little way on.
  TextPos at = 1;
  int calls = 0;
  while (findings.Text().empty() && at < length) {
    const std::size_t cut =
        static_cast<std::size_t>(at) + static_cast<std::size_t>((startChoice + calls) % 23);
    scan_detail::CompareCut(text, name, at, cut < text.size() ? cut : text.size(), findings);
    at = scan_detail::CompareOne(text, name, at, findings);
    ++calls;
    if (calls > length + 1) {
      findings.Add("the callers' loop does not end");
      break;
    }
  }

  // Starts no caller passes must still be harmless.
  for (const TextPos odd : {TextPos{0}, TextPos{-5}, length + 2, length + 1000000}) {
    const TagContent found = NextTagContent(text, name, odd);
    if (odd > length + 1) {
      findings.Expect(found.content.empty() && found.stop == odd - 1,
                      "a start past the end gave content");
    } else {
      findings.Expect(found.stop >= 1 && found.stop <= length + 1,
                      "a start before the text stopped outside it");
    }
  }
  return findings.Text();
}

}  // namespace qv::fuzz
