// Decoding levels to RGBA: known DXT1 blocks, the 8888 byte order, and refusals.
#include "interchange/texture_decode.h"

#include <gtest/gtest.h>

namespace gantry {
namespace {

Texture OneLevel(Tag format, std::int32_t w, std::int32_t h, MipLevel level) {
  return Texture{{}, 0, "", format, 0, w, h, {std::move(level)}};
}

TEST(TextureDecodeTest, KnownDxt1Blocks) {
  using Row = std::vector<std::uint8_t>;  // the first row's four pixels, RGBA
  // Red (0xF800) and blue (0x001F); the first row uses indices 0, 1, 2, 3, the others 0.
  const std::pair<MipLevel, Row> cases[] = {
      {{0x00, 0xF8, 0x1F, 0x00, 0xE4, 0, 0, 0},
       {255, 0, 0, 255, 0, 0, 255, 255, 170, 0, 85, 255, 85, 0, 170, 255}},
      // Colour 0 not above colour 1: three colours and transparent black.
      {{0x1F, 0x00, 0x00, 0xF8, 0xE4, 0, 0, 0},
       {0, 0, 255, 255, 255, 0, 0, 255, 127, 0, 127, 255, 0, 0, 0, 0}},
  };
  for (const auto& [block, row] : cases) {
    const auto image = DecodeTextureLevel(OneLevel("dxt1", 4, 4, block), 1);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->pixels.size(), 64u);
    EXPECT_EQ(Row(image->pixels.begin(), image->pixels.begin() + 16), row);
    EXPECT_EQ(Row(image->pixels.end() - 4, image->pixels.end()), Row(row.begin(), row.begin() + 4));
  }
}

TEST(TextureDecodeTest, BgraOrderAndRefusals) {
  const auto raw = DecodeTextureLevel(OneLevel("8888", 1, 2, {1, 2, 3, 4, 5, 6, 7, 8}), 1);
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->pixels, std::vector<std::uint8_t>({3, 2, 1, 4, 7, 6, 5, 8}));
  const auto png = EncodePng(*raw);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");

  const Texture refused[] = {
      OneLevel("DXT1", 8, 8, MipLevel(24)),  // one block short
      OneLevel("DXT5", 4, 4, MipLevel(8)),   // DXT1-sized
      OneLevel("8888", 3, 3, MipLevel(35)),
      OneLevel("DXT2", 4, 4, MipLevel(16)),  // no decoder for it
      OneLevel("DXT1", 0, 4, MipLevel(8)),
      OneLevel("DXT1", 65536, 4, MipLevel(131072)),
  };
  for (const Texture& texture : refused) {
    std::string why;
    EXPECT_FALSE(DecodeTextureLevel(texture, 1, &why)) << texture.Format.str();
    EXPECT_FALSE(why.empty());
  }
  EXPECT_FALSE(DecodeTextureLevel(OneLevel("DXT1", 4, 4, MipLevel(8)), 2));
}

}  // namespace
}  // namespace gantry
