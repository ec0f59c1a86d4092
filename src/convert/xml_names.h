#pragma once
// XML names: which texts may name an element or an attribute, and their bytes.
#include <string>
#include <string_view>

namespace qv {

// Name = NameStartChar NameChar* (XML 1.0, fifth edition).
bool IsXmlName(std::u16string_view name);

// UTF-8 of a text; a lone surrogate becomes "?" (for names and messages,
// which are never written with the report's strict rules).
std::string Utf16ToUtf8Lenient(std::u16string_view text);

}  // namespace qv
