// Texture files on disk: exact headers, round trips, the "[x]" names, the editor's texture
// commands and the real tagged textures.
#include "commands/texture_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "commands/element_messages.h"
#include "common/paths.h"
#include "hod/textures.h"
#include "interchange/dds.h"
#include "interchange/texture_files.h"
#include "interchange/texture_messages.h"
#include "interchange/tga.h"
#include "support/corpus.h"
#include "support/model_parts.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry {
namespace {

namespace fs = std::filesystem;
namespace msg = texture_messages;
using testing::FileBytes;
using testing::ScriptedUi;

std::uint32_t Word(const std::vector<std::uint8_t>& file, std::size_t at) {
  std::uint32_t value;
  std::memcpy(&value, &file[at], 4);
  return value;
}

using testing::SampleTexture;

TEST(TextureNameTest, TagGoesAfterPsd) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"C:\\t\\ship[1].tga", "C:\\t\\ship.PSD[1]"},
      {"/mod/hull[2].DDS", "/mod/hull.PSD[2]"},
      {"hull[12].dds", "\\hull[.PSD12]"},  // the tag is three characters
      {"C:\\t\\ship.tga", std::nullopt},
      {"C:\\t\\CRY1top1_EXPORT[1]_DIFF.TGA", std::nullopt},
  };
  for (const auto& [path, name] : cases) EXPECT_EQ(TextureNameFromFile(path), name) << path;
}

class TextureFileTest : public ::testing::Test {
 protected:
  TextureFileTest() { workspace_.working_folder = dir_.string(); }
  std::string Path(const std::string& name) const { return folder_.Path(name); }
  void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    folder_.Write(name, std::string(bytes.begin(), bytes.end()));
  }

  testing::TempFolder folder_;
  const fs::path& dir_ = folder_.path();
  Workspace workspace_;
  ScriptedUi ui_;
};

TEST_F(TextureFileTest, ExportThenImportReproducesTheTexture) {
  for (const char* format : {"8888", "DXT1", "DXT5"}) {
    for (int levels : {1, 3, 9}) {
      SCOPED_TRACE(std::string(format) + " " + std::to_string(levels));
      const bool tga = format[0] == '8';
      const std::string file = Path(tga ? "hull[2].tga" : "hull[2].dds");
      const Texture texture = SampleTexture(Path("hull.PSD[2]"), format, 256, 128, levels);
      ScriptedUi ui;
      ASSERT_EQ(
          tga ? ExportTGATexture(texture, file, "", ui) : ExportDDSTexture(texture, file, "", ui),
          file);
      EXPECT_EQ(ui.progress.back(), std::make_pair(std::int64_t{0}, std::int64_t{levels}));
      const auto bytes = FileBytes(file);
      Texture expected = texture;
      if (tga) {
        EXPECT_EQ(MipLevel(bytes.begin(), bytes.begin() + 18),
                  MipLevel({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 128, 0, 32, 8}));
        EXPECT_EQ(std::string(bytes.end() - 18, bytes.end() - 1), msg::kTgaSignature);
        // Levels past the first stand where the footer is looked for.
        expected.MipCount = 1;
        expected.MipLevels.resize(1);
      } else {
        EXPECT_EQ(std::tuple(std::string(bytes.begin(), bytes.begin() + 4), Word(bytes, 8),
                             Word(bytes, 20), Word(bytes, 28), Word(bytes, 108)),
                  std::tuple("DDS ", 0x000A1007u, format[3] == '1' ? 16384u : 32768u,
                             static_cast<std::uint32_t>(levels), 0x00401008u));
        ASSERT_TRUE(WriteDDSPreviewFile(texture, dir_.string(), ui));
        const auto preview = FileBytes(Path(msg::kPreviewFileName));
        EXPECT_EQ(preview.size(), 128 + texture.MipLevels[0].size());
        EXPECT_EQ(std::make_tuple(Word(preview, 8), Word(preview, 28), Word(preview, 108)),
                  std::make_tuple(0x00081007u, 0u, 0x00001000u));
      }
      const auto back = tga ? ImportTGATexture(file, ui) : ImportDDSTexture(file, ui);
      ASSERT_TRUE(back);
      EXPECT_EQ(*back, expected);
      EXPECT_EQ(ui.messages.size(), tga && levels > 1 ? 1u : 0u);
    }
  }
}

TEST_F(TextureFileTest, AutomaticNamesSkipFilesInUse) {
  Write("hull.TGA", {1});
  Write("hull[2].TGA", {1});
  Write("ship.TGA", {});
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\m\\hull.PSD[2]", "hull[3].TGA"},     {"C:\\m\\hull.PSD[3]", "hull[3].TGA"},
      {"C:\\m\\hull.PSD[1]", "hull.TGA"},        {"C:\\m\\ship.PSD[2]", "ship.TGA"},
      {"New Texture 1", "New Texture 1[1].TGA"},
  };
  for (const auto& [name, file] : cases) {
    Texture texture;
    texture.FileName = name;
    EXPECT_EQ(AutomaticExportPath(texture, dir_.string(), msg::kTgaExtension), Path(file)) << name;
  }
}

TEST_F(TextureFileTest, ReplaceChecksSelectionFileTagAndEnding) {
  HodModel& model = workspace_.model;
  model.Textures = {SampleTexture("old", "DXT1", 4, 4, 1)};
  const Texture old = model.Textures[0];
  // A file name's bytes are in the system's narrow encoding (on Windows the ANSI code page), both
  // to open the file and in the texture's name, the game's single-byte text.
  const std::string accented = JoinPath(PathText(dir_), "n\xe9w\x80[1].tga");
  ASSERT_TRUE(ExportTGATexture(SampleTexture("new", "8888", 2, 2, 1), accented, "", ui_));
  Write("empty[1].tga", {});
  Write("new[1].png", {1});
  Write("new.tga", {1});

  EXPECT_FALSE(ReplaceTexture(model, std::nullopt, ui_).changed);
  for (const char* file : {"empty[1].tga", "new[1].png", "new.tga"}) {
    ui_.files = {Path(file)};
    EXPECT_FALSE(ReplaceTexture(model, 0, ui_).changed);
  }
  EXPECT_FALSE(fs::exists(Path("empty[1].tga")));
  EXPECT_EQ(ui_.MessageTexts(),
            std::vector<std::string>(
                {element_messages::kSelectTexture, "Unknown texture format: .PNG", msg::kNoTag}));
  EXPECT_EQ(model.Textures[0], old);
  ui_.files = {accented};
  EXPECT_EQ(ReplaceTexture(model, 0, ui_).select, 0u);
  EXPECT_EQ(model.Textures[0].FileName, JoinPath(PathText(dir_), "n\xe9w\x80.PSD[1]"));
}

TEST_F(TextureFileTest, ExportsByFormatAndPreviewsThroughTheTempFolder) {
  HodModel& model = workspace_.model;
  Texture bgra = SampleTexture("C:\\m\\ship.PSD[1]", "8888", 1, 2, 1);
  bgra.MipLevels[0] = {1, 2, 3, 4, 5, 6, 7, 8};
  Texture blank = SampleTexture("C:\\m\\x.PSD[1]", "DXT1", 4, 4, 1);
  blank.Format = "    ";
  model.Textures = {bgra, SampleTexture("C:\\m\\hull.PSD[1]", "DXT1", 4, 4, 1), blank};
  EXPECT_FALSE(ExportAllTextures(workspace_, ui_));
  EXPECT_EQ(FileBytes(Path("ship.TGA")).size(), 18u + 8u + 26u);
  EXPECT_EQ(FileBytes(Path("hull.DDS")).size(), 128u + 8u);
  EXPECT_FALSE(ExportSelectedTexture(workspace_, 3, ui_));
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>({"Unknown Pixel Format:     ",
                                                          element_messages::kSelectTexture}));

  const fs::path temp = dir_ / "temp";
  fs::create_directories(temp);
  ui_.messages.clear();
  const auto shown = PreviewTexture(model, 0, temp.string(), ui_);
  ASSERT_TRUE(shown);
  // The bottom row of the data comes out on top, red first.
  EXPECT_EQ(shown->pixels, std::vector<std::uint8_t>({7, 6, 5, 8, 3, 2, 1, 4}));
  EXPECT_TRUE(PreviewTexture(model, 1, temp.string(), ui_));
  EXPECT_FALSE(PreviewTexture(model, 2, temp.string(), ui_));
  model.Textures[1].Format = "DXT2";
  EXPECT_FALSE(PreviewTexture(model, 1, temp.string(), ui_));
  EXPECT_EQ(ui_.MessageTexts(),
            std::vector<std::string>({"Unknown Pixel Format:     ", msg::kCouldntExtract,
                                      "Unknown pixel format: DXT2"}));
  EXPECT_TRUE(fs::is_empty(temp));
}

TEST_F(TextureFileTest, RealTaggedTexturesImport) {
  const std::string dds[] = {
      testing::CorpusOtherFile("Real-Gecko__hw2-complex__orangetext[2].dds"),
      testing::CorpusOtherFile(
          "tdmckenney0__slipstream-the-price-of-freedom__vgr_weapplatmiss_launch_export[1].dds")};
  const std::string tga = testing::CorpusOtherFile(
      "mjhorvath__Mikali-Map-Collection-for-HWRM__CRY1top1_EXPORT[1]_DIFF.TGA");
  if (dds[0].empty() || dds[1].empty() || tga.empty()) {
    GANTRY_CORPUS_ABSENT("corpus textures not found");
  }
  for (const std::string& file : dds) {
    const auto bytes = FileBytes(file);
    const auto texture = ImportDDSTexture(file, ui_);
    ASSERT_TRUE(texture) << file;
    ASSERT_EQ(std::tuple(texture->Format, texture->MipCount), std::tuple(Tag("DXT5"), 6));
    EXPECT_EQ(texture->MipLevels[5], MipLevel(bytes.end() - 16, bytes.end()));
    EXPECT_TRUE(DecodeTextureLevel(*texture, 6));
  }
  // Its base name ends in "_DIFF", not in a tag; under a tagged name it imports, without footer.
  EXPECT_FALSE(ImportTGATexture(tga, ui_));
  fs::copy_file(tga, dir_ / "cry[1].TGA");
  // The corpus may be read-only, and Windows deletes no read-only file.
  fs::permissions(dir_ / "cry[1].TGA", fs::perms::owner_write, fs::perm_options::add);
  const auto texture = ImportTGATexture(Path("cry[1].TGA"), ui_);
  ASSERT_TRUE(texture);
  EXPECT_EQ(std::tuple(texture->Width, texture->MipLevels[0].size()), std::tuple(128, 65536u));
  EXPECT_EQ(ui_.MessageTexts(),
            std::vector<std::string>(
                {msg::kNoTag, std::string(msg::kInvalidFooter) + msg::kInvalidFooterEnd}));
}

}  // namespace
}  // namespace gantry
