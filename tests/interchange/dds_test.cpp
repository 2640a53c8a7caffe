// Reading DDS bytes: level sizes, refusals, the header's linear size and the format check.
#include "interchange/dds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

#include "interchange/texture_messages.h"
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

TEST(DdsReadTest, LevelSizesFollowTheFormat) {
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
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(texture->Format, c.fourcc);
    EXPECT_EQ(texture->MipCount, static_cast<std::int32_t>(c.sizes.size()));
    std::vector<std::size_t> sizes;
    for (const MipLevel& level : texture->MipLevels) sizes.push_back(level.size());
    EXPECT_EQ(sizes, c.sizes);
  }
}

TEST(DdsReadTest, MalformedFilesGiveNothingButAMessage) {
  const std::vector<std::uint8_t> cases[] = {
      std::vector<std::uint8_t>(127),
      Dds(256, 256, 9, "DXT1", 32768 + 8192),      // levels missing
      Dds(256, 256, 0xFFFFFFFF, "DXT1", 43704),    // absurd count
      Dds(0x7FFFFFFF, 0x7FFFFFFF, 1, "DXT5", 64),  // absurd size
      Dds(-1, -1, 1, "DXT1", 16),  // sizes no image has, with room for the smallest level
      Dds(0, 256, 1, "DXT5", 1024),
  };
  for (const auto& file : cases) {
    ScriptedUi ui;
    EXPECT_FALSE(ReadDDSTexture(file, "t", ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind(msg::kDamaged, 0), 0u);
  }
}

TEST(DdsFormatTest, LinearSizeAndPixelFormatCheck) {
  EXPECT_EQ(DDSLinearSize("DXT1", 512, 256), 65536u);
  EXPECT_EQ(DDSLinearSize("DXT3", 512, 256), 131072u);
  EXPECT_EQ(DDSLinearSize("DXT1", 5, 5), 12u);  // 12.5 rounds to even
  EXPECT_EQ(DDSLinearSize("DXT1", 3, 3), 4u);

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

}  // namespace
}  // namespace gantry
