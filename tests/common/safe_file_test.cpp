// A failed write never touches the old file and leaves nothing behind.
#include "common/safe_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "common/paths.h"
#include "support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#endif

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

std::span<const std::uint8_t> New() {
  static const std::string text = "new";
  return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TEST_F(SafeFileTest, AReplacedTargetKeepsItsPermissions) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have no permission bits beyond read-only, which is refused";
#endif
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(target_, mode);
  EXPECT_FALSE(
      WriteFileSafely(target_, [](std::FILE* file) { return std::fputs("new", file) >= 0; }));
  EXPECT_EQ(std::tuple(Contents(), fs::status(target_).permissions()), std::tuple("new", mode));
}

TEST_F(SafeFileTest, AFailingWriteKeepsTheOldFile) {
  const auto failure = WriteFileSafely(target_, [](std::FILE* file) {
    std::fputs("half of it", file);
    errno = ENOSPC;
    return false;
  });
  ASSERT_TRUE(failure);
  EXPECT_FALSE(failure->description.empty());
  EXPECT_EQ(std::tuple(failure->step, failure->code, Contents(), FilesInFolder()),
            std::tuple(FileWriteFailure::Step::Write, ENOSPC, "old contents", 1u));
}

TEST_F(SafeFileTest, MissingFolderAndUnreplaceableTargetAreReportedByStep) {
  const auto open = WriteFileSafely((dir_ / "no such folder" / "x.hod").string(),
                                    [](std::FILE*) { return true; });
  ASSERT_TRUE(open);
  // That the folder is named as the cause: SaveTest.AFailingStepAsksWhetherToGoOn.
  EXPECT_EQ(std::tuple(open->step, open->code), std::tuple(FileWriteFailure::Step::Open, ENOENT));

  // A folder in the target's place cannot be replaced by a file.
  const fs::path folder = dir_ / "taken";
  fs::create_directories(folder / "inside");
  const auto replace =
      WriteFileSafely(folder.string(), [](std::FILE* file) { return std::fputs("x", file) >= 0; });
  ASSERT_TRUE(replace);
  // ship.hod and the folder, no temporary file.
  EXPECT_EQ(std::tuple(replace->step, fs::is_directory(folder / "inside"), FilesInFolder()),
            std::tuple(FileWriteFailure::Step::Replace, true, 2u));
}

// What belongs to the file rather than to its data stays: on Windows its attributes.
TEST_F(SafeFileTest, AReplacedTargetKeepsItsWindowsAttributes) {
#ifndef _WIN32
  GTEST_SKIP() << "Windows file attributes";
#else
  const std::wstring wide = FileSystemPath(target_).wstring();
  ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  if ((GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN) == 0) {
    GTEST_SKIP() << "this file system keeps no hidden attribute";
  }
  EXPECT_FALSE(
      WriteFileSafely(target_, [](std::FILE* file) { return std::fputs("new", file) >= 0; }));
  EXPECT_EQ(Contents(), "new");
  EXPECT_NE(GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_EQ(FilesInFolder(), 1u);
#endif
}

// A modder links a work file into the game's folder: saving the link updates the game's file,
// through a chain of relative links in other folders, and every link stays a link.
TEST_F(SafeFileTest, SavingALinkReplacesTheFileItNames) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need a privilege on Windows";
#endif
  fs::create_directories(dir_ / "game");
  fs::create_directories(dir_ / "work");
  const fs::path real = dir_ / "game" / "real.hod";
  std::ofstream(real, std::ios::binary) << "old";
  fs::create_symlink(fs::path("..") / "game" / "real.hod", dir_ / "work" / "middle.hod");
  fs::create_symlink(fs::path("work") / "middle.hod", dir_ / "link.hod");
  EXPECT_FALSE(WriteFileSafely(PathText(dir_ / "link.hod"), New()));
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.hod"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "work" / "middle.hod"));
  std::ifstream in(real, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "game"), {}), 1);  // no temporary left
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
  EXPECT_FALSE(WriteFileSafely(target_, New()));
  std::FILE* file = std::fopen(target_.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  char read[8] = {};
  EXPECT_EQ(std::fread(read, 1, sizeof read, file), 3u);
  std::fclose(file);
  // ship.hod and the new file, no temporary left behind.
  EXPECT_EQ(std::tuple(std::string(read), FilesInFolder()), std::tuple("new", 2u));
}

}  // namespace
}  // namespace gantry
