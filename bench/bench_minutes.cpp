// Holds the integer minute texts against x87 extended precision, the way
// they were computed before: the boundary totals, then random totals drawn
// evenly from the reachable range and log-uniformly, then log-uniformly up
// to 2^40 seconds. Prints the counts, the mismatches (the first few in full)
// and the time.
//   bench_minutes [RANDOM_TOTALS]   (default 100000000, for each of the two
//   spreads over the reachable range; a tenth of it up to 2^40)
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "runtime/numbers.h"
#include "support/x87_minutes.h"

#ifdef QV_HAS_X87_MODEL
namespace {

struct Tally {
  std::uint64_t compared = 0;
  std::uint64_t mismatched = 0;

  void Compare(std::int64_t total) {
    ++compared;
    const std::string exact = qv::MinuteText(total, ',');
    const std::string x87 = qv::test::x87::MinuteText(total, ',');
    if (exact == x87) return;
    if (++mismatched <= 10) {
      std::printf("  mismatch at %" PRId64 ": %s, x87 %s\n", total, exact.c_str(), x87.c_str());
    }
  }
};

void Report(const char* what, const Tally& tally, std::chrono::steady_clock::time_point start) {
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-36s %12" PRIu64 " compared, %" PRIu64 " mismatched, %.1f s\n", what,
              tally.compared, tally.mismatched, seconds);
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 100000000;
  std::mt19937_64 random(20110305);
  std::uint64_t mismatched = 0;
  struct Run {
    const char* what;
    std::uint64_t count;
    bool logUniform;
    std::int64_t highest;
  };
  const Run runs[] = {
      {"even over the reachable range", count, false, qv::test::kHighestTotal},
      {"log-uniform over the reachable range", count, true, qv::test::kHighestTotal},
      {"log-uniform up to 2^40", count / 10, true, std::int64_t{1} << 40},
  };
  auto start = std::chrono::steady_clock::now();
  Tally boundaries;
  for (std::int64_t total : qv::test::BoundaryTotals()) boundaries.Compare(total);
  Report("boundaries", boundaries, start);
  mismatched += boundaries.mismatched;
  for (const Run& run : runs) {
    start = std::chrono::steady_clock::now();
    Tally tally;
    for (std::uint64_t i = 0; i < run.count; ++i) {
      tally.Compare(qv::test::RandomTotal(random, run.logUniform, run.highest));
    }
    Report(run.what, tally, start);
    mismatched += tally.mismatched;
  }
  std::printf("%s\n", mismatched == 0 ? "IDENTICAL" : "MISMATCHES");
  return mismatched == 0 ? 0 : 1;
}
#else
int main() {
  std::printf("long double is not the x87 type here: nothing to compare with\n");
  return 0;
}
#endif
