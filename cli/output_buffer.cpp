#include "output_buffer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "runtime/service_error.h"

namespace qv::cli {
namespace {

// The bytes come in large pieces already: the stream's own buffer passes
// them straight on.
void WriteToStandardOutput(const char* data, std::size_t size) {
  if (std::fwrite(data, 1, size, stdout) == size && std::fflush(stdout) == 0) return;
  throw OutputFailure(std::string("Unable to write to standard output: ") + std::strerror(errno));
}

// The file's failures stop the whole command.
template <class Call>
void Tell(Call call) {
  try {
    call();
  } catch (const ServiceError& error) {
    throw OutputFailure(error.what());
  }
}

}  // namespace

ListingOutput::ListingOutput(const std::string& path) {
  if (!path.empty()) file_.emplace(path);
}

void ListingOutput::Write(const char* data, std::size_t size) {
  if (!file_) {
    WriteToStandardOutput(data, size);
    return;
  }
  Tell([&] { file_->Write(data, size); });
}

void ListingOutput::CheckReady() {
  if (file_) Tell([&] { file_->Open(); });
}

void ListingOutput::Finish() {
  if (file_) Tell([&] { file_->Commit(); });
}

}  // namespace qv::cli
