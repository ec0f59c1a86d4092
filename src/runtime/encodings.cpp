// The text conversions the logic uses, over the platform's code page.
#include "runtime/encodings.h"

#include "runtime/platform.h"

namespace qv {
namespace {

constexpr unsigned kUtf8CodePage = 65001;

bool IsAscii(std::string_view bytes) {
  for (char byte : bytes) {
    if (static_cast<unsigned char>(byte) >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::u16string CodePageToUtf16(std::string_view bytes) { return platform::CodePageToUtf16(bytes); }

std::string Utf16ToCodePage(std::u16string_view text) { return platform::Utf16ToCodePage(text); }

std::string LowerInCodePage(std::string_view bytes) { return platform::LowerInCodePage(bytes); }

std::string FileNameToUtf8(std::string_view name) {
  if (IsAscii(name) || platform::SystemCodePage() == kUtf8CodePage) return std::string(name);
  return EncodeUtf8(platform::CodePageToUtf16(name));
}

std::u16string FileNameForReport(std::string_view name) { return DecodeUtf8(FileNameToUtf8(name)); }

}  // namespace qv
