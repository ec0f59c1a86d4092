#pragma once
#include <string_view>

namespace qv {

class ReportDocument;
struct ReportElement;

// Turns one table row of a subscriber block into a call element appended to
// phone, when at least one attribute was set.
void ConvertCallRow(std::string_view row, ReportDocument& document,
                    ReportElement* phone);

}  // namespace qv
