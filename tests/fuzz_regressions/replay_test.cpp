// The seeds of the fuzz corpora and every input a fuzzer once failed on, run
// through the fuzz checks as plain tests, so that they run with every
// compiler and under Wine too.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "../../fuzz/conversion_check.h"
#include "../../fuzz/dates_numbers_check.h"
#include "../../fuzz/naming_check.h"
#include "../../fuzz/scanner_check.h"
#include "../../fuzz/utf8_check.h"
#include "support/temp_folder.h"

namespace qv::fuzz {
namespace {

namespace fs = std::filesystem;

struct Target {
  const char* name;
  std::string (*check)(std::string_view data);
};

const Target kTargets[] = {
    {"scanner", CheckScanner},       {"utf8", CheckUtf8},     {"dates_numbers", CheckDatesNumbers},
    {"conversion", CheckConversion}, {"naming", CheckNaming},
};

// The committed seeds, then the inputs kept here, named by what they found.
std::vector<fs::path> InputsOf(const std::string& target) {
  std::vector<fs::path> files;
  for (const fs::path& dir : {fs::path(QV_SOURCE_DIR) / "fuzz" / "corpus" / target,
                              fs::path(QV_SOURCE_DIR) / "tests" / "fuzz_regressions" / target}) {
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string Bytes(const fs::path& file) {
  const std::optional<std::string> bytes = test::TempFolder::Read(file.string());
  EXPECT_TRUE(bytes.has_value()) << file;
  return bytes.value_or("");
}

class FuzzInputs : public testing::TestWithParam<Target> {};

TEST_P(FuzzInputs, PassTheirChecks) {
  const std::vector<fs::path> files = InputsOf(GetParam().name);
  ASSERT_FALSE(files.empty());
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    EXPECT_EQ(GetParam().check(Bytes(file)), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzInputs, testing::ValuesIn(kTargets),
                         [](const testing::TestParamInfo<Target>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace qv::fuzz
