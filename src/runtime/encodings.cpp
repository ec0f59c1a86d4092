// The text conversions the logic uses, over the platform's code page.
#include "runtime/encodings.h"

#include "runtime/ascii.h"
#include "runtime/platform.h"

namespace qv {

std::u16string CodePageToUtf16(std::string_view bytes) { return platform::CodePageToUtf16(bytes); }

std::string Utf16ToCodePage(std::u16string_view text) { return platform::Utf16ToCodePage(text); }

std::string LowerInCodePage(std::string_view bytes) { return platform::LowerInCodePage(bytes); }

std::string FileNameToUtf8(std::string_view name) {
  if (IsAscii(name) || platform::SystemCodePage() == platform::kUtf8CodePage)
    return std::string(name);
  return EncodeUtf8(platform::CodePageToUtf16(name));
}

}  // namespace qv
