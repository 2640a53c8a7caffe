// Pictures from image editors: each kind the importer promises, and clear refusals.
#include "interchange/image_load.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "interchange/texture_messages.h"

namespace gantry {
namespace {

std::vector<std::uint8_t> Seed(const std::string& name) {
  std::ifstream in(std::string(GANTRY_FUZZ_REGRESSIONS_DIR) + "/image_loader/" + name,
                   std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> PixelAt(const RgbaImage& image, int x, int y) {
  const auto at = image.pixels.begin() + (y * image.width + x) * 4;
  return {at, at + 4};
}

TEST(ImageLoadTest, ReadsEachKindTopRowFirst) {
  std::string why;
  const auto png = LoadImage(Seed("png_rgba_5x3.png"), &why);
  ASSERT_TRUE(png) << why;
  EXPECT_EQ(png->width, 5);
  EXPECT_EQ(png->height, 3);
  EXPECT_EQ(PixelAt(*png, 2, 1), std::vector<std::uint8_t>({100, 80, 200, 120}));

  // RLE, 24 bits, stored top row first: a run of six, then six raw pixels.
  const auto rle = LoadImage(Seed("tga_rle24_6x2.tga"), &why);
  ASSERT_TRUE(rle) << why;
  using Pixel = std::vector<std::uint8_t>;
  EXPECT_EQ(std::tuple(PixelAt(*rle, 0, 0), PixelAt(*rle, 5, 0), PixelAt(*rle, 0, 1),
                       PixelAt(*rle, 5, 1)),
            std::tuple(Pixel{30, 20, 10, 255}, Pixel{30, 20, 10, 255}, Pixel{2, 1, 0, 255},
                       Pixel{17, 16, 15, 255}));

  const auto sixteen = LoadImage(Seed("tga_16bit_2x2.tga"), &why);
  ASSERT_TRUE(sixteen) << why;
  EXPECT_EQ(sixteen->width, 2);

  // BMP rows are stored bottom row first: the file's first row is the picture's last.
  const auto bmp = LoadImage(Seed("bmp_24_3x2.bmp"), &why);
  ASSERT_TRUE(bmp) << why;
  EXPECT_EQ(PixelAt(*bmp, 0, 1), std::vector<std::uint8_t>({0, 0, 255, 255}));
  EXPECT_EQ(PixelAt(*bmp, 2, 0), std::vector<std::uint8_t>({255, 0, 0, 255}));
}

TEST(ImageLoadTest, RefusesOtherFormatsHugeAndDamagedPictures) {
  using namespace texture_messages;
  struct Case {
    std::vector<std::uint8_t> bytes;
    std::string reason_start;
  };
  std::vector<std::uint8_t> cut = Seed("png_rgba_5x3.png");
  cut.resize(cut.size() - 30);
  for (const Case& c : {Case{Seed("gif_refused.gif"), kImageUnknown},
                        Case{Seed("tga_rle_claims_3855x3855.tga"), kImageDamaged},
                        Case{Seed("png_huge_header.png"), kImageTooLarge},
                        Case{Seed("png_wide_header.png"), kImageTooLarge}, Case{{}, kImageEmpty},
                        Case{cut, kImageDamaged}}) {
    std::string why;
    EXPECT_FALSE(LoadImage(c.bytes, &why));
    EXPECT_EQ(why.substr(0, c.reason_start.size()), c.reason_start) << why;
  }
  std::string why;
  EXPECT_FALSE(LoadImageFile("/no/such/picture.png", &why));
  EXPECT_NE(why.find("/no/such/picture.png"), std::string::npos);
}

}  // namespace
}  // namespace gantry
