// Texture files from the outside: DDS and TGA bytes read into levels (sizes, refusals, warnings,
// the format check), levels decoded to RGBA, and pictures from image editors loaded.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <numeric>
#include <tuple>

#include "common/byte_writer.h"
#include "interchange/dds.h"
#include "interchange/image_load.h"
#include "interchange/texture_decode.h"
#include "interchange/texture_messages.h"
#include "interchange/tga.h"
#include "support/scripted_ui.h"

namespace gantry {
namespace {

namespace msg = texture_messages;
using testing::ScriptedUi;

std::vector<std::uint8_t> Dds(std::int32_t w, std::int32_t h, std::uint32_t count, Tag fourcc,
                              std::size_t data_bytes) {
  std::vector<std::uint8_t> file(128 + data_bytes, 0x5A);
  std::memcpy(&file[12], &h, 4);
  std::memcpy(&file[16], &w, 4);
  std::memcpy(&file[28], &count, 4);
  std::memcpy(&file[84], fourcc.chars.data(), 4);
  return file;
}

TEST(DdsReadTest, LevelSizesFollowTheFormatOrTheFileIsRefused) {
  const struct {
    std::int32_t w, h;
    std::uint32_t count;
    Tag fourcc;
    std::vector<std::size_t> sizes;
  } cases[] = {
      {256, 256, 9, "DXT1", {32768, 8192, 2048, 512, 128, 32, 8, 8, 8}},
      {256, 256, 9, "DXT5", {65536, 16384, 4096, 1024, 256, 64, 16, 16, 16}},
      {64, 64, 0, "DXT3", {4096}},
      {8, 2, 2, "DXT5", {32, 16}},  // whole blocks, as the HOD reader sizes them
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fourcc.str() + " " + std::to_string(c.count));
    const std::size_t total = std::accumulate(c.sizes.begin(), c.sizes.end(), std::size_t{0});
    ScriptedUi ui;
    const auto texture = ReadDDSTexture(Dds(c.w, c.h, c.count, c.fourcc, total), "t", ui);
    ASSERT_TRUE(texture);
    std::vector<std::size_t> sizes;
    for (const MipLevel& level : texture->MipLevels) sizes.push_back(level.size());
    EXPECT_EQ(std::tuple(ui.messages.size(), texture->Format, texture->MipCount, sizes),
              std::tuple(0u, c.fourcc, static_cast<std::int32_t>(c.sizes.size()), c.sizes));
  }

  // Files that cannot hold what their header says give nothing but a message.
  const std::vector<std::uint8_t> damaged[] = {
      std::vector<std::uint8_t>(127),
      Dds(256, 256, 9, "DXT1", 32768 + 8192),      // levels missing
      Dds(256, 256, 0xFFFFFFFF, "DXT1", 43704),    // absurd count
      Dds(0x7FFFFFFF, 0x7FFFFFFF, 1, "DXT5", 64),  // absurd size
      Dds(-1, -1, 1, "DXT1", 16),  // sizes no image has, with room for the smallest level
      Dds(0, 256, 1, "DXT5", 1024),
  };
  for (const auto& file : damaged) {
    ScriptedUi ui;
    EXPECT_FALSE(ReadDDSTexture(file, "t", ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind(msg::kDamaged, 0), 0u);
  }
}

TEST(DdsFormatTest, LinearSizeAndPixelFormatCheck) {
  // 5 x 5 in DXT1 is 12.5 bytes, rounded to even.
  EXPECT_EQ(std::tuple(DDSLinearSize("DXT1", 512, 256), DDSLinearSize("DXT3", 512, 256),
                       DDSLinearSize("DXT1", 5, 5), DDSLinearSize("DXT1", 3, 3)),
            std::tuple(65536u, 131072u, 12u, 4u));

  const std::pair<const char*, bool> tags[] = {{"DXT2", true}, {"DXT4", true},  {"8888", true},
                                               {"ABC7", true}, {"    ", false}, {"ABC4", false},
                                               {"dxt2", false}};
  for (const auto& [tag, passes] : tags) {
    ScriptedUi ui;
    EXPECT_EQ(PassesPixelFormatCheck(tag, ui), passes) << tag;
    EXPECT_EQ(ui.MessageTexts(),
              passes ? std::vector<std::string>()
                     : std::vector<std::string>{msg::kUnknownPixelFormat + std::string(tag)});
  }
}

std::vector<std::uint8_t> Tga(std::int16_t w, std::int16_t h, std::uint8_t depth,
                              std::uint8_t descriptor, std::size_t pixel_bytes,
                              std::string signature = msg::kTgaSignature) {
  ByteWriter out;
  for (std::uint32_t word : {0x00020000u, 0u, 0u}) out.WriteRaw32(word);
  out.WriteInteger(w);
  out.WriteInteger(h);
  out.WriteByte(depth);
  out.WriteByte(descriptor);
  for (std::size_t i = 0; i < pixel_bytes; ++i) out.WriteByte(static_cast<std::uint8_t>(i));
  out.WriteRaw32(0);
  out.WriteRaw32(0);
  out.WriteChars(signature);
  out.WriteByte(0);
  return out.Release();
}

TEST(TgaReadTest, AcceptsOnlyWhatTheFormatAllows) {
  auto cut = Tga(4, 4, 32, 8, 64);
  cut.resize(18 + 63);
  struct Case {
    const char* what;
    std::vector<std::uint8_t> file;
    std::size_t level_bytes;  // 0: refused
    std::string message;      // the start of the one message shown, if any
  } cases[] = {
      {"2 x 1", Tga(2, 1, 32, 8, 8), 8, ""},
      {"3 x 3 finds its footer", Tga(3, 3, 32, 8, 36), 36, ""},
      {"1 x 1", Tga(1, 1, 32, 8, 4), 0, msg::kTooSmall},
      {"negative sides", Tga(-2, -2, 32, 8, 16), 0, msg::kTooSmall},
      {"top-left origin", Tga(2, 2, 32, 0x28, 16), 0, msg::kNot32Bit},
      {"24 bits", Tga(2, 2, 24, 8, 12), 0, msg::kNot32Bit},
      {"bad footer warns", Tga(2, 1, 32, 8, 8, "TRUEVISION-XFILE?"), 8,
       std::string(msg::kInvalidFooter) + "TRUEVISION-XFILE?" + msg::kInvalidFooterEnd},
      {"pixels cut short", cut, 0, msg::kDamaged},
      {"huge claim, tiny file", Tga(32767, 32767, 32, 8, 8), 0, msg::kDamaged},
      {"header cut short", std::vector<std::uint8_t>(17), 0, msg::kDamaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedUi ui;
    const auto texture = ReadTGATexture(c.file, "t", ui);
    ASSERT_EQ(texture.has_value(), c.level_bytes != 0);
    if (texture) {
      const MipLevel pixels(c.file.begin() + 18, c.file.begin() + 18 + c.level_bytes);
      EXPECT_EQ(std::tuple(texture->Format, texture->MipCount, texture->MipLevels),
                std::tuple(Tag("8888"), 1, std::vector<MipLevel>{pixels}));
    }
    ASSERT_EQ(ui.messages.size(), c.message.empty() ? 0u : 1u);
    if (!c.message.empty()) {
      EXPECT_EQ(ui.messages[0].text.rfind(c.message, 0), 0u);
    }
  }
}

TEST(TgaReadTest, ColourReaderTakesWhatIsThere) {
  const TGAImage missing = ReadTGAImage("/no/such/folder/x.tga");
  EXPECT_EQ(std::tuple(missing.Header, missing.Footer, missing.Pixels.size()),
            std::tuple(TGAHeader(), TGAFooter(), 0u));

  const TGAImage image = ReadTGAImage(Tga(2, 1, 32, 8, 8, "TRUEVISION-XFILE?"));
  EXPECT_EQ(image.Pixels, std::vector<std::uint32_t>({0x03020100, 0x07060504}));
  EXPECT_EQ(image.Footer.Signature, "TRUEVISION-XFILE?");
  // A cut file gives the pixels it has, never more than it could hold.
  EXPECT_EQ(ReadTGAImage(Tga(30000, 30000, 32, 8, 10)).Pixels.size(), (10u + 26u) / 4u);
}

Texture OneLevel(Tag format, std::int32_t w, std::int32_t h, MipLevel level) {
  return Texture{{}, 0, "", format, 0, w, h, {std::move(level)}};
}

TEST(TextureDecodeTest, KnownBlocksBgraOrderAndRefusals) {
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

  // 8888 is stored BGRA.
  const auto raw = DecodeTextureLevel(OneLevel("8888", 1, 2, {1, 2, 3, 4, 5, 6, 7, 8}), 1);
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->pixels, std::vector<std::uint8_t>({3, 2, 1, 4, 7, 6, 5, 8}));
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

std::vector<std::uint8_t> Seed(const std::string& name) {
  std::ifstream in(std::string(GANTRY_FUZZ_REGRESSIONS_DIR) + "/image_loader/" + name,
                   std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> PixelAt(const RgbaImage& image, int x, int y) {
  const auto at = image.pixels.begin() + (y * image.width + x) * 4;
  return {at, at + 4};
}

TEST(ImageLoadTest, ReadsEachKindTopRowFirstOrSaysWhyNot) {
  using Pixel = std::vector<std::uint8_t>;
  const struct {
    const char* file;
    int width, height;
    std::vector<std::tuple<int, int, Pixel>> pixels;  // x, y, RGBA
  } cases[] = {
      // clang-format off
      {"png_rgba_5x3.png", 5, 3, {{2, 1, {100, 80, 200, 120}}}},
      // RLE, 24 bits, stored top row first: a run of six, then six raw pixels.
      {"tga_rle24_6x2.tga", 6, 2, {{0, 0, {30, 20, 10, 255}}, {5, 0, {30, 20, 10, 255}},
                                   {0, 1, {2, 1, 0, 255}}, {5, 1, {17, 16, 15, 255}}}},
      {"tga_16bit_2x2.tga", 2, 2, {}},
      // BMP rows are stored bottom row first: the file's first row is the picture's last.
      {"bmp_24_3x2.bmp", 3, 2, {{0, 1, {0, 0, 255, 255}}, {2, 0, {255, 0, 0, 255}}}},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    std::string why;
    const auto image = LoadImage(Seed(c.file), &why);
    ASSERT_TRUE(image) << why;
    EXPECT_EQ(std::tuple(image->width, image->height), std::tuple(c.width, c.height));
    for (const auto& [x, y, pixel] : c.pixels) EXPECT_EQ(PixelAt(*image, x, y), pixel);
  }

  // Other formats, huge and damaged pictures are refused, saying why.
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
