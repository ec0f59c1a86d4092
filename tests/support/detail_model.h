#pragma once
// The conversion's walk as plainly as it can be put, for the tests to hold
// the streaming walk against: the whole detail in a list of lines, pruned by
// deleting one line at a time, then its joined text walked in one piece.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "convert/detail_walk.h"
#include "convert/pruning.h"
#include "runtime/byte_text.h"
#include "runtime/service_error.h"
#include "scan/element_scanner.h"
#include "scan/text_helpers.h"
#include "support/line_list.h"

namespace qv::test {

struct PrunedDetail {
  std::optional<std::string> error;
  std::string joined;
};

// The three pruning passes as the list's own Get and Delete carry them out.
inline PrunedDetail PruneLineByLine(std::string bytes) {
  LineList list;
  list.LoadFromBytes(bytes);
  try {
    std::int64_t i = 1;
    do {
      if (TrimBlanks(list.Get(i)).empty()) {
        list.Delete(i);
      } else {
        ++i;
      }
    } while (list.Count() > i);

    bool sectionFound = false;
    do {
      if (FindText(kSectionHeading.Text(), list.Get(0)) != 0) {
        sectionFound = true;
      } else {
        list.Delete(0);
      }
    } while (!sectionFound && !list.JoinedText().empty());

    bool insideBlock = false;
    i = 1;
    do {
      const std::string_view line = list.Get(i);
      if (FindText(kSubscriberMarker.Text(), line) != 0) insideBlock = true;
      if (FindText(kTotalMarker.Text(), line) != 0) insideBlock = false;
      if (!insideBlock) {
        list.Delete(i - 1);
      } else {
        ++i;
      }
    } while (list.Count() > i);
  } catch (const ServiceError& error) {
    return {error.what(), ""};
  }
  return {std::nullopt, list.JoinedText()};
}

// The main loop over the whole joined text: cells while no subscriber is
// current, rows while one is, until the cursor reaches the text's end.
inline void WalkJoinedText(std::string_view joined, char decimalSeparator, DetailEvents& events) {
  CallRowConverter rows(decimalSeparator);
  CallRecord call;
  std::string phone;
  for (TextPos cursor = 1; static_cast<TextPos>(joined.size()) > cursor;) {
    const TagContent found = NextTagContent(joined, phone.empty() ? "td" : "tr", cursor);
    cursor = found.stop;
    if (!phone.empty()) {
      if (FindText(kTotalMarker.Text(), found.content) != 0) {
        phone.clear();
      } else if (rows.Convert(found.content, call)) {
        events.Call(call);
      }
      continue;
    }
    const std::string cell(TrimBlanks(StripTags(found.content)));
    if (FindText(kSubscriberMarker.Text(), cell) == 0) continue;
    const TextPos marker = static_cast<TextPos>(kSubscriberMarker.Text().size());
    const std::string_view number =
        TrimSpacing(SliceText(cell, marker + 1, static_cast<TextPos>(cell.size()) - marker));
    phone.assign(number.substr(number.size() > 10 ? number.size() - 10 : 0));
    events.Subscriber(phone);
  }
}

}  // namespace qv::test
