// Code page conversions on Linux. A single-byte codeset is turned into
// tables once through iconv; a multi-byte one (rare) goes through iconv on
// every call.
#include "runtime/code_page_posix.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include "runtime/encodings.h"
#include "runtime/platform.h"

namespace qv::platform {
namespace {

constexpr unsigned kLatin1CodePage = 28591;
constexpr unsigned char kDefaultChar = '?';

const char* Utf16Name() {
  return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

// "ISO-8859-5" and "iso88595" name the same codeset.
std::string Normalized(std::string_view codeset) {
  std::string out;
  for (char c : codeset) {
    if (c == '-' || c == '_') continue;
    out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  }
  return out;
}

bool IsAsciiCodeset(const std::string& name) {
  return name == "ANSIX3.41968" || name == "ASCII" || name == "USASCII" || name == "646";
}

unsigned DigitsValue(std::string_view digits) {
  unsigned value = 0;
  const char* const end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value);
  return error == std::errc{} && stop == end && digits.size() <= 5 ? value : 0;
}

unsigned WindowsNumberOf(const std::string& name) {
  if (name == "UTF8") return kUtf8CodePage;
  if (name == "KOI8R") return 20866;
  if (name == "KOI8U") return 21866;
  if (name.rfind("ISO8859", 0) == 0) {
    unsigned part = DigitsValue(std::string_view(name).substr(7));
    return part == 0 ? 0 : 28590 + part;
  }
  if (name.rfind("WINDOWS", 0) == 0) return DigitsValue(std::string_view(name).substr(7));
  if (name.rfind("CP", 0) == 0) return DigitsValue(std::string_view(name).substr(2));
  return 0;
}

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (IsOpen()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Converts through iconv; an input unit it refuses becomes the replacement
// and is skipped (skipUnit gives its size in bytes).
template <typename SkipUnit>
std::string ConvertAll(const Converter& converter, const char* data, std::size_t size,
                       std::string_view replacement, SkipUnit skipUnit) {
  std::string out;
  char chunk[4096];
  char* in = const_cast<char*>(data);
  std::size_t inLeft = size;
  iconv(converter.Get(), nullptr, nullptr, nullptr, nullptr);
  while (inLeft > 0) {
    char* outPtr = chunk;
    std::size_t outLeft = sizeof chunk;
    std::size_t result = iconv(converter.Get(), &in, &inLeft, &outPtr, &outLeft);
    out.append(chunk, static_cast<std::size_t>(outPtr - chunk));
    if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    // EILSEQ, or EINVAL for a sequence cut off at the end
    out.append(replacement);
    std::size_t skip = std::min(inLeft, skipUnit(in, inLeft));
    in += skip;
    inLeft -= skip;
  }
  // Stateful codesets end in their initial state.
  char* outPtr = chunk;
  std::size_t outLeft = sizeof chunk;
  iconv(converter.Get(), nullptr, nullptr, &outPtr, &outLeft);
  out.append(chunk, static_cast<std::size_t>(outPtr - chunk));
  return out;
}

std::u16string Utf16OfBytes(const std::string& bytes) {
  std::u16string out(bytes.size() / 2, u'\0');
  std::memcpy(out.data(), bytes.data(), out.size() * 2);
  return out;
}

}  // namespace

CodePage::CodePage(std::string_view codeset) : codeset_(codeset) {
  std::string name = Normalized(codeset);
  if (name == "UTF8") {
    kind_ = Kind::kUtf8;
    number_ = kUtf8CodePage;
    return;
  }
  if (IsAsciiCodeset(name)) {
    name = "ISO88591";
    codeset_ = "ISO-8859-1";
  }
  number_ = WindowsNumberOf(name);
  BuildSingleByteTables();
}

// A byte the codeset leaves undefined stands for the code unit of the same
// value, as Windows maps the holes of its code pages.
void CodePage::BuildSingleByteTables() {
  std::array<bool, 256> defined{};
  for (unsigned b = 0; b < 256; ++b) toUtf16_[b] = static_cast<char16_t>(b);
  if (Normalized(codeset_) == "ISO88591") {
    defined.fill(true);
  } else {
    Converter converter(Utf16Name(), codeset_.c_str());
    if (!converter.IsOpen()) {
      // An unknown codeset: Latin-1 at least keeps every byte.
      number_ = kLatin1CodePage;
      defined.fill(true);
    } else {
      for (unsigned b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        char16_t unit[2];
        char* inPtr = &in;
        char* outPtr = reinterpret_cast<char*>(unit);
        std::size_t inLeft = 1;
        std::size_t outLeft = sizeof unit;
        iconv(converter.Get(), nullptr, nullptr, nullptr, nullptr);
        std::size_t result = iconv(converter.Get(), &inPtr, &inLeft, &outPtr, &outLeft);
        if (result == static_cast<std::size_t>(-1) && errno == EINVAL) {
          kind_ = Kind::kMultiByte;
          return;
        }
        if (result != static_cast<std::size_t>(-1) && outLeft == sizeof unit - 2) {
          toUtf16_[b] = unit[0];
          defined[b] = true;
        }
      }
    }
  }
  fromUtf16_.assign(65536, 0);
  for (int pass = 0; pass < 2; ++pass) {
    for (unsigned b = 0; b < 256; ++b) {
      if (defined[b] != (pass == 0)) continue;
      char16_t unit = toUtf16_[b];
      if (unit != 0 && fromUtf16_[unit] == 0) fromUtf16_[unit] = static_cast<unsigned char>(b);
    }
  }
  for (unsigned b = 0; b < 256; ++b) {
    lower_[b] = static_cast<unsigned char>(b);
    char16_t lower = SimpleLowerCase(toUtf16_[b]);
    if (lower != toUtf16_[b] && fromUtf16_[lower] != 0) lower_[b] = fromUtf16_[lower];
  }
}

std::u16string CodePage::ToUtf16(std::string_view bytes) const {
  switch (kind_) {
    case Kind::kUtf8:
      return DecodeUtf8(bytes);
    case Kind::kSingleByte: {
      std::u16string out(bytes.size(), u'\0');
      for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[i] = toUtf16_[static_cast<unsigned char>(bytes[i])];
      }
      return out;
    }
    case Kind::kMultiByte:
      break;
  }
  Converter converter(Utf16Name(), codeset_.c_str());
  if (!converter.IsOpen()) return DecodeUtf8(bytes);
  const char16_t question = u'?';
  return Utf16OfBytes(ConvertAll(converter, bytes.data(), bytes.size(),
                                 std::string_view(reinterpret_cast<const char*>(&question), 2),
                                 [](const char*, std::size_t) { return std::size_t{1}; }));
}

std::string CodePage::FromUtf16(std::u16string_view text) const {
  switch (kind_) {
    case Kind::kUtf8:
      return EncodeUtf8(text);
    case Kind::kSingleByte: {
      std::string out;
      out.reserve(text.size());
      for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        unsigned char byte = fromUtf16_[unit];
        if (byte == 0 && unit != 0) {
          byte = kDefaultChar;
          // A character outside the BMP is one character, so one "?".
          if (PairAt(text, i) != 0) ++i;
        }
        out += static_cast<char>(byte);
      }
      return out;
    }
    case Kind::kMultiByte:
      break;
  }
  Converter converter(codeset_.c_str(), Utf16Name());
  if (!converter.IsOpen()) return EncodeUtf8(text);
  auto skipUnit = [](const char* at, std::size_t left) -> std::size_t {
    char16_t first;
    std::memcpy(&first, at, 2);
    if (IsHighSurrogate(first) && left >= 4) {
      char16_t second;
      std::memcpy(&second, at + 2, 2);
      if (IsLowSurrogate(second)) return 4;
    }
    return 2;
  };
  return ConvertAll(converter, reinterpret_cast<const char*>(text.data()), text.size() * 2, "?",
                    skipUnit);
}

std::string CodePage::Lower(std::string_view bytes) const {
  switch (kind_) {
    case Kind::kUtf8:
      return LowerUtf8(bytes);
    case Kind::kSingleByte: {
      std::string out(bytes);
      for (char& byte : out) byte = static_cast<char>(lower_[static_cast<unsigned char>(byte)]);
      return out;
    }
    case Kind::kMultiByte:
      break;
  }
  std::u16string text = ToUtf16(bytes);
  for (char16_t& unit : text) unit = SimpleLowerCase(unit);
  return FromUtf16(text);
}

std::string LocaleNameOfEnvironment(const char* categoryVariable) {
  for (const char* variable : {"LC_ALL", categoryVariable, "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

std::string CodesetOfLocale(const std::string& localeName) {
  locale_t locale = newlocale(LC_CTYPE_MASK, localeName.c_str(), nullptr);
  if (locale != nullptr) {
    std::string codeset = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    return codeset;
  }
  // Not installed: the name still says which codeset the user meant.
  std::size_t dot = localeName.find('.');
  if (dot == std::string::npos) return "ANSI_X3.4-1968";
  std::size_t at = localeName.find('@', dot);
  return localeName.substr(dot + 1, at == std::string::npos ? std::string::npos : at - dot - 1);
}

const CodePage& SystemCodePageConversions() {
  static const CodePage system(CodesetOfLocale(LocaleNameOfEnvironment("LC_CTYPE")));
  return system;
}

}  // namespace qv::platform
