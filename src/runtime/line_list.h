#pragma once
// A whole file held as lines: one buffer, in which the lines are found when
// first asked for by index, or read one by one without listing them.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class LineList {
 public:
  // Replaces the content with the lines of the file; raises
  // Unable to open file "<path>" when it cannot be opened (the content then
  // stays as it was), Unable to read file "<path>" when a read fails.
  void LoadFromFile(const char* path);
  // Replaces the content with the lines of the given bytes (the split rules
  // of LoadFromFile).
  void LoadFromBytes(std::string bytes);
  std::int64_t Count() const { return static_cast<std::int64_t>(Lines().size()); }
  // Raise "List index (%d) out of bounds" for an index outside 0..Count-1.
  std::string_view Get(std::int64_t index) const;
  void Delete(std::int64_t index);
  // Every line followed by CR LF.
  std::string JoinedText() const;
  void Clear();

 private:
  friend class LineJoiner;
  struct FreeBytes {
    void operator()(char* bytes) const { std::free(bytes); }
  };
  // The lines as views, listed on first use: a view takes 16 bytes, more
  // than a line of a file of line ends alone.
  const std::vector<std::string_view>& Lines() const;
  void Loaded(std::unique_ptr<char, FreeBytes> buffer, std::size_t size);

  // malloc'd so that growing a large file's buffer can move pages instead of
  // copying and zero-filling them.
  std::unique_ptr<char, FreeBytes> buffer_;
  std::size_t size_ = 0;
  mutable std::vector<std::string_view> lines_;
  mutable bool listed_ = true;
};

// The lines of a byte range one by one, front to back, split as a loaded
// file is: at CR LF, LF or CR.
class LineReader {
 public:
  LineReader(const char* begin, const char* end);
  // The next line, without its line end; false after the last.
  bool Next(std::string_view& line);
  // Where the next line starts.
  const char* Position() const { return p_; }

 private:
  const char* Find(const char* from, char byte) const;

  const char* p_;
  const char* end_;
  // The next hit of each line end byte, so that each is searched for once.
  const char* nextCr_;
  const char* nextLf_;
};

// Reads a list's lines front to back and joins the ones the caller keeps,
// each followed by CR LF, over the list's own buffer: a kept line moves
// towards the buffer's start. Where the line ends are shorter than CR LF the
// joined text can outgrow the bytes read so far; the excess waits in a queue
// until dropped lines make room, so the file is held about once, not twice.
class LineJoiner {
 public:
  // The list must not be used otherwise until Finish.
  explicit LineJoiner(LineList& list);
  LineJoiner(const LineJoiner&) = delete;
  LineJoiner& operator=(const LineJoiner&) = delete;

  bool Next(std::string_view& line) { return reader_.Next(line); }
  // Appends a line read by Next and CR LF. neededFrom is the start of a line
  // read later that is still to be kept (nothing before it is), or nullptr
  // when every line still to be kept is unread.
  void Keep(std::string_view line, const char* neededFrom = nullptr);
  // The joined text. The list holds it, and no lines, until it is cleared or
  // loaded again.
  std::string_view Finish();

 private:
  // Moves queued bytes into the buffer up to limit.
  void Drain(char* limit);

  LineList& list_;
  LineReader reader_;
  char* out_;
  std::string queue_;
  std::size_t queueHead_ = 0;
};

}  // namespace qv
