#include "common/paths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

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

TEST(Paths, SeparatorsAreBothSlashes) {
  EXPECT_TRUE(IsPathSeparator('\\'));
  EXPECT_TRUE(IsPathSeparator('/'));
  EXPECT_FALSE(IsPathSeparator(':'));
  EXPECT_FALSE(IsPathSeparator('.'));
}

TEST(Paths, FileNameAndFolderSplitAtTheLastSeparatorOfEitherKind) {
  EXPECT_EQ(FileNameOf("C:\\a\\ship.hod"), "ship.hod");
  EXPECT_EQ(FileNameOf("data/ships/ship.hod"), "ship.hod");
  EXPECT_EQ(FileNameOf("C:\\a/b\\c.hod"), "c.hod");
  EXPECT_EQ(FileNameOf("C:/a/b\\c.hod"), "c.hod");
  EXPECT_EQ(FileNameOf("ship.hod"), "ship.hod");
  EXPECT_EQ(FileNameOf("folder/"), "");

  EXPECT_EQ(FolderOf("C:\\a\\b.hod"), "C:\\a");
  EXPECT_EQ(FolderOf("data/ships/ship.hod"), "data/ships");
  EXPECT_EQ(FolderOf("x/y\\z.hod"), "x/y");
  EXPECT_EQ(FolderOf("x\\y/z.hod"), "x\\y");
  EXPECT_EQ(FolderOf("b.hod"), "");
  EXPECT_EQ(FolderOf(""), "");
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
  const std::pair<const char*, const char*> cases[] = {
      {"..\\..\\abc", ".._.._abc"},
      {"../up", ".._up"},
      {"..", ".._"},
      {".", "._"},
      {"", "_"},
      {"a:b*?\"<>|c", "a_b______c"},
      {"tab\there\x7f", "tab_here_"},
      {"dot.", "dot._"},
      {"blank ", "blank _"},
      {"CON", "_CON"},
      {"con.obj", "_con.obj"},
      {"Nul .txt", "_Nul .txt"},
      {"COM1_LOD0.obj", "COM1_LOD0.obj"},
      {"lpt9.DDS", "_lpt9.DDS"},
      {"CONOUT$", "_CONOUT$"},
      {"COM10", "COM10"},
      {"ship.hod", "ship.hod"},
      {"Z\xfcrich", "Z\xfcrich"},
  };
  for (const auto& [name, safe] : cases) EXPECT_EQ(SafeFileName(name), safe) << name;
}

TEST(Paths, BaseNameCutsOnlyTheLastExtensionOfTheFileName) {
  EXPECT_EQ(BaseName("C:\\mods\\ship.hod"), "ship");
  EXPECT_EQ(BaseName("mods/ship.hod"), "ship");
  EXPECT_EQ(BaseName("a.b.c"), "a.b");
  EXPECT_EQ(BaseName("noext"), "noext");
  EXPECT_EQ(BaseName("dir.v2/file"), "file");
  EXPECT_EQ(BaseName("dir.v2\\file"), "file");
  EXPECT_EQ(BaseName("dir/.hidden"), ".hidden");
  EXPECT_EQ(BaseName(".hidden"), ".hidden");
  EXPECT_EQ(BaseName("dir\\.hidden.txt"), ".hidden");
  EXPECT_EQ(BaseName("trailing."), "trailing");
}

TEST(Paths, ExtensionComesFromTheFileNameOnly) {
  EXPECT_EQ(ExtensionOf("ship.HOD"), "HOD");
  EXPECT_EQ(ExtensionOf("C:\\mods\\ship.hod"), "hod");
  EXPECT_EQ(ExtensionOf("a.b.c"), "c");
  EXPECT_EQ(ExtensionOf("noext"), "");
  EXPECT_EQ(ExtensionOf("dir.v2/file"), "");
  EXPECT_EQ(ExtensionOf("dir.v2\\file"), "");
  EXPECT_EQ(ExtensionOf("dir/.hidden"), "");
  EXPECT_EQ(ExtensionOf("trailing."), "");
}

TEST(Paths, NativePathConvertsEverySeparator) {
  EXPECT_EQ(NativePath("C:\\a/b\\c.hod"), Native("C:|a|b|c.hod"));
  EXPECT_EQ(NativePath("plain"), "plain");
  EXPECT_EQ(NativePath(""), "");
}

TEST(Paths, JoinPathAddsOneNativeSeparator) {
  EXPECT_EQ(JoinPath("a", "b"), Native("a|b"));
  EXPECT_EQ(JoinPath("a/", "b"), "a/b");
  EXPECT_EQ(JoinPath("a\\", "b"), "a\\b");
  EXPECT_EQ(JoinPath("", "b"), "b");
  EXPECT_EQ(JoinPath("C:\\mods", "ship.hod"), Native("C:\\mods|ship.hod"));
}

// The bytes of a game text or a typed name, as the C library's fopen takes them (on Windows in
// the ANSI code page, where 0x80 is not U+0080), name the same file through std::filesystem.
TEST(Paths, FileSystemPathsNameTheFilesTheCLibraryOpens) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "gantry_paths_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
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
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace gantry
