#include "common/paths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "support/temp_folder.h"

namespace gantry {
namespace {

#ifdef _WIN32
constexpr char kSep = '\\';
#else
constexpr char kSep = '/';
#endif

std::string Native(std::string text) {
  for (char& c : text) {
    if (c == '|') c = kSep;
  }
  return text;
}

TEST(Paths, NamesFoldersAndExtensionsSplitAtTheLastSeparatorOfEitherKind) {
  const struct {
    const char *path, *name, *folder, *base, *extension;
  } cases[] = {
      // clang-format off
      {"C:\\a\\ship.hod",     "ship.hod",    "C:\\a",      "ship",     "hod"},
      {"data/ships/ship.HOD", "ship.HOD",    "data/ships", "ship",     "HOD"},
      {"C:\\a/b\\c.hod",      "c.hod",       "C:\\a/b",    "c",        "hod"},
      {"x\\y/z.hod",          "z.hod",       "x\\y",       "z",        "hod"},
      {"C:ship.hod",          "C:ship.hod",  "",           "C:ship",   "hod"},
      {"a.b.c",               "a.b.c",       "",           "a.b",      "c"},
      {"noext",               "noext",       "",           "noext",    ""},
      {"dir.v2/file",         "file",        "dir.v2",     "file",     ""},
      {"dir.v2\\file",        "file",        "dir.v2",     "file",     ""},
      {"dir/.hidden",         ".hidden",     "dir",        ".hidden",  ""},
      {"dir\\.hidden.txt",    ".hidden.txt", "dir",        ".hidden",  "txt"},
      {"trailing.",           "trailing.",   "",           "trailing", ""},
      {"folder/",             "",            "folder",     "",         ""},
      {"",                    "",            "",           "",         ""},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FileNameOf(c.path), c.name);
    EXPECT_EQ(FolderOf(c.path), c.folder);
    EXPECT_EQ(BaseName(c.path), c.base);
    EXPECT_EQ(ExtensionOf(c.path), c.extension);
  }
}

TEST(Paths, NativePathAndJoinPathUseTheNativeSeparator) {
  EXPECT_EQ(NativePath("C:\\a/b\\c.hod"), Native("C:|a|b|c.hod"));
  EXPECT_EQ(JoinPath("a", "b"), Native("a|b"));
  EXPECT_EQ(JoinPath("a/", "b"), "a/b");
  EXPECT_EQ(JoinPath("a\\", "b"), "a\\b");
  EXPECT_EQ(JoinPath("", "b"), "b");
}

// The bytes of a game text or a typed name, as the C library's fopen takes them (on Windows in
// the ANSI code page, where 0x80 is not U+0080), name the same file through std::filesystem.
TEST(Paths, FileSystemPathsNameTheFilesTheCLibraryOpens) {
  const testing::TempFolder folder;
  const std::filesystem::path& dir = folder.path();
  const std::string name = "caf\xe9 \x80.txt";
  const std::string path = JoinPath(PathText(dir), name);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fclose(file);

  EXPECT_TRUE(std::filesystem::is_regular_file(FileSystemPath(path)));
  EXPECT_EQ(PathText(FileSystemPath(path)), path);
  {  // Windows deletes no folder that is being listed.
    const auto entry = std::filesystem::directory_iterator(dir);
    ASSERT_NE(entry, std::filesystem::directory_iterator());
    EXPECT_EQ(PathText(entry->path().filename()), name);
  }
  EXPECT_EQ(FileSystemPath("a/b\\c"), std::filesystem::path(Native("a|b|c")));
}

}  // namespace
}  // namespace gantry
