#pragma once
// The argument and result forms of the exported functions: ShortText255
// buffers going out, HostCountedText paths coming in, and the failure that
// ended the last working call.
#include <string>
#include <string_view>

namespace qv {

inline constexpr std::size_t kShortTextCapacity = 255;

// Writes the length byte and at most 255 bytes of text; nothing after them.
void StoreShortText(unsigned char* buffer, std::string_view text) noexcept;

// The bytes the host's length field covers; a null pointer is the empty text.
std::string_view ReadHostCountedText(const char* text) noexcept;

// The path the file operations see: the counted bytes up to the first zero
// byte among them, copied so that it is zero-terminated whatever follows
// the host's bytes.
std::string PathArgument(const char* text);

// The failure kept for PlugInLastError, in a fixed buffer of the calling
// thread: recording it never allocates. Cut to 255 bytes without splitting
// a UTF-8 sequence.
void ClearLastFailure() noexcept;
void RecordLastFailure(std::string_view message) noexcept;
std::string_view LastFailure() noexcept;

// Classifies the exception being handled and records its message. Call
// only from inside a catch block.
void RecordCurrentException() noexcept;

// Runs work with every exception stopped here: true when it ran to its end,
// false with the failure recorded otherwise.
template <class Work>
bool RunAtBoundary(Work&& work) noexcept {
  ClearLastFailure();
  try {
    work();
    return true;
  } catch (...) {
    RecordCurrentException();
    return false;
  }
}

}  // namespace qv
