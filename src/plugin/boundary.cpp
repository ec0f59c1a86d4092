#include "plugin/boundary.h"

#include <cstdint>
#include <cstring>
#include <exception>
#include <new>

namespace qv {
namespace {

// A fixed buffer, so that an out-of-memory failure can still be reported;
// one per thread, so that each caller hears of its own last call.
thread_local unsigned char lastFailure[kShortTextCapacity];
thread_local std::size_t lastFailureLength = 0;

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

void StoreShortText(unsigned char* buffer, std::string_view text) noexcept {
  const std::size_t length = text.size() < kShortTextCapacity ? text.size() : kShortTextCapacity;
  buffer[0] = static_cast<unsigned char>(length);
  if (length != 0) std::memcpy(buffer + 1, text.data(), length);
}

std::string_view ReadHostCountedText(const char* text) noexcept {
  if (text == nullptr) return {};
  std::uint32_t length;
  std::memcpy(&length, text - sizeof length, sizeof length);
  return {text, length};
}

std::string PathArgument(const char* text) {
  std::string_view counted = ReadHostCountedText(text);
  return std::string(counted.substr(0, counted.find('\0')));
}

void ClearLastFailure() noexcept { lastFailureLength = 0; }

void RecordLastFailure(std::string_view message) noexcept {
  std::size_t length = message.size();
  if (length > kShortTextCapacity) {
    length = kShortTextCapacity;
    // A character cut in half would leave the host an invalid UTF-8 text;
    // a UTF-8 character has at most three continuation bytes.
    for (int step = 0; step < 3 && IsContinuationByte(static_cast<unsigned char>(message[length]));
         ++step)
      --length;
  }
  if (length != 0) std::memcpy(lastFailure, message.data(), length);
  lastFailureLength = length;
}

std::string_view LastFailure() noexcept {
  return {reinterpret_cast<const char*>(lastFailure), lastFailureLength};
}

void RecordCurrentException() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    RecordLastFailure("Out of memory");
  } catch (const std::exception& error) {
    RecordLastFailure(error.what());
  } catch (...) {
    RecordLastFailure("Unknown failure");
  }
}

}  // namespace qv
