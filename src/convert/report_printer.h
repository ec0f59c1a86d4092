#pragma once
// The report's bytes, written as the walk finds the report's parts: UTF-8,
// CR LF line breaks, two spaces of indent per level, text inline with the
// markup around it, attributes in their fixed order.
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "convert/detail_walk.h"

namespace qv {

// Where the report's bytes go, in pieces of about the printer's 256 KiB buffer.
class ReportOutput {
 public:
  virtual void Write(const char* data, std::size_t size) = 0;

 protected:
  ~ReportOutput() = default;
};

class ReportPrinter final : public DetailEvents {
 public:
  static constexpr std::size_t kBufferSize = 256 * 1024;

  // Writes the declaration and the head of the report; filename is the
  // input path as the report names it, in UTF-8.
  ReportPrinter(ReportOutput& out, std::string_view filename);
  ReportPrinter(const ReportPrinter&) = delete;
  ReportPrinter& operator=(const ReportPrinter&) = delete;

  // number is byte text in the system code page.
  void Subscriber(std::string_view number) override;
  void Call(const CallRecord& call) override;
  // Closes the report and hands over the last bytes.
  void End();

 private:
  enum class PhoneState { kNone, kStarted, kWithCalls };

  // Markup pieces fit the buffer's slack, so one check is all they need;
  // inline, so that a piece of known length is copied without a call.
  void PutMarkup(std::string_view bytes) {
    if (used_ >= kBufferSize) Flush();
    std::memcpy(buffer_ + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
  }
  void Flush();
  template <bool kAttribute>
  void Escaped(std::string_view text);
  template <bool kAttribute>
  std::size_t Special(const unsigned char* p, const unsigned char* end);
  // An element of the report's first level that holds only text.
  void TextElement(std::string_view name, std::string_view text);
  void ClosePhone();

  ReportOutput& out_;
  PhoneState phone_ = PhoneState::kNone;
  // The number of the phone element not yet written: how it is written
  // depends on whether calls come.
  std::string number_;
  std::size_t used_ = 0;
  static constexpr std::size_t kSlack = 64;
  // On the heap: a printer may live on the stack of a host's thread.
  std::unique_ptr<char[]> storage_;
  char* buffer_;
};

}  // namespace qv
