#pragma once
// The walk over a detail as it is read: its lines pruned down to the
// subscriber blocks of the completed-calls section, and those walked for
// subscriber cells and call rows. Everything one walk needs lives in its
// object, so walks in several threads share nothing.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "convert/call_row.h"
#include "convert/pruning.h"
#include "runtime/byte_text.h"
#include "runtime/line_stream.h"

namespace qv {

// What the walk finds, in file order.
class DetailEvents {
 public:
  // A subscriber block opens; number is the detail's bytes (trimmed, at
  // most its last 10 bytes, maybe empty).
  virtual void Subscriber(std::string_view number) = 0;
  // A call row of the block last opened, with at least one attribute.
  virtual void Call(const CallRecord& call) = 0;
  // How many bytes of the detail have been read so far, after each block;
  // for those who show progress.
  virtual void BytesRead(std::uint64_t /*total*/) {}

 protected:
  ~DetailEvents() = default;
};

class DetailWalk {
 public:
  // Bytes are read in blocks of this size.
  static constexpr std::size_t kBlockSize = 512 * 1024;
  static constexpr std::size_t kLargeWindow = 4 << 20;

  DetailWalk(DetailEvents& events, char decimalSeparator);

  // Room for the next bytes of the detail; fill it and announce them with
  // Added, which walks as far as they allow.
  std::span<char> Space() {
    pruner_.CopyHeldLine();
    return lines_.Space(kBlockSize);
  }
  void Added(std::size_t count);
  // The detail has ended: walks the rest. Raises "List index (1) out of
  // bounds" when the detail has too few lines for the pruning, after which
  // nothing was found.
  void Finish();

 private:
  void TakeLines();
  void Keep(std::string_view line);
  bool WalkInPlace(std::string_view line);
  void Walk();
  bool Step();
  bool StepOn(std::string_view text);
  void TakeSubscriberCell(std::string_view content);
  void DropWalkedText();

  DetailEvents& events_;
  CallRowConverter rows_;
  LineStream lines_;
  DetailPruner pruner_;
  // The kept lines joined with CR LF, from the walk's cursor on: window_
  // holds the bytes from offset base_ of the whole joined text.
  std::string window_;
  std::uint64_t base_ = 0;
  // The 0-based offset in the joined text where the next walk starts.
  std::uint64_t cursor_ = 0;
  // After a walk that ran out undecided, the next try waits until the
  // joined text reaches this length, so that an element spanning much of
  // the detail is walked a bounded number of times.
  std::uint64_t retryAt_ = 0;
  // The number of the block being walked; empty while looking for one.
  std::string phone_;
  bool ended_ = false;
  std::string strippedCell_;
  // The cells of the usual row, read off with the row.
  std::vector<std::string_view> cells_;
  CallRecord call_;
};

}  // namespace qv
