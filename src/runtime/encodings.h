#pragma once
// Conversions between the detail's UTF-8, the report tree's UTF-16 and the
// system code page of the paths the host passes.
#include <string>
#include <string_view>

namespace qv {

// Never fails: every malformed sequence becomes one "?"; the output never
// holds a lone surrogate.
std::u16string DecodeUtf8(std::string_view bytes);
void AppendDecodedUtf8(std::string_view bytes, std::u16string& out);
// What EncodeUtf8(DecodeUtf8(bytes)) gives, in one pass: well-formed
// sequences stay as they are, each malformed one becomes one "?". The result
// is never longer than bytes; out must have room for bytes.size() bytes.
// Returns the length written.
std::size_t CleanUtf8(std::string_view bytes, char* out);
// The same for the one sequence at the start of bytes, whose first byte is
// 128 or more: writes at most 4 bytes to out and sets written; returns the
// number of bytes of the input it took.
std::size_t CleanUtf8Sequence(std::string_view bytes, char* out, std::size_t& written);

// Surrogate pairs become four bytes; a lone surrogate becomes U+FFFD.
std::string EncodeUtf8(std::u16string_view text);
void AppendUtf8(char32_t code, std::string& out);

// Unicode simple lower case of Latin, Greek, Cyrillic and Armenian letters;
// every other code unit is returned unchanged.
char16_t SimpleLowerCase(char16_t c);
// Lowers the letters of well-formed UTF-8; other bytes stay as they are.
std::string LowerUtf8(std::string_view bytes);

std::u16string CodePageToUtf16(std::string_view bytes);
std::string Utf16ToCodePage(std::u16string_view text);
std::string LowerInCodePage(std::string_view bytes);
// Unchanged when the code page is UTF-8 or every byte is below 0x80.
std::string FileNameToUtf8(std::string_view name);
std::u16string FileNameForReport(std::string_view name);

}  // namespace qv
