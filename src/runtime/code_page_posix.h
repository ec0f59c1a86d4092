#pragma once
// Linux has no ANSI code page: the codeset of the user's locale stands in for
// it. A UTF-8 codeset counts as code page 65001.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv::platform {

// The conversions of one locale codeset ("UTF-8", "CP1251", "ISO-8859-1").
class CodePage {
 public:
  explicit CodePage(std::string_view codeset);
  // The Windows number of the code page (1251, 28591, 65001...), 0 when it
  // has none.
  unsigned Number() const { return number_; }
  std::u16string ToUtf16(std::string_view bytes) const;
  // Characters the code page lacks become "?".
  std::string FromUtf16(std::u16string_view text) const;
  std::string Lower(std::string_view bytes) const;

 private:
  enum class Kind { kUtf8, kSingleByte, kMultiByte };
  void BuildSingleByteTables();

  Kind kind_ = Kind::kSingleByte;
  unsigned number_ = 0;
  std::string codeset_;
  std::array<char16_t, 256> toUtf16_{};
  // Indexed by code unit; 0 marks a character the code page lacks (only
  // U+0000 itself maps to byte 0).
  std::vector<unsigned char> fromUtf16_;
  std::array<unsigned char, 256> lower_{};
};

// The codeset a locale name stands for ("ru_RU.CP1251" gives "CP1251"), read
// from the installed locale, or from the name when it is not installed.
std::string CodesetOfLocale(const std::string& localeName);
// The locale of the environment for one category: LC_ALL, then the
// category's own variable ("LC_CTYPE"...), then LANG; "C" if none is set.
std::string LocaleNameOfEnvironment(const char* categoryVariable);
// The code page of the environment's locale, settled on first use.
const CodePage& SystemCodePageConversions();

}  // namespace qv::platform
