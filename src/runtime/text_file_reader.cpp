#include "runtime/text_file_reader.h"

#include <string>

#include "runtime/service_error.h"
#include "runtime/system_errors.h"

namespace qv {
namespace {

// The reader's own codes, numbered as the system's where they mean the same.
constexpr int kFileNotFound = system_error::kFileNotFound;
constexpr int kInvalidFileName = system_error::kPathNotFound;
constexpr int kAccessDenied = system_error::kAccessDenied;
constexpr int kFileNotOpen = 103;
constexpr unsigned char kEndOfText = 26;

struct CodeMessage {
  int code;
  const char* message;
};

constexpr CodeMessage kMessages[] = {
    {2, "File not found"},
    {3, "Invalid filename"},
    {4, "Too many open files"},
    {5, "Access denied"},
    {6, "Invalid file handle"},
    {15, "Invalid drive specified"},
    {100, "Read past end of file"},
    {101, "Disk Full"},
    {102, "File not assigned"},
    {103, "File not open"},
    {104, "File not open for input"},
    {105, "File not open for output"},
    {106, "Invalid input"},
};

bool EndsText(unsigned char byte) { return byte == '\r' || byte == '\n' || byte == kEndOfText; }

[[noreturn]] void RaiseInOutError(int code) { throw ServiceError(InOutMessage(code)); }

}  // namespace

std::string InOutMessage(int code) {
  for (const CodeMessage& entry : kMessages) {
    if (entry.code == code) return entry.message;
  }
  return "I/O error " + std::to_string(code);
}

int InOutCodeOfSystemError(int systemCode) {
  if (systemCode == system_error::kSharingViolation ||
      systemCode == system_error::kDirectoryNotEmpty ||
      systemCode == system_error::kAlreadyExists) {
    return kAccessDenied;
  }
  if (systemCode >= system_error::kWriteProtect && systemCode <= system_error::kGeneralFailure) {
    return systemCode - system_error::kWriteProtect + 150;
  }
  return systemCode;
}

void TextFileReader::OpenForReading(std::string_view name) {
  if (file_.IsOpen()) file_.Close();
  position_ = end_ = 0;
  buffer_.assign(kFirstBlock, 0);
  if (name.empty()) RaiseInOutError(kFileNotFound);
  // The system would see the name end at the zero byte: a different file.
  if (name.find('\0') != std::string_view::npos) RaiseInOutError(kInvalidFileName);
  // Names may hold "/" on Windows too, even names that start "\\?\".
  const std::string path = platform::WithSystemSeparators(name);
  int error = file_.Open(path.c_str(), platform::File::Access::kRead);
  if (error != 0) RaiseInOutError(InOutCodeOfSystemError(error));
}

void TextFileReader::RequireOpen() const {
  if (!file_.IsOpen()) RaiseInOutError(kFileNotOpen);
}

bool TextFileReader::Refill() {
  position_ = end_ = 0;
  std::int64_t got = file_.Read(buffer_.data(), buffer_.size());
  if (got == static_cast<std::int64_t>(buffer_.size()) && buffer_.size() < kLargestBlock) {
    buffer_.resize(2 * buffer_.size());
  }
  if (got < 0) RaiseInOutError(InOutCodeOfSystemError(file_.LastError()));
  end_ = static_cast<std::size_t>(got);
  return end_ > 0;
}

bool TextFileReader::AtEnd() {
  RequireOpen();
  return !Available() || buffer_[position_] == kEndOfText;
}

std::string TextFileReader::ReadLine() {
  RequireOpen();
  std::string line;
  while (Available()) {
    std::size_t stop = position_;
    while (stop < end_ && !EndsText(buffer_[stop])) ++stop;
    line.append(reinterpret_cast<const char*>(buffer_.data() + position_), stop - position_);
    position_ = stop;
    if (stop < end_) break;
  }
  return line;
}

void TextFileReader::SkipLineEnd() {
  RequireOpen();
  while (Available()) {
    unsigned char byte = buffer_[position_];
    if (byte == kEndOfText) return;
    ++position_;
    if (byte == '\n') return;
    if (byte == '\r') {
      if (Available() && buffer_[position_] == '\n') ++position_;
      return;
    }
  }
}

}  // namespace qv
