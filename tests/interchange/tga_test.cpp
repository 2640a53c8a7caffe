// Reading TGA bytes: what the importer accepts, refuses or warns about, and the colour reader.
#include "interchange/tga.h"

#include <gtest/gtest.h>

#include "common/byte_writer.h"
#include "interchange/texture_messages.h"
#include "support/scripted_ui.h"

namespace gantry {
namespace {

namespace msg = texture_messages;
using testing::ScriptedUi;

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
      EXPECT_EQ(texture->Format, Tag("8888"));
      EXPECT_EQ(texture->MipCount, 1);
      ASSERT_EQ(texture->MipLevels.size(), 1u);
      EXPECT_EQ(texture->MipLevels[0],
                MipLevel(c.file.begin() + 18, c.file.begin() + 18 + c.level_bytes));
    }
    ASSERT_EQ(ui.messages.size(), c.message.empty() ? 0u : 1u);
    if (!c.message.empty()) {
      EXPECT_EQ(ui.messages[0].text.rfind(c.message, 0), 0u);
    }
  }
}

TEST(TgaReadTest, ColourReaderTakesWhatIsThere) {
  const TGAImage missing = ReadTGAImage("/no/such/folder/x.tga");
  EXPECT_EQ(missing.Header, TGAHeader());
  EXPECT_EQ(missing.Footer, TGAFooter());
  EXPECT_TRUE(missing.Pixels.empty());

  const TGAImage image = ReadTGAImage(Tga(2, 1, 32, 8, 8, "TRUEVISION-XFILE?"));
  EXPECT_EQ(image.Pixels, std::vector<std::uint32_t>({0x03020100, 0x07060504}));
  EXPECT_EQ(image.Footer.Signature, "TRUEVISION-XFILE?");
  // A cut file gives the pixels it has, never more than it could hold.
  EXPECT_EQ(ReadTGAImage(Tga(30000, 30000, 32, 8, 10)).Pixels.size(), (10u + 26u) / 4u);
}

}  // namespace
}  // namespace gantry
