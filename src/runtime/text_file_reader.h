#pragma once
// Reads a text file one line at a time, in blocks that double from 256
// bytes to 64 KiB: the first lines cost little, and a file read to its end
// takes few system calls. Every operation raises ServiceError (the message
// of its input/output code) when it fails. The file closes with the reader.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/platform.h"

namespace qv {

class TextFileReader {
 public:
  // name is cut to its first 255 bytes by callers that want the old limit;
  // an empty name fails like a missing file (code 2). Opening an open
  // reader closes it first.
  void OpenForReading(std::string_view name);
  // True at the end of the file or at a byte 26.
  bool AtEnd();
  // The bytes up to the next CR, LF or byte 26, which stays unread.
  std::string ReadLine();
  // Consumes the rest of the line and one CR, LF or CR LF after it.
  void SkipLineEnd();

 private:
  void RequireOpen() const;
  // False at the end of the file; raises when the read fails.
  bool Refill();
  bool Available() { return position_ < end_ || Refill(); }

  platform::File file_;
  static constexpr std::size_t kFirstBlock = 256;
  static constexpr std::size_t kLargestBlock = 64 * 1024;
  std::vector<unsigned char> buffer_;  // sized when the file is opened
  std::size_t position_ = 0;
  std::size_t end_ = 0;
};

// The message for an input/output code ("File not found" for 2, ...).
std::string InOutMessage(int code);
// Maps a system error code to the reader's code (32, 145, 183 -> 5; 19..31
// -> 150..162).
int InOutCodeOfSystemError(int systemCode);

}  // namespace qv
