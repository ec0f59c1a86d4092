#pragma once
// Naming a detail from arbitrary file bytes: it ends, a readable file never
// raises, the name is empty or "<year>-<month> MTS FORIS <file name>", and
// the user's settings stay as they were.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <iterator>
#include <string>
#include <string_view>

#include "check_support.h"
#include "detect/recognition.h"
#include "runtime/locale_formats.h"

namespace qv::fuzz {

namespace naming_detail {

constexpr std::string_view kScratchName = "named.html";

// "<year>-<month> MTS FORIS <file name>", the year without leading zeros.
inline bool IsDisplayName(std::string_view name, std::string_view fileName) {
  std::size_t yearDigits = 0;
  while (yearDigits < name.size() && name[yearDigits] >= '0' && name[yearDigits] <= '9') {
    ++yearDigits;
  }
  if (yearDigits == 0 || yearDigits > 4 || name[0] == '0') return false;
  name.remove_prefix(yearDigits);
  static constexpr std::string_view kMonths[] = {"-01", "-02", "-03", "-04", "-05", "-06",
                                                 "-07", "-08", "-09", "-10", "-11", "-12"};
  const std::string_view month = name.substr(0, 3);
  if (std::find(std::begin(kMonths), std::end(kMonths), month) == std::end(kMonths)) return false;
  name.remove_prefix(3);
  return name == " MTS FORIS " + std::string(fileName);
}

}  // namespace naming_detail

// Input: a settings choice and a free byte, then the file's bytes.
inline std::string CheckNaming(std::string_view data) {
  ByteReader input(data);
  const std::uint8_t settingsChoice = input.Byte();
  const std::uint8_t freeByte = input.Byte();
  const std::string_view detail = input.Rest();

  Findings findings;
  const std::string path = WriteScratch(naming_detail::kScratchName, detail);

  const LocaleFormatsRecord formats = ChosenFormats(settingsChoice, freeByte);
  std::string name;
  try {
    name = NameDetail(path, formats, [] { return LocalDate{2026, 3, 15}; });
  } catch (const std::exception& error) {
    findings.Add(std::string("naming a readable file failed: ") + error.what());
  }
  if (!name.empty()) {
    findings.Expect(naming_detail::IsDisplayName(name, naming_detail::kScratchName),
                    "not a display name: \"" + Printable(name) + "\"");
  }
  return findings.Text();
}

}  // namespace qv::fuzz
