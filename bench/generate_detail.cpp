// Writes call-detail pages: the bundled sample, or a large synthetic detail.
//   generate_detail --sample OUTPUT
//   generate_detail OUTPUT MEGABYTES [SEED [one-block]]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "detail_generator.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--sample") {
    std::FILE* file = std::fopen(argv[2], "wb");
    const std::string page = qv::bench::SamplePage();
    const bool ok =
        file != nullptr && std::fwrite(page.data(), 1, page.size(), file) == page.size();
    if (file != nullptr && std::fclose(file) != 0) return 1;
    return ok ? 0 : 1;
  }
  if (argc < 3 || argc > 5 || (argc == 5 && std::string(argv[4]) != "one-block")) {
    std::fprintf(stderr, "usage: %s --sample OUTPUT | OUTPUT MEGABYTES [SEED [one-block]]\n",
                 argv[0]);
    return 2;
  }
  const std::uint64_t bytes = std::strtoull(argv[2], nullptr, 10) << 20;
  const std::uint64_t seed = argc >= 4 ? std::strtoull(argv[3], nullptr, 10) : 1;
  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  const qv::bench::DetailKind kind =
      argc == 5 ? qv::bench::DetailKind::kOneBlock : qv::bench::DetailKind::kManyBlocks;
  const std::uint64_t written = qv::bench::WriteSyntheticDetail(file, bytes, seed, kind);
  if (std::fclose(file) != 0 || written == 0) {
    std::fprintf(stderr, "%s: write failed\n", argv[1]);
    return 1;
  }
  std::printf("%s: %llu bytes\n", argv[1], static_cast<unsigned long long>(written));
  return 0;
}
