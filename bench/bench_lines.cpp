// Decoding speed on detail-like texts, and the time to read a large file in
// blocks and split it into lines. Usage: bench_lines [megabytes, default 300]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "runtime/encodings.h"
#include "runtime/line_stream.h"
#include "runtime/platform.h"

namespace {

// Processor time, not wall time: the figures stay put on a busy machine.
double SecondsSince(std::clock_t start) {
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

std::string Repeat(const std::string& piece, std::size_t size) {
  std::string out;
  out.reserve(size + piece.size());
  while (out.size() < size) out += piece;
  return out;
}

void MeasureDecode(const char* name, const std::string& text) {
  std::u16string out;
  std::size_t units = 0;
  const int rounds = 10;
  const std::clock_t start = std::clock();
  for (int i = 0; i < rounds; ++i) {
    out = qv::DecodeUtf8(text);
    units += out.size();
  }
  double seconds = SecondsSince(start);
  std::printf("decode %-22s %8.0f MB/s (%zu code units)\n", name,
              static_cast<double>(text.size()) * rounds / seconds / 1e6, units / rounds);
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 300;
  // "Исходящий звонок на номер Москва" and similar: pure Cyrillic words.
  const std::string cyrillic =
      "\xD0\x98\xD1\x81\xD1\x85\xD0\xBE\xD0\xB4\xD1\x8F\xD1\x89\xD0\xB8\xD0\xB9 "
      "\xD0\xB7\xD0\xB2\xD0\xBE\xD0\xBD\xD0\xBE\xD0\xBA "
      "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 ";
  const std::string row = "<tr><td>01.03.2011</td><td>12:34:56</td><td>79161234567</td><td>" +
                          cyrillic + "</td><td>0:01:23</td><td>1,50</td></tr>\r\n";
  MeasureDecode("Cyrillic words", Repeat(cyrillic, 64 << 20));
  MeasureDecode("HTML rows", Repeat(row, 64 << 20));

  const char* path = "/tmp/qv_bench_lines.html";
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::string block = Repeat(row, 1 << 20);
    for (std::size_t written = 0; written < (megabytes << 20); written += block.size()) {
      file.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
  }
  qv::platform::File file;
  if (file.Open(path, qv::platform::File::Access::kRead) != 0) return 1;
  qv::LineStream lines;
  std::size_t count = 0;
  auto wallStart = std::chrono::steady_clock::now();
  const std::clock_t start = std::clock();
  for (;;) {
    const std::span<char> space = lines.Space(128 * 1024);
    const std::int64_t got = file.Read(space.data(), space.size());
    if (got <= 0) break;
    lines.Added(static_cast<std::size_t>(got));
    for (std::string_view line; lines.Next(line);) ++count;
  }
  double seconds = SecondsSince(start);
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  std::printf("read+split %zu MB: %.3f s processor (%.3f s wall), %zu lines\n", megabytes, seconds,
              wall, count);
  std::remove(path);
  return 0;
}
