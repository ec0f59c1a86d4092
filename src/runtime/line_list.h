#pragma once
// A whole file held as lines: one buffer, lines are views into it.
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
  // stays as it was).
  void LoadFromFile(const char* path);
  // Replaces the content with the lines of the given bytes (the split rules
  // of LoadFromFile).
  void LoadFromBytes(std::string bytes);
  std::int64_t Count() const { return static_cast<std::int64_t>(lines_.size()); }
  // Raise "List index (%d) out of bounds" for an index outside 0..Count-1.
  std::string_view Get(std::int64_t index) const;
  void Delete(std::int64_t index);
  // Every line followed by CR LF.
  std::string JoinedText() const;
  // The joined text, written over the list's own buffer when the line ends
  // leave room for it (into a new buffer otherwise), so that a large file is
  // not held twice. The list is left without lines; the view lives until the
  // list is cleared or loaded again.
  std::string_view JoinInPlace();
  // For passes that keep or drop many lines at once in linear time.
  std::vector<std::string_view>& Lines() { return lines_; }
  const std::vector<std::string_view>& Lines() const { return lines_; }
  void Clear();

 private:
  struct FreeBytes {
    void operator()(char* bytes) const { std::free(bytes); }
  };
  // Split the buffer into lines_.
  void Split();

  // malloc'd so that growing a large file's buffer can move pages instead of
  // copying and zero-filling them.
  std::unique_ptr<char, FreeBytes> buffer_;
  std::size_t size_ = 0;
  std::vector<std::string_view> lines_;
};

// Raises the line list's index error.
[[noreturn]] void RaiseListIndexError(std::int64_t index);

}  // namespace qv
