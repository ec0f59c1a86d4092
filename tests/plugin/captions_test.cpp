#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

#include "maker.h"
#include "plugin/qvmtsfrs.h"

namespace {

constexpr unsigned char kUntouched = 0xA5;

struct CaptionCase {
  const char* name;
  void(QV_CALL* store)(unsigned char*);
  std::string_view expected;
};

// The bytes are written out here rather than taken from the library's
// constants, so that a change to those shows up as a failure.
const std::string kAbout = std::string(
                               "Расширение к программе quarvel для распознования детализаций МТС "
                               "(биллинг FORIS) 2010-2011 г. Кодировка UTF-8") +
                           "\rURL=" + QV_MAKER_URL;

const CaptionCase kCaptions[] = {
    {"menu", PlugInMenuName, "Детализации MTS (FORIS OSS), файлы в формате *.html"},
    {"detal type", PlugInDetalTypeName,
     "MTS биллинг FORIS в формате HTML, 2010-2011 г. Кодировка UTF-8;2"},
    {"ext type", PlugInExtTypeName, "Файлы HTML|*.htm;*.html|Все файлы|*.*"},
    {"about", PlugInAbout, kAbout},
};

TEST(Captions, StoreLengthByteAndTextOnly) {
  for (const CaptionCase& caption : kCaptions) {
    SCOPED_TRACE(caption.name);
    for (int call = 0; call < 2; ++call) {
      unsigned char buffer[256];
      std::memset(buffer, kUntouched, sizeof buffer);
      caption.store(buffer);
      ASSERT_EQ(buffer[0], caption.expected.size());
      EXPECT_EQ(std::string_view(reinterpret_cast<char*>(buffer + 1), buffer[0]), caption.expected);
      if (buffer[0] < 255) {
        EXPECT_EQ(buffer[1 + buffer[0]], kUntouched);
      }
    }
  }
}

TEST(Captions, ByteCounts) {
  unsigned char buffer[256];
  PlugInMenuName(buffer);
  EXPECT_EQ(buffer[0], 75);
  PlugInDetalTypeName(buffer);
  EXPECT_EQ(buffer[0], 89);
  PlugInExtTypeName(buffer);
  EXPECT_EQ(buffer[0], 50);
  PlugInAbout(buffer);
  EXPECT_EQ(buffer[0], 176 + 1 + 4 + std::strlen(QV_MAKER_URL));
}

TEST(Captions, AboutTextHasCarriageReturnThenUrl) {
  unsigned char buffer[256];
  PlugInAbout(buffer);
  // Text positions count from 1, and the text starts at buffer[1].
  EXPECT_EQ(buffer[177], 0x0D);
  EXPECT_EQ(std::string_view(reinterpret_cast<char*>(buffer + 178), 4), "URL=");
}

TEST(Marker, LowByteIsOne) { EXPECT_EQ(PlugInQuarvel() & 0xFF, 1); }

}  // namespace
