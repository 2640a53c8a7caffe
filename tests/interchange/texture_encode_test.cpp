// Sizes, mip chains in linear light, alpha coverage, the encoders and the error figure.
#include "interchange/texture_encode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

#include "hod/textures.h"

namespace gantry {
namespace {

RgbaImage Filled(std::int32_t w, std::int32_t h, std::array<std::uint8_t, 4> rgba) {
  RgbaImage image{w, h, {}};
  for (std::int32_t i = 0; i < w * h; ++i)
    image.pixels.insert(image.pixels.end(), rgba.begin(), rgba.end());
  return image;
}

RgbaImage Gradient(std::int32_t w, std::int32_t h) {
  RgbaImage image = Filled(w, h, {0, 0, 0, 255});
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * w + x) * 4];
      p[0] = static_cast<std::uint8_t>(x * 255 / (w - 1));
      p[1] = static_cast<std::uint8_t>(y * 255 / (h - 1));
      p[2] = static_cast<std::uint8_t>((x + y) * 127 / (w + h));
      p[3] = static_cast<std::uint8_t>(255 - x * 200 / (w - 1));
    }
  return image;
}

double Coverage(const RgbaImage& image, std::uint8_t cutoff) {
  std::size_t covered = 0;
  for (std::size_t i = 3; i < image.pixels.size(); i += 4) covered += image.pixels[i] >= cutoff;
  return static_cast<double>(covered) / static_cast<double>(image.pixels.size() / 4);
}

TEST(TextureEncodeTest, SizesGoToPowersOfTwoAndFitTheBudget) {
  struct Case {
    std::int32_t side;
    SizeRounding rounding;
    std::int32_t expected;
  };
  for (const Case& c :
       {Case{300, SizeRounding::kNearest, 256}, Case{400, SizeRounding::kNearest, 512},
        Case{384, SizeRounding::kNearest, 512}, Case{300, SizeRounding::kDown, 256},
        Case{300, SizeRounding::kUp, 512}, Case{256, SizeRounding::kUp, 256},
        Case{1, SizeRounding::kUp, 1}, Case{3, SizeRounding::kDown, 2}}) {
    EXPECT_EQ(PowerOfTwoSide(c.side, c.rounding), c.expected) << c.side;
  }
  EXPECT_EQ(TopLevelSize(1000, 250, SizeRounding::kNearest, 300), std::make_pair(256, 64));
  EXPECT_EQ(TopLevelSize(1000, 250, SizeRounding::kNearest, 0), std::make_pair(1024, 256));
  EXPECT_EQ(TopLevelSize(64, 1, SizeRounding::kNearest, 16), std::make_pair(16, 1));
}

TEST(TextureEncodeTest, ChainRunsDownToOnePixelInLinearLight) {
  TextureSettings settings;
  const auto chain = BuildMipChain(Gradient(60, 20), settings);  // to 64 x 16
  std::vector<std::pair<int, int>> sizes;
  for (const RgbaImage& level : chain) sizes.emplace_back(level.width, level.height);
  EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{
                       {64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}}));
  settings.mips = false;
  EXPECT_EQ(BuildMipChain(Gradient(60, 20), settings).size(), 1u);

  // Black and white checks average to half the light (sRGB 188), not to the darker 128; alpha
  // averages linearly, and a transparent pixel's colour does not bleed into the opaque ones.
  const RgbaImage checks{
      2, 2, {255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 255}};
  const auto grey = BuildMipChain(checks, TextureSettings{});
  ASSERT_EQ(grey.size(), 2u);
  EXPECT_NEAR(grey[1].pixels[0], 188, 2);
  EXPECT_EQ(grey[1].pixels[3], 255);

  const RgbaImage half{2, 2, {255, 0, 0, 255, 0, 255, 0, 0, 255, 0, 0, 255, 0, 255, 0, 0}};
  const auto blended = BuildMipChain(half, TextureSettings{});
  EXPECT_NEAR(blended[1].pixels[3], 128, 1);
  EXPECT_GT(blended[1].pixels[0], 250);
  EXPECT_LT(blended[1].pixels[1], 5);
}

TEST(TextureEncodeTest, AlphaTestKeepsCoverageInEveryLevel) {
  RgbaImage foliage = Filled(128, 128, {20, 160, 40, 0});
  std::mt19937 random(3);
  for (std::size_t i = 3; i < foliage.pixels.size(); i += 4) {
    foliage.pixels[i] = static_cast<std::uint8_t>(random() % 256);
  }
  TextureSettings settings;
  const double top = Coverage(foliage, 200);
  const auto plain = BuildMipChain(foliage, settings);
  EXPECT_LT(Coverage(plain[3], 200), top / 2);  // averaging thins the cut-out
  settings.alpha_test = 200;
  const auto kept = BuildMipChain(foliage, settings);
  for (std::size_t l = 1; l + 3 < kept.size(); ++l) {  // levels of at least 8 x 8
    EXPECT_NEAR(Coverage(kept[l], 200), top, 0.04) << "level " << l + 1;
  }
  EXPECT_EQ(kept[0], plain[0]);
}

TEST(TextureEncodeTest, EncodersGiveTheHodsSizesAndDecodeCloseAndUpgradeUncompressedOnes) {
  RgbaImage opaque = Gradient(64, 32);
  for (std::size_t i = 3; i < opaque.pixels.size(); i += 4) opaque.pixels[i] = 255;
  for (TextureFormat format : {TextureFormat::kDxt1, TextureFormat::kDxt3, TextureFormat::kDxt5,
                               TextureFormat::k8888, TextureFormat::k888}) {
    // DXT1 keeps one bit of alpha: pixels under half alpha turn transparent black.
    const bool alpha = format != TextureFormat::kDxt1 && format != TextureFormat::k888;
    const RgbaImage source = alpha ? Gradient(64, 32) : opaque;
    TextureSettings settings;
    settings.format = format;
    const Texture texture = MakeTexture(source, "hull[1]", settings);
    SCOPED_TRACE(TextureFormatName(format));
    EXPECT_EQ(texture.Format, TextureFormatTag(format));
    ASSERT_EQ(texture.MipCount, 7);
    for (int level = 1; level <= texture.MipCount; ++level) {
      EXPECT_EQ(static_cast<std::int64_t>(texture.MipLevels[level - 1].size()),
                MipLevelBytes(texture.Format, texture.Width, texture.Height, level));
    }
    const auto decoded = DecodeEncodedLevel(texture.MipLevels[0], format, 64, 32);
    ASSERT_TRUE(decoded);
    EXPECT_GT(*Psnr(source, *decoded, alpha), format == TextureFormat::kDxt1 ? 30 : 35);
    // The game's decoder reads the same picture back, rows in the right order.
    const auto shown = DecodeForDisplay(texture, 1);
    ASSERT_TRUE(shown);
    EXPECT_EQ(*shown, *decoded);
    if (format == TextureFormat::k8888) {
      EXPECT_EQ(*decoded, source);
    }
    if (format == TextureFormat::k888) {
      EXPECT_EQ(decoded->pixels[3], 255);
    }
  }
  // Any number of threads writes the same blocks.
  const RgbaImage big = Gradient(256, 256);
  const auto chain = BuildMipChain(big, TextureSettings{});
  EXPECT_EQ(EncodeLevels(chain, TextureFormat::kDxt5, false, 1),
            EncodeLevels(chain, TextureFormat::kDxt5, false, 3));

  // An uncompressed texture upgrades to DXT with a full chain, keeping its name and ID.
  TextureSettings raw;
  raw.format = TextureFormat::k8888;
  raw.mips = false;
  Texture classic = MakeTexture(Gradient(32, 32), "C:\\t\\hull.PSD[1]", raw);
  classic.ID = "ABCD";
  const auto upgraded = CompressTextureToDxt(classic, TextureFormat::kDxt5);
  ASSERT_TRUE(upgraded);
  EXPECT_EQ(std::tuple(upgraded->Format, upgraded->MipCount, upgraded->FileName, upgraded->ID),
            std::tuple(Tag("DXT5"), 6, classic.FileName, classic.ID));
  std::string why;
  EXPECT_FALSE(CompressTextureToDxt(classic, TextureFormat::k8888, &why));
  EXPECT_FALSE(why.empty());
}

TEST(TextureEncodeTest, AlphaUseAndPsnr) {
  RgbaImage image = Filled(2, 1, {1, 2, 3, 255});
  EXPECT_EQ(AnalyseAlpha(image), AlphaUse::kOpaque);
  image.pixels[3] = 0;
  EXPECT_EQ(AnalyseAlpha(image), AlphaUse::kCutout);
  image.pixels[7] = 17;
  EXPECT_EQ(AnalyseAlpha(image), AlphaUse::kGraded);

  RgbaImage other = image;
  EXPECT_TRUE(std::isinf(*Psnr(image, other, true)));
  for (std::size_t i = 0; i < other.pixels.size(); ++i) other.pixels[i] += i % 4 == 3 ? 9 : 1;
  EXPECT_NEAR(*Psnr(image, other, false), 48.13, 0.01);  // every colour off by one
  EXPECT_NEAR(*Psnr(image, other, true), 34.91, 0.01);   // and alpha off by nine
  EXPECT_FALSE(Psnr(image, Filled(1, 2, {}), false));
  EXPECT_EQ(ParseTextureFormat("DxT5"), TextureFormat::kDxt5);
  EXPECT_FALSE(ParseTextureFormat("dxt2"));
  EXPECT_EQ(ParseMipFilter("mitchell"), MipFilter::kMitchell);
}

}  // namespace
}  // namespace gantry
