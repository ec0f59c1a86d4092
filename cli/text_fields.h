#pragma once
// Values of a detail written as CSV fields and JSON strings. Values are
// UTF-8 as the detail holds it: each malformed sequence becomes "?", as in
// the report, so that the output is always well-formed UTF-8.
#include <string>
#include <string_view>

namespace qv::cli {

// The text with each malformed UTF-8 sequence as "?".
std::string CleanText(std::string_view text);

// One CSV field (RFC 4180): quoted, with its quotes doubled, only when it
// holds a comma, a quote or a control character (below 0x20, or 0x7F).
void AppendCsvField(std::string_view text, std::string& out);

// A JSON string (RFC 8259) in quotes: the quote, the backslash and every
// control character below 0x20 escaped.
void AppendJsonString(std::string_view text, std::string& out);

// The number as a JSON number when it is a plain decimal (see
// plain_decimal.h), otherwise as a JSON string.
void AppendJsonNumberOrString(std::string_view text, std::string& out);

}  // namespace qv::cli
