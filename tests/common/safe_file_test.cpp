// A failed write never touches the old file and leaves nothing behind.
#include "common/safe_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "common/paths.h"
#include "support/temp_folder.h"

namespace gantry {
namespace {

namespace fs = std::filesystem;

class SafeFileTest : public ::testing::Test {
 protected:
  std::string Contents() const { return testing::FileText(target_); }
  std::size_t FilesInFolder() const { return folder_.FileCount(); }

  testing::TempFolder folder_;
  const fs::path& dir_ = folder_.path();
  std::string target_ = folder_.Write("ship.hod", "old contents");
};

TEST_F(SafeFileTest, ReplacesTheTargetOnSuccess) {
  const std::string text = "new";
  EXPECT_FALSE(WriteFileSafely(
      target_, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
  EXPECT_EQ(Contents(), "new");
  EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(SafeFileTest, AReplacedTargetKeepsItsPermissions) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have no permission bits beyond read-only, which is refused";
#endif
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(target_, mode);
  EXPECT_FALSE(
      WriteFileSafely(target_, [](std::FILE* file) { return std::fputs("new", file) >= 0; }));
  EXPECT_EQ(Contents(), "new");
  EXPECT_EQ(fs::status(target_).permissions(), mode);
}

TEST_F(SafeFileTest, AFailingWriteKeepsTheOldFile) {
  const auto failure = WriteFileSafely(target_, [](std::FILE* file) {
    std::fputs("half of it", file);
    errno = ENOSPC;
    return false;
  });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->step, FileWriteFailure::Step::Write);
  EXPECT_EQ(failure->code, ENOSPC);
  EXPECT_FALSE(failure->description.empty());
  EXPECT_EQ(Contents(), "old contents");
  EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(SafeFileTest, MissingFolderAndUnreplaceableTargetAreReportedByStep) {
  const auto open = WriteFileSafely((dir_ / "no such folder" / "x.hod").string(),
                                    [](std::FILE*) { return true; });
  ASSERT_TRUE(open);
  EXPECT_EQ(open->step, FileWriteFailure::Step::Open);
  EXPECT_EQ(open->code, ENOENT);

  // A folder in the target's place cannot be replaced by a file.
  const fs::path folder = dir_ / "taken";
  fs::create_directories(folder / "inside");
  const auto replace =
      WriteFileSafely(folder.string(), [](std::FILE* file) { return std::fputs("x", file) >= 0; });
  ASSERT_TRUE(replace);
  EXPECT_EQ(replace->step, FileWriteFailure::Step::Replace);
  EXPECT_TRUE(fs::is_directory(folder / "inside"));
  EXPECT_EQ(FilesInFolder(), 2u);  // ship.hod and the folder, no temporary file
}

// Non-ASCII names are bytes in the system's narrow encoding (the ANSI code page on Windows), as
// a user's path arrives; the saved file is the one the C library opens under that name.
TEST_F(SafeFileTest, ReplacesATargetWithANonAsciiName) {
  target_ = PathText(dir_ / "ship") + "\xe9\x80.hod";
  {
    std::FILE* old = std::fopen(target_.c_str(), "wb");
    ASSERT_NE(old, nullptr);
    std::fputs("old", old);
    std::fclose(old);
  }
  const std::string text = "new";
  EXPECT_FALSE(WriteFileSafely(
      target_, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
  std::FILE* file = std::fopen(target_.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  char read[8] = {};
  EXPECT_EQ(std::fread(read, 1, sizeof read, file), 3u);
  std::fclose(file);
  EXPECT_EQ(std::string(read), "new");
  EXPECT_EQ(FilesInFolder(), 2u);  // ship.hod and the new file, no temporary left behind
}

}  // namespace
}  // namespace gantry
