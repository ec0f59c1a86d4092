// PlugInNameDetal and PlugInDoFile at the boundary: what the host sees when
// the work behind them fails or succeeds.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "detect/recognition.h"
#include "host_text.h"
#include "plugin/qvmtsfrs.h"
#include "support/host_text_probe.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

std::string LastError() {
  unsigned char buffer[256];
  std::memset(buffer, 0xEE, sizeof buffer);
  PlugInLastError(buffer);
  return std::string(reinterpret_cast<char*>(buffer + 1), buffer[0]);
}

class WorkingExports : public ::testing::Test {
 protected:
  std::string PathOf(const char* name) const { return folder_.Path(name); }

  qv::test::TempFolder folder_{"qv_plugin_"};
};

TEST_F(WorkingExports, FailedNamingLeavesEmptyNameAndAMessage) {
  const std::string missing = PathOf("missing.html");
  struct Case {
    const char* name;
    const char* path;
  } cases[] = {{"missing file", missing.c_str()}, {"null path", nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    unsigned char buffer[256];
    std::memset(buffer, 'z', sizeof buffer);
    if (c.path != nullptr) {
      qv::HostText path(c.path);
      PlugInNameDetal(buffer, path.get());
      EXPECT_EQ(qv::test::ReferenceCountOf(path.get()), 1u);
    } else {
      PlugInNameDetal(buffer, nullptr);
    }
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], 'z');
    EXPECT_NE(LastError(), "");
  }
}

TEST_F(WorkingExports, NameDetalWithoutBufferFailsQuietly) {
  qv::HostText path(PathOf("missing.html"));
  PlugInNameDetal(nullptr, path.get());
  EXPECT_NE(LastError(), "");
}

TEST_F(WorkingExports, FailedConversionReturnsFalseAndAMessage) {
  qv::HostText input(PathOf("missing.html"));
  qv::HostText output(PathOf("report.xml"));
  EXPECT_EQ(PlugInDoFile(input.get(), output.get()) & 0xFF, 0);
  EXPECT_NE(LastError(), "");
  EXPECT_FALSE(fs::exists(PathOf("report.xml")));
  EXPECT_EQ(qv::test::ReferenceCountOf(input.get()), 1u);
  EXPECT_EQ(qv::test::ReferenceCountOf(output.get()), 1u);
}

TEST_F(WorkingExports, SuccessfulCallClearsTheMessage) {
  qv::HostText missing(PathOf("missing.html"));
  unsigned char buffer[256];
  PlugInNameDetal(buffer, missing.get());
  ASSERT_NE(LastError(), "");

  qv::HostText path(folder_.Write("plain.txt", "not a detail\n"));
  PlugInNameDetal(buffer, path.get());
  if (LastError() == "not yet built") GTEST_SKIP() << "recognition is not built yet";
  EXPECT_EQ(LastError(), "");
  EXPECT_EQ(buffer[0], 0);
}

TEST_F(WorkingExports, LongDisplayNameArrivesCutTo255Bytes) {
  // The display name ends with the file name, so a long file name makes it long.
  fs::path directory = folder_.Folder();
#ifdef _WIN32
  // Windows paths stop at 260 bytes: the file goes near the root of the drive.
  directory = fs::temp_directory_path().root_path() / "qvlong";
  fs::create_directories(directory);
  struct Cleanup {
    fs::path directory;
    ~Cleanup() { fs::remove_all(directory); }
  } cleanup{directory};
#endif
  const std::string path = (directory / (std::string(245, 'n') + ".html")).string();
  fs::copy_file(fs::path(QV_SOURCE_DIR) / "examples" / "sample.html", path);
  const std::string whole = qv::NameDetail(path, qv::UserLocaleFormats(), qv::SystemLocalDate);
  ASSERT_GT(whole.size(), 255u);

  unsigned char buffer[257];
  std::memset(buffer, 0xEE, sizeof buffer);
  qv::HostText hostPath(path);
  PlugInNameDetal(buffer, hostPath.get());
  EXPECT_EQ(LastError(), "");
  ASSERT_EQ(buffer[0], 255);
  EXPECT_EQ(std::string_view(reinterpret_cast<char*>(buffer + 1), 255),
            std::string_view(whole).substr(0, 255));
  EXPECT_EQ(buffer[256], 0xEE);
}

}  // namespace
