// The text file rewrite: line breaks unified, empty lines dropped, the file replaced only whole.
#include "interchange/text_rewrite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "common/paths.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry::testing {
namespace {

namespace fs = std::filesystem;

class TextRewriteTest : public ::testing::Test {
 protected:
  void Write(const std::string& contents) { std::ofstream(path_, std::ios::binary) << contents; }
  // Opened by its narrow name, as Write does: on Windows a path object would read the bytes as
  // UTF-8 rather than the ANSI code page.
  std::string Contents() const {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::size_t FilesInFolder() const { return folder_.FileCount(); }

  TempFolder folder_;
  const fs::path& dir_ = folder_.path();
  std::string path_ = folder_.Path("ship.hsc");
  ScriptedUi ui_;
};

TEST(NormaliseLineBreaks, EveryBreakEndsALineAndEmptyLinesGo) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"a\r\nb", "a\r\nb\r\n"},
      {"a\rb\nc\n\r\n", "a\r\nb\r\nc\r\n"},
      {"\n\n  \n\tx", "  \r\n\tx\r\n"},  // blank-only lines are lines like any other
      {"\r\n\r", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(NormaliseLineBreaks(c.in), c.out) << c.in;
}

// Lines cut at every CR and LF, the plain way.
std::vector<std::string> ReferenceLines(std::string_view text) {
  std::vector<std::string> lines(1);
  for (const char c : text) {
    if (c == '\r' || c == '\n') {
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  std::erase(lines, "");
  return lines;
}

TEST(NormaliseLineBreaks, LinesAndTheShapeCheckAgreeWithThePlainRewrite) {
  // Every short text over a, CR and LF, then long ones whose bytes lie next to CR and LF in
  // value (or differ in the top bit only), cutting lines across eight-byte words.
  std::vector<std::string> texts = {""};
  for (std::size_t from = 0; texts.size() < 3280; ++from) {
    for (const char c : {'a', '\r', '\n'}) texts.push_back(texts[from] + c);
  }
  std::mt19937 rng(11);
  const std::string bytes = "ab \t\r\n\x0c\x0e\x8d\x8a\x09\x0b\x00\xff";
  for (int i = 0; i < 3000; ++i) {
    std::string text(rng() % 120, 'x');
    for (char& c : text) c = rng() % 4 == 0 ? bytes[rng() % bytes.size()] : 'q';
    texts.push_back(text);
    texts.push_back(NormaliseLineBreaks(text));
  }
  for (const std::string& text : texts) {
    std::vector<std::string> lines;
    ForEachTextLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
    ASSERT_EQ(lines, ReferenceLines(text)) << ::testing::PrintToString(text);
    ASSERT_EQ(HasNormalLineBreaks(text), NormaliseLineBreaks(text) == text)
        << ::testing::PrintToString(text);
  }
}

TEST_F(TextRewriteTest, RewritesInPlaceAndRemovesTheBackup) {
  EXPECT_EQ(BackupPathFor(path_), (dir_ / "ship_BAK.hsc").string());
  Write("v 1 2 3\n\nf 1 1 1\r");
  const TextRewrite result = RewriteTextFile(path_, ui_);
  EXPECT_EQ(
      std::tuple(result.status, Contents(), result.text, FilesInFolder(), ui_.messages.size()),
      std::tuple(TextRewriteStatus::Rewritten, "v 1 2 3\r\nf 1 1 1\r\n", "v 1 2 3\r\nf 1 1 1\r\n",
                 1u, 0u));
}

// The name's bytes are in the system's narrow encoding (the ANSI code page on Windows).
TEST_F(TextRewriteTest, RewritesAFileWithANonAsciiName) {
  path_ = JoinPath(PathText(dir_), "caf\xe9\x80.obj");
  Write("v 1 2 3\nf 1 1 1");
  EXPECT_EQ(RewriteTextFile(path_, ui_).status, TextRewriteStatus::Rewritten);
  EXPECT_EQ(std::tuple(Contents(), FilesInFolder()), std::tuple("v 1 2 3\r\nf 1 1 1\r\n", 1u));
}

TEST_F(TextRewriteTest, EmptyOrUnreadableFilesAreReportedAndLeftAlone) {
  Write("");
  EXPECT_EQ(RewriteTextFile(path_, ui_).status, TextRewriteStatus::Empty);
  EXPECT_EQ(std::tuple(ui_.MessageTexts(), ui_.messages.at(0).icon, FilesInFolder()),
            std::tuple(std::vector<std::string>{"File is empty!"}, Icon::None, 1u));
  EXPECT_EQ(RewriteTextFile((dir_ / "missing.obj").string(), ui_).status,
            TextRewriteStatus::Unreadable);
  EXPECT_EQ(ui_.messages.size(), 2u);
}

TEST_F(TextRewriteTest, AFailedRewriteKeepsTheOriginal) {
  Write("a\nb");
  fs::create_directory(BackupPathFor(path_));  // the backup cannot be made
  const TextRewrite result = RewriteTextFile(path_, ui_);
  EXPECT_EQ(std::tuple(result.status, result.text, Contents()),
            std::tuple(TextRewriteStatus::NotWritten, "a\r\nb\r\n", "a\nb"));
  Write("a\r\nb\r\n");  // already in shape: nothing is written, so nothing fails
  const TextRewrite kept = RewriteTextFile(path_, ui_);
  EXPECT_EQ(std::tuple(kept.status, kept.text),
            std::tuple(TextRewriteStatus::Rewritten, "a\r\nb\r\n"));
}

}  // namespace
}  // namespace gantry::testing
