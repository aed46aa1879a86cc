#include "core/atomic_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/temp_folder.h"

namespace vexa {
namespace {

std::vector<std::byte> Text(const std::string& s) {
  std::vector<std::byte> out;
  for (char c : s) out.push_back(static_cast<std::byte>(c));
  return out;
}

TEST(WriteFileAtomic, CreatesAndReplacesWithoutLeavingTemporaries) {
  testing::TempFolder dir;
  const std::string path = dir.File("vexa.cfg");
  ASSERT_TRUE(WriteFileAtomic(path, Text("first, longer content")).ok);
  ASSERT_TRUE(WriteFileAtomic(path, Text("second")).ok);
  std::vector<std::byte> back;
  ASSERT_TRUE(ReadFileBytes(path, 100, back));
  EXPECT_EQ(back, Text("second"));
  EXPECT_EQ(dir.EntryCount(), 1);
  ASSERT_TRUE(ReadFileBytes(path, 3, back));  // reads stop at the limit
  EXPECT_EQ(back, Text("sec"));
}

TEST(WriteFileAtomic, ReportsAFolderThatDoesNotExist) {
  testing::TempFolder dir;
  const FileResult r = WriteFileAtomic(dir.File("no/such/folder.cfg"), Text("x"));
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("folder.cfg"), std::string::npos) << r.error;
  EXPECT_EQ(dir.EntryCount(), 0);
}

TEST(FileHelpers, MissingFilesAreNoErrorToDelete) {
  testing::TempFolder dir;
  const std::string path = dir.File("gone.pset");
  std::vector<std::byte> back;
  EXPECT_FALSE(FileExists(path));
  EXPECT_FALSE(ReadFileBytes(path, 10, back));
  EXPECT_TRUE(RemoveFile(path).ok);
  ASSERT_TRUE(WriteFileAtomic(path, Text("x")).ok);
  EXPECT_TRUE(FileExists(path));
  EXPECT_TRUE(RemoveFile(path).ok);
  EXPECT_FALSE(FileExists(path));
  EXPECT_FALSE(FileExists(dir.path()));  // a folder is not a file
}

}  // namespace
}  // namespace vexa
