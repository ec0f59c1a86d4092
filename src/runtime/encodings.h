#pragma once
// Conversions between the detail's UTF-8, the report tree's UTF-16 and the
// system code page of the paths the host passes.
#include <string>
#include <string_view>

namespace qv {

// Never fails: every malformed sequence becomes one "?"; the output never
// holds a lone surrogate.
std::u16string DecodeUtf8(std::string_view bytes);
// What EncodeUtf8(DecodeUtf8(bytes)) gives for the one sequence at the start
// of bytes, whose first byte is 128 or more: the sequence as it is when
// well-formed, else one "?". Writes at most 4 bytes to out and sets
// written; returns the number of bytes of the input it took.
std::size_t CleanUtf8Sequence(std::string_view bytes, char* out, std::size_t& written);

constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
constexpr bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }
// The code point of the surrogate pair that starts at text[i], or 0 when
// none does.
constexpr char32_t PairAt(std::u16string_view text, std::size_t i) {
  if (i + 1 >= text.size() || !IsHighSurrogate(text[i]) || !IsLowSurrogate(text[i + 1])) return 0;
  return 0x10000 + ((char32_t{text[i]} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00);
}

// The UTF-8 of one code point below 0x110000, at most four bytes; returns
// the end of what was written.
char* EncodeUtf8(char32_t code, char* out);
void AppendUtf8(char32_t code, std::string& out);
// Surrogate pairs become four bytes; a lone surrogate becomes U+FFFD.
std::string EncodeUtf8(std::u16string_view text);

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

}  // namespace qv
