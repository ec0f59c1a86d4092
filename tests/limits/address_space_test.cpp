// A detail of 1 GiB converts in an address space of 256 MiB, to the bytes it
// gives without the limit: memory follows the longest line or row, not the
// file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "../../bench/detail_generator.h"
#include "convert/conversion.h"
#include "support/temp_folder.h"

namespace {

constexpr std::uint64_t kDetailBytes = std::uint64_t{1} << 30;
constexpr rlim_t kAddressSpace = rlim_t{256} << 20;

// Converts in a child process, under the limit when one is given; its exit
// status is 0 after a conversion that succeeded.
int ConvertInChild(const std::string& input, const std::string& output, rlim_t limit) {
  const pid_t child = fork();
  if (child == 0) {
    const rlimit bound{limit, limit};
    if (limit != RLIM_INFINITY && setrlimit(RLIMIT_AS, &bound) != 0) _exit(3);
    try {
      qv::ConvertDetail(input, output, {','});
    } catch (const std::exception& error) {
      std::fprintf(stderr, "%s\n", error.what());
      _exit(1);
    }
    _exit(0);
  }
  int status = -1;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream first(a, std::ios::binary);
  std::ifstream second(b, std::ios::binary);
  return first && second &&
         std::equal(std::istreambuf_iterator<char>(first), std::istreambuf_iterator<char>(),
                    std::istreambuf_iterator<char>(second), std::istreambuf_iterator<char>());
}

TEST(AddressSpace, AGibibyteDetailConvertsIn256MiB) {
  qv::test::TempFolder folder("qv_limits_");
  const std::string detail = folder.Path("detail.html");
  std::FILE* file = std::fopen(detail.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  const std::uint64_t written = qv::bench::WriteSyntheticDetail(file, kDetailBytes, 1);
  ASSERT_EQ(std::fclose(file), 0);
  ASSERT_GE(written, kDetailBytes);

  ASSERT_EQ(ConvertInChild(detail, folder.Path("free.xml"), RLIM_INFINITY), 0);
  ASSERT_EQ(ConvertInChild(detail, folder.Path("limited.xml"), kAddressSpace), 0);
  EXPECT_TRUE(SameBytes(folder.Path("free.xml"), folder.Path("limited.xml")));
}

}  // namespace
