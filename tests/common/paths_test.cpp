#include "common/paths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <tuple>

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
    EXPECT_EQ(
        std::tuple(FileNameOf(c.path), FolderOf(c.path), BaseName(c.path), ExtensionOf(c.path)),
        std::tuple(c.name, c.folder, c.base, c.extension))
        << c.path;
  }
}

// In code page 932 the second byte of many characters is 0x5C: "\x83\x5c" is one character, not
// a lead byte and a separator.
TEST(Paths, DoubleByteCharactersAreNotSplitAtTheirSecondByte) {
  const auto shift_jis = [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || c >= 0xE0; };
  const std::string folder = "\x83\x5c";  // a katakana SO
  const std::string path = folder + "\\" + folder + ".hod";
  EXPECT_EQ(LastSeparator(path, shift_jis), 2u);
  EXPECT_EQ(LastSeparator(folder + ".hod", shift_jis), std::string::npos);
  EXPECT_EQ(LastSeparator("a/b\\c"), 3u);
  EXPECT_EQ(LastSeparator("abc"), std::string::npos);
}

// A name from a model becomes one file name in the folder it is joined to.
TEST(Paths, SafeFileNamesStayInTheirFolderAndNameNoDevice) {
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {
      {"..\\..\\abc", ".._.._abc"}, {"../up", ".._up"}, {"..", ".._"}, {"", "_"},
      {"a:b*?\"<>|c", "a_b______c"}, {"tab\there\x7f", "tab_here_"}, {"dot.", "dot._"},
      {"blank ", "blank _"},
      {"con.obj", "_con.obj"}, {"Nul .txt", "_Nul .txt"}, {"lpt9.DDS", "_lpt9.DDS"},
      {"CONOUT$", "_CONOUT$"}, {"COM1_LOD0.obj", "COM1_LOD0.obj"}, {"COM10", "COM10"},
      {"Z\xfcrich", "Z\xfcrich"}};
  // clang-format on
  for (const auto& [name, safe] : cases) EXPECT_EQ(SafeFileName(name), safe) << name;
}

TEST(Paths, NativePathAndJoinPathUseTheNativeSeparator) {
  EXPECT_EQ(std::tuple(NativePath("C:\\a/b\\c.hod"), JoinPath("a", "b"), JoinPath("a/", "b"),
                       JoinPath("a\\", "b"), JoinPath("", "b")),
            std::tuple(Native("C:|a|b|c.hod"), Native("a|b"), "a/b", "a\\b", "b"));
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
