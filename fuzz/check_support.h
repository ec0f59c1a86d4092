#pragma once
// Pieces shared by the fuzz checks: reading the fuzzer's bytes as choices,
// collecting what went wrong, scratch files for the file-level targets, the
// settings a user's locale may give.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "runtime/locale_formats.h"
#include "support/temp_folder.h"

namespace qv::fuzz {

// Takes choices from the front of the input; once it runs dry every choice
// is 0, so a short input is still a complete case.
class ByteReader {
 public:
  explicit ByteReader(std::string_view data) : data_(data) {}
  std::uint8_t Byte() {
    if (data_.empty()) return 0;
    const auto byte = static_cast<std::uint8_t>(data_.front());
    data_.remove_prefix(1);
    return byte;
  }
  std::uint16_t Word() {
    const std::uint16_t low = Byte();
    return static_cast<std::uint16_t>(low | (Byte() << 8));
  }
  std::string_view Take(std::size_t count) {
    const std::string_view taken = data_.substr(0, count);
    data_.remove_prefix(taken.size());
    return taken;
  }
  std::string_view Rest() const { return data_; }

 private:
  std::string_view data_;
};

// The failures of one input, joined; empty when the input passed.
class Findings {
 public:
  void Add(std::string_view what) {
    if (!text_.empty()) text_ += "; ";
    text_ += what;
  }
  bool Expect(bool holds, std::string_view what) {
    if (!holds) Add(what);
    return holds;
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

inline std::string Printable(std::string_view bytes, std::size_t limit = 80) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
      out += static_cast<char>(byte);
    } else {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
  if (bytes.size() > limit) out += "...";
  return out;
}

// One folder for the process: making and removing one for every input made
// the naming target three times slower.
inline const test::TempFolder& Scratch() {
  static const test::TempFolder folder("qv_fuzz_");
  return folder;
}

// A scratch path with no file at it, so that a file an earlier input left
// there cannot pass for one this input should have written. Each input's
// files are new ones: ext4 sends a file truncated and written again to the
// disk when it is closed, which made the file-level targets ten times slower.
inline std::string FreshScratchPath(std::string_view name) {
  std::string path = Scratch().Path(name);
  std::filesystem::remove(path);
  return path;
}

inline std::string WriteScratch(std::string_view name, std::string_view bytes) {
  FreshScratchPath(name);
  return Scratch().Write(name, bytes);
}

// Settings a user's locale may give; the input chooses one, so that the
// targets that read the settings meet more than the locale of the run.
inline LocaleFormatsRecord ChosenFormats(std::uint8_t choice, std::uint8_t freeByte) {
  LocaleFormatsRecord formats;  // the fallbacks
  switch (choice % 6) {
    case 1:  // ru_RU
      formats.dateSeparator = '.';
      formats.decimalSeparator = ',';
      formats.shortDatePattern = "dd.MM.yyyy";
      formats.amDesignator = "";
      formats.pmDesignator = "";
      break;
    case 2:  // year, month and day, as the report writes them
      formats.dateSeparator = '-';
      formats.shortDatePattern = "yyyy-mm-dd";
      break;
    case 3:  // a pattern missing the year, a separator byte from the input
      formats.dateSeparator = static_cast<char>(freeByte);
      formats.shortDatePattern = "dd/MM";
      formats.timeSeparator = '.';
      break;
    case 4:  // designators sharing first bytes with digits and separators
      formats.dateSeparator = ' ';
      formats.timeSeparator = static_cast<char>(freeByte);
      formats.decimalSeparator = static_cast<char>(freeByte);
      formats.shortDatePattern = "y m d";
      formats.amDesignator = "0";
      formats.pmDesignator = ":";
      formats.twoDigitYearWindow = 0;
      break;
    case 5:  // Cyrillic designators, year window at its widest
      formats.shortDatePattern = "d.m.Y";
      formats.dateSeparator = '.';
      formats.amDesignator = "дп";
      formats.pmDesignator = "пп";
      formats.twoDigitYearWindow = 65535;
      break;
    default:
      break;
  }
  return formats;
}

}  // namespace qv::fuzz
