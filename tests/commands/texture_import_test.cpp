// The automatic format choice, texture names, and importing pictures into a model.
#include "commands/texture_import.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry {
namespace {

using testing::ScriptedUi;

RgbaImage Picture(std::int32_t w, std::int32_t h, std::uint8_t alpha_of_first) {
  RgbaImage image;
  image.width = w;
  image.height = h;
  image.pixels.assign(static_cast<std::size_t>(w) * h * 4, 200);
  for (std::size_t i = 3; i < image.pixels.size(); i += 4) image.pixels[i] = 255;
  image.pixels[3] = alpha_of_first;
  return image;
}

class TextureImportTest : public ::testing::Test {
 protected:
  std::string WritePng(const std::string& name, const RgbaImage& image) {
    const auto bytes = EncodePng(image);
    return folder_.Write(name, std::string(bytes.begin(), bytes.end()));
  }

  testing::TempFolder folder_;
  ScriptedUi ui_;
};

TEST(TextureFormatChoiceTest, NamesFollowTheFileAndMatchOlderNames) {
  EXPECT_EQ(TextureNameForImage("C:\\mod\\hull[1].png"), "hull[1]");
  EXPECT_EQ(TextureNameForImage("mod/ship_glow.TGA"), "ship_glow");
  EXPECT_EQ(TextureNameForImage("plain"), "plain");
  HodModel model;
  model.Textures.resize(3);
  model.Textures[0].FileName = "C:\\t\\hull.PSD[1]";
  model.Textures[1].FileName = "Glow";
  model.Textures[2].FileName = "hull[2]";
  EXPECT_EQ(std::tuple(FindTextureByName(model, "hull[1]"), FindTextureByName(model, "HULL[2]"),
                       FindTextureByName(model, "glow")),
            std::tuple(0u, 2u, 1u));
  EXPECT_FALSE(FindTextureByName(model, "hull[3]"));
  EXPECT_FALSE(FindTextureByName(model, "hull"));
}

TEST_F(TextureImportTest, AddsThenReplacesByNameWithTheMaterialsChoice) {
  HodModel model;
  const std::string leaves = WritePng("leaves[1].png", Picture(40, 24, 0));
  ImageImportOptions options;
  const auto added = ImportImageTexture(model, leaves, options, ui_);
  ASSERT_TRUE(added);
  EXPECT_FALSE(added->replaced);
  ASSERT_EQ(model.Textures.size(), 1u);
  const Texture& texture = model.Textures[0];
  // Cut-out alpha, but no material cuts it out: DXT5.
  EXPECT_EQ(std::tuple(texture.FileName, texture.Format, texture.Width, texture.MipCount),
            std::tuple("leaves[1]", Tag("DXT5"), 32, 6));

  // Once an alpha-testing material uses it, the same picture becomes one-bit DXT1, in place.
  model.Materials.emplace_back().ShaderName = "AlphaTest";
  model.Materials[0].Parameters = {{kParameterTexture, 0, {}, 0, 0, ""}};
  model.Textures[0].FileName = "C:\\old\\leaves.PSD[1]";
  options.settings.max_size = 8;
  const auto replaced = ImportImageTexture(model, leaves, options, ui_);
  ASSERT_TRUE(replaced);
  EXPECT_TRUE(replaced->replaced);
  EXPECT_EQ(std::tuple(model.Textures.size(), model.Textures[0].Format, model.Textures[0].FileName,
                       model.Textures[0].Width),
            std::tuple(1u, Tag("DXT1"), "C:\\old\\leaves.PSD[1]", 8));

  options.format = TextureFormat::k8888;
  options.name = "other";
  const auto named = ImportImageTexture(model, leaves, options, ui_);
  ASSERT_TRUE(named);
  EXPECT_EQ(std::tuple(model.Textures.size(), model.Textures[1].Format, ui_.messages.size()),
            std::tuple(2u, Tag("8888"), 0u));
  EXPECT_FALSE(ImportImageTexture(model, folder_.Path("missing.png"), options, ui_));
  EXPECT_EQ(std::tuple(ui_.messages.size(), model.Textures.size()), std::tuple(1u, 2u));
}

TEST_F(TextureImportTest, ScriptFilesKeepOlderKindsAndEncodePictures) {
  const auto opaque = LoadTextureFile(WritePng("panel.png", Picture(16, 16, 255)), ui_);
  ASSERT_TRUE(opaque);
  EXPECT_EQ(std::tuple(opaque->Format, opaque->FileName, opaque->MipCount),
            std::tuple(Tag("DXT1"), "panel", 5));
  const auto graded = LoadTextureFile(WritePng("glow.png", Picture(16, 16, 100)), ui_);
  ASSERT_TRUE(graded);
  EXPECT_EQ(graded->Format, Tag("DXT5"));
  // So too under an alpha-testing material, with the reason said.
  EXPECT_EQ(ChooseTextureFormat(AlphaUse::kGraded, true).format, TextureFormat::kDxt5);
  EXPECT_FALSE(ChooseTextureFormat(AlphaUse::kGraded, true).reason.empty());
  EXPECT_FALSE(LoadTextureFile(folder_.Path("none.bmp"), ui_));
  EXPECT_EQ(ui_.messages.size(), 1u);
}

}  // namespace
}  // namespace gantry
