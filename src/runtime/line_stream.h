#pragma once
// The lines of bytes that arrive in blocks, split as a whole file would be:
// at CR LF, at LF and at CR. Only the lines not yet read stay in memory, so
// a detail of any size is read in the room of its longest lines.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace qv {

class LineStream {
 public:
  // Room for at least blockSize more bytes, to be filled and announced with
  // Added. Lines returned before are invalid afterwards.
  std::span<char> Space(std::size_t blockSize);
  void Added(std::size_t count);
  // No more bytes come: an unfinished last line becomes a line.
  void End();

  // The next complete line, without its line end; false when more bytes are
  // needed, or after the last line once End was called.
  bool Next(std::string_view& line);

 private:
  // The next position of one line end byte at or after a position, each
  // byte of the buffer searched once.
  struct ByteSearch {
    char byte;
    std::size_t found = std::string::npos;  // npos: none before searchedTo
    std::size_t searchedTo = 0;
  };
  std::size_t NextOf(ByteSearch& search, std::size_t from);
  void Compact();

  static constexpr std::size_t kLargeBuffer = 4 << 20;

  std::string buffer_;
  // Bytes up to end_ have arrived; those before lineStart_ have been read.
  std::size_t end_ = 0;
  std::size_t lineStart_ = 0;
  ByteSearch returns_{'\r'};
  ByteSearch lineFeeds_{'\n'};
  // A CR ended the last line: an LF right after it belongs to that line end.
  bool skipLineFeed_ = false;
  bool ended_ = false;
};

}  // namespace qv
