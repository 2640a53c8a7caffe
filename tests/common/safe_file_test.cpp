// A failed write never touches the old file and leaves nothing behind.
#include "common/safe_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace gantry {
namespace {

namespace fs = std::filesystem;

class SafeFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() /
        ("gantry_safe_file_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    target_ = (dir_ / "ship.hod").string();
    std::ofstream(target_, std::ios::binary) << "old contents";
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Contents() const {
    std::ifstream in(target_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }

  fs::path dir_;
  std::string target_;
};

TEST_F(SafeFileTest, ReplacesTheTargetOnSuccess) {
  const std::string text = "new";
  EXPECT_FALSE(WriteFileSafely(
      target_, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
  EXPECT_EQ(Contents(), "new");
  EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(SafeFileTest, AReplacedTargetKeepsItsPermissions) {
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

}  // namespace
}  // namespace gantry
