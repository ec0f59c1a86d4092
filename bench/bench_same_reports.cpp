// Prints one line per detail: the hash and size of its report as the walk
// makes it from pieces of the given sizes (all must agree), or its failure
// message, and its display name. Generated details, then mutated ones:
// ranges cut out or doubled, and the bytes the walk steers by put in at
// random. Two builds that print the same lines make the same reports.
//   bench_same_reports [DETAILS] [SEED]   (default 2000 details, seed 1)
#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/detail_walk.h"
#include "convert/report_printer.h"
#include "detail_generator.h"
#include "detect/recognition.h"
#include "runtime/locale_formats.h"
#include "runtime/service_error.h"

#include <unistd.h>

namespace {

class MemoryOutput final : public qv::ReportOutput {
 public:
  void Write(const char* data, std::size_t size) override { bytes.append(data, size); }
  std::string bytes;
};

// The report, or "!" and the failure message.
std::string ReportInPieces(const std::string& detail, std::size_t piece, char separator) {
  MemoryOutput out;
  try {
    qv::ReportPrinter printer(out, "C:\\details\\detail.html");
    qv::DetailWalk walk(printer, separator);
    for (std::size_t at = 0; at < detail.size(); at += piece) {
      const std::size_t size = std::min(piece, detail.size() - at);
      std::memcpy(walk.Space().data(), detail.data() + at, size);
      walk.Added(size);
    }
    walk.Finish();
    printer.End();
  } catch (const qv::ServiceError& error) {
    return std::string("!") + error.what();
  }
  return out.bytes;
}

std::uint64_t Hash(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037u;
  for (unsigned char byte : bytes) hash = (hash ^ byte) * 1099511628211u;
  return hash;
}

std::string Generated(std::uint64_t seed, qv::bench::DetailKind kind, std::uint64_t bytes) {
  std::FILE* file = std::tmpfile();
  qv::bench::WriteSyntheticDetail(file, bytes, seed, kind);
  std::string detail(static_cast<std::size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  const std::size_t got = std::fread(detail.data(), 1, detail.size(), file);
  detail.resize(got);
  std::fclose(file);
  return detail;
}

void Mutate(std::string& detail, qv::bench::Random& random) {
  static const char* const kPieces[] = {"<",
                                        ">",
                                        "/",
                                        "\r",
                                        "\n",
                                        "\r\n",
                                        "<tr>",
                                        "</tr>",
                                        "<td>",
                                        "</td>",
                                        "<td ",
                                        "&lt;--",
                                        "&amp;",
                                        ":",
                                        "1",
                                        "-",
                                        "$FF",
                                        "Итого",
                                        "\xD0",
                                        "\x00",
                                        " ",
                                        "<b>",
                                        "</b>",
                                        "24.13.2011",
                                        "Абонентский номер ",
                                        "Состоявшиеся разговоры",
                                        "<tr><td>1</td><td>01.03.2011</td><td>9:05</td>"};
  for (std::uint32_t edits = 1 + random.Below(6); edits > 0 && !detail.empty(); --edits) {
    // A third of the edits fall in the page's head, where the name is read.
    const std::size_t span =
        random.Below(3) == 0 ? std::min<std::size_t>(detail.size(), 3000) : detail.size();
    const std::size_t at = random.Below(static_cast<std::uint32_t>(span));
    const std::size_t length = std::min<std::size_t>(1 + random.Below(300), detail.size() - at);
    switch (random.Below(3)) {
      case 0:
        detail.erase(at, length);
        break;
      case 1:
        detail.insert(at, detail.substr(at, length));
        break;
      default:
        const char* piece = kPieces[random.Below(std::size(kPieces))];
        detail.insert(at, piece, *piece == '\0' ? 1 : std::strlen(piece));
    }
  }
}

// In a folder of this run's own, so that two runs side by side do not name
// each other's details.
std::string NameOf(const std::string& detail) {
  static const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("qv_same_reports_" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "qv_same_reports_name.html").string();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(detail.data(), 1, detail.size(), file);
  std::fclose(file);
  try {
    return qv::NameDetail(path, qv::UserLocaleFormats(), [] { return qv::LocalDate{2011, 4, 1}; });
  } catch (const qv::ServiceError& error) {
    return std::string("!") + error.what();
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  const char separator = qv::UserLocaleFormats().decimalSeparator;
  qv::bench::Random random(seed);
  int disagreements = 0;
  for (int i = 0; i < count; ++i) {
    const auto kind = static_cast<qv::bench::DetailKind>(i % 4);
    std::string detail = i == 0 ? qv::bench::SamplePage()
                                : Generated(seed * 100000 + static_cast<std::uint64_t>(i), kind,
                                            2000 + random.Below(60000));
    if (i % 5 != 0) Mutate(detail, random);
    const std::string whole = ReportInPieces(detail, 512 * 1024, separator);
    for (std::size_t piece : {1, 3}) {
      if (ReportInPieces(detail, piece, separator) != whole) ++disagreements;
    }
    std::printf("%d %016" PRIx64 " %zu %s | %s\n", i, Hash(whole), whole.size(),
                whole[0] == '!' ? whole.c_str() : "", NameOf(detail).c_str());
  }
  std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                              ("qv_same_reports_" + std::to_string(getpid())));
  std::fprintf(stderr, "%d details, %d piece-size disagreements\n", count, disagreements);
  return disagreements == 0 ? 0 : 1;
}
