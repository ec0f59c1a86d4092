#include <gtest/gtest.h>

#include <string>

#include "runtime/platform.h"
#include "support/temp_folder.h"

namespace qv::platform {
namespace {

TEST(FileTest, WritesAndReadsBackEveryByte) {
  test::TempFolder dir;
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i * 7);
  const std::string path = dir.Path("bytes.bin");
  File out;
  ASSERT_EQ(out.Open(path.c_str(), File::Access::kCreateNew), 0);
  ASSERT_TRUE(out.WriteAll(bytes.data(), bytes.size()));
  out.Close();

  File in;
  ASSERT_EQ(in.Open(path.c_str(), File::Access::kRead), 0);
  std::string back(bytes.size() + 10, '\0');
  EXPECT_EQ(in.Read(back.data(), back.size()), static_cast<std::int64_t>(bytes.size()));
  back.resize(bytes.size());
  EXPECT_EQ(back, bytes);
  EXPECT_EQ(in.Read(back.data(), 1), 0);
}

// A new file never replaces one that is there; an existing one opens for
// writing as it stands.
TEST(FileTest, NewFilesAndExistingOnes) {
  test::TempFolder dir;
  const std::string path = dir.Write("old.txt", "old content");
  File out;
  EXPECT_EQ(out.Open(path.c_str(), File::Access::kCreateNew), 80);
  ASSERT_EQ(out.Open(path.c_str(), File::Access::kWriteExisting), 0);
  ASSERT_TRUE(out.WriteAll("new", 3));
  out.Close();
  EXPECT_EQ(test::TempFolder::Read(path), "new content");
}

TEST(FileTest, FailuresGiveWindowsCodes) {
  test::TempFolder dir;
  dir.Write("file.txt", "x");
  struct Case {
    std::string path;
    bool write;
    int code;
  };
  const Case cases[] = {
      {dir.Path("missing.txt"), false, 2},
      {"", false, 2},
      {"", true, 2},
      {dir.Path("no-folder/a.txt"), false, 3},
      {dir.Path("no-folder/a.txt"), true, 3},
      {dir.Path("file.txt/a.txt"), false, 3},
      {dir.Path(""), false, 5},
      {dir.Path(""), true, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + (c.write ? " for writing" : " for reading"));
    File file;
    const File::Access access = c.write ? File::Access::kWriteExisting : File::Access::kRead;
    EXPECT_EQ(file.Open(c.path.c_str(), access), c.code);
    EXPECT_FALSE(file.IsOpen());
  }
}

TEST(FileTest, ClosedFileNeitherReadsNorWrites) {
  File file;
  char byte;
  EXPECT_EQ(file.Read(&byte, 1), -1);
  EXPECT_FALSE(file.WriteAll("x", 1));
  EXPECT_EQ(file.LastError(), 6);
}

}  // namespace
}  // namespace qv::platform
