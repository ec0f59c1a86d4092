#include "plugin/boundary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "runtime/service_error.h"
#include "support/host_text_probe.h"

namespace {

std::string_view Stored(const unsigned char* buffer) {
  return {reinterpret_cast<const char*>(buffer + 1), buffer[0]};
}

TEST(ShortText, CutsTo255AndWritesNothingAfter) {
  for (std::size_t length : {0, 1, 254, 255, 256, 1000}) {
    SCOPED_TRACE(length);
    std::string text(length, 'x');
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
    const std::size_t stored = length < 255 ? length : 255;
    // One byte more than the host provides, to see that nothing lands past it.
    unsigned char buffer[257];
    std::memset(buffer, 0xEE, sizeof buffer);
    qv::StoreShortText(buffer, text);
    EXPECT_EQ(Stored(buffer), std::string_view(text).substr(0, stored));
    EXPECT_EQ(buffer[1 + stored], 0xEE);
  }
}

TEST(HostCountedText, LengthComesFromTheLengthField) {
  struct Case {
    const char* name;
    std::string bytes;
    std::uint32_t lengthField;
    std::string_view counted;
    std::string path;
  } cases[] = {
      {"plain", "C:\\d\\a.html", 11, "C:\\d\\a.html", "C:\\d\\a.html"},
      {"empty", "", 0, "", ""},
      {"shorter length field", "C:\\d\\a.html", 4, "C:\\d", "C:\\d"},
      {"zero inside the length", std::string("C:\\a\0b.html", 11), 11,
       std::string_view("C:\\a\0b.html", 11), "C:\\a"},
      {"code page 1251", "\xC4\xE5\xF2\xE0\xEB\xE8.html", 11, "\xC4\xE5\xF2\xE0\xEB\xE8.html",
       "\xC4\xE5\xF2\xE0\xEB\xE8.html"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qv::test::FaultyHostText text(c.bytes, c.lengthField, 7);
    EXPECT_EQ(qv::ReadHostCountedText(text.get()), c.counted);
    const std::string path = qv::PathArgument(text.get());
    EXPECT_EQ(path, c.path);
    EXPECT_EQ(qv::test::ReferenceCountOf(text.get()), 7u);
  }
}

TEST(HostCountedText, NullPointerIsTheEmptyText) {
  EXPECT_TRUE(qv::ReadHostCountedText(nullptr).empty());
  EXPECT_TRUE(qv::PathArgument(nullptr).empty());
}

TEST(LastFailure, EveryExceptionKindIsStoppedAndNamed) {
  struct Case {
    const char* name;
    void (*raise)();
    std::string_view message;
  } cases[] = {
      {"service", [] { throw qv::ServiceError("List index (1) out of bounds"); },
       "List index (1) out of bounds"},
      {"out of memory", [] { throw std::bad_alloc(); }, "Out of memory"},
      {"standard", [] { throw std::length_error("too long"); }, "too long"},
      {"foreign", [] { throw 42; }, "Unknown failure"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(qv::RunAtBoundary(c.raise));
    EXPECT_EQ(qv::LastFailure(), c.message);
    EXPECT_TRUE(qv::RunAtBoundary([] {}));
    EXPECT_EQ(qv::LastFailure(), "");
  }
}

TEST(LastFailure, LongMessageIsCutWithoutSplittingACharacter) {
  struct Case {
    std::string message;
    std::size_t kept;
  } cases[] = {
      {std::string(300, 'a'), 255},
      // "я" is two bytes; the one that would straddle byte 255 goes whole.
      {std::string(254, 'a') + "яя", 254},
      {std::string(253, 'a') + "яя", 255},
      // A code-page text that merely looks like continuation bytes loses at most three.
      {std::string(300, '\xA8'), 252},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message.size());
    qv::RecordLastFailure(c.message);
    EXPECT_EQ(qv::LastFailure(), std::string_view(c.message).substr(0, c.kept));
  }
}

}  // namespace
