#include "commands/star_fields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "commands/star_messages.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry {
namespace {

namespace msg = star_messages;
using testing::ScriptedUi;
using Texts = std::vector<std::string>;

constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr auto kSegments = StarGroupFamily::BackgroundSegments;

TGAImage Map(std::int16_t width, std::int16_t height, std::vector<std::uint32_t> pixels) {
  TGAImage image;
  image.Header.Width = width;
  image.Header.Height = height;
  image.Pixels = std::move(pixels);
  return image;
}

double Distance(const Star& s, const Vector3& from) {
  return std::hypot(s[0] - from.x, s[1] - from.y, s[2] - from.z);
}

CommandResult Import(HodModel& m, const TGAImage& image, StarMapSettings s = {{}, 100, 1, false},
                     StarGroupFamily family = StarGroupFamily::StarFields) {
  std::mt19937 random(7);
  return AddStarsFromMap(m, image, s, family, 0, random);
}

TEST(StarFields, PowerOfTwoAtLeast) {
  const std::pair<double, std::int64_t> cases[] = {{-3, 1}, {1, 1}, {1.01, 2}, {64, 64}};
  for (const auto& [value, power] : cases) EXPECT_EQ(PowerOfTwoAtLeast(value), power) << value;
}

TEST(StarFields, WhiteTwoByTwoGivesFourStarsOnTheSphereAndReplacesEveryField) {
  HodModel m;
  m.StarFields.resize(20);
  m.StarFields[4].Stars = {Star{}};
  ASSERT_TRUE(Import(m, Map(2, 2, {kWhite, kWhite, kWhite, kWhite})).changed);
  ASSERT_EQ(m.StarFields.size(), 16u);
  for (std::size_t g = 0; g < 16; ++g) {
    const StarField& f = m.StarFields[g];
    EXPECT_TRUE(f.Kind == "NRML" && f.ID == "STRF" && f.Version == 1000);
    const bool used = g == 4 || g == 7 || g == 12 || g == 15;  // half and whole width, both rows
    ASSERT_EQ(f.StarCount, used ? 1 : 0) << g;
    if (!used) continue;
    EXPECT_FLOAT_EQ(f.Stars[0][6], 6.4f);
    EXPECT_FLOAT_EQ(f.Stars[0][3], 1);
    EXPECT_NEAR(Distance(f.Stars[0], {}), 100, 1e-4);
  }
}

TEST(StarFields, PixelRulesAndColumnGroups) {
  struct Case {
    std::int16_t width, height;
    std::size_t index;
    std::uint32_t argb;
    int group;  // -1: no star
  } cases[] = {
      {1, 1, 0, 0x801E1E1E, 15},   {1, 1, 0, 0x7F1E1E1E, -1},  // alpha 128 / 127
      {1, 1, 0, 0xFF320000, 15},   {1, 1, 0, 0xFF310000, -1},  // brightness 50 / 49
      {2048, 2, 255, kWhite, 9},                               // column 256: 0.125
      {2048, 2, 254, kWhite, 8},   {2048, 2, 2048 + 255, kWhite, 1},
      {2048, 2, 2047, kWhite, 15}, {2048, 2, 4095, kWhite, 7},  // last column
  };
  for (const Case& c : cases) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(c.width * c.height), 0xFF000000);
    pixels[c.index] = c.argb;
    HodModel m;
    Import(m, Map(c.width, c.height, pixels));
    for (int g = 0; g < 16; ++g) {
      EXPECT_EQ(m.StarFields[g].StarCount, g == c.group ? 1 : 0) << c.index << " " << c.argb;
    }
  }
}

TEST(StarFields, SegmentTargetAppendsAndSizeZeroChangesNothing) {
  HodModel m;
  m.BackgroundSegments.resize(1);
  m.BackgroundSegments[0].Elements = {BackgroundElement{}};
  const HodModel before = m;
  EXPECT_FALSE(Import(m, Map(1, 1, {kWhite}), {{}, 100, 0, false}).changed);
  EXPECT_EQ(m, before);
  Import(m, Map(1, 2, {0x80FF0000, 0x80FF0000}), {{}, 100, 1, false}, kSegments);
  EXPECT_EQ(std::tuple(m.StarFields.size(), m.BackgroundSegments[0].ElementCount),
            std::tuple(0u, 3));
  const BackgroundElement& e = m.BackgroundSegments[0].Elements.at(2);
  EXPECT_EQ((std::array{e[3], e[4], e[5], e[6]}), (std::array<float, 4>{0, 1, 0, 0}));
  EXPECT_FLOAT_EQ(e[7], 128.0f / 255);
}

TEST(StarFields, RandomizingAddsUpToOneAndSizeScales) {
  HodModel m;
  Import(m, Map(2, 1, {kWhite, kWhite}), {{}, 100, 2, true});
  ASSERT_EQ(m.StarFields[12].StarCount + m.StarFields[15].StarCount, 2);
  const float first = m.StarFields[12].Stars[0][6], second = m.StarFields[15].Stars[0][6];
  EXPECT_TRUE(first >= 12.8f && first < 13.8f && second >= 12.8f && second < 13.8f);
  EXPECT_NE(first, second);
}

class StarMapCommand : public ::testing::Test {
 protected:
  std::string Tga(std::int16_t w, std::int16_t h, char depth) {
    return folder_.WriteTga("map.tga", w, h, std::vector<std::uint32_t>(w * h, kWhite), depth);
  }
  CommandResult Run(std::string path, Texts answers) {
    ui.files = {path};
    ui.inputs.assign(answers.begin(), answers.end());
    std::mt19937 random(1);
    return STRFAutoAdd(m, StarGroupFamily::StarFields, std::nullopt, random, ui);
  }

  testing::TempFolder folder_;
  HodModel m;
  ScriptedUi ui;
};

TEST_F(StarMapCommand, AsksFiveQuestionsAndUsesAbsoluteAnswers) {
  ASSERT_TRUE(Run(Tga(2, 2, 32), {"-5", "0", "x", "-100", "1"}).changed);
  EXPECT_EQ(ui.prompts, (Texts{"", msg::kCentreXPrompt, msg::kCentreYPrompt, msg::kCentreZPrompt,
                               msg::kRadiusPrompt, msg::kSizePrompt}));
  ASSERT_EQ(ui.MessageTexts(), Texts{msg::kRandomizePrompt});
  EXPECT_NEAR(Distance(m.StarFields[12].Stars[0], {-5, 0, 0}), 100, 1e-4);
  EXPECT_NEAR(m.StarFields[12].Stars[0][1], -100, 1e-4);  // the top row, for radius 100
}

TEST_F(StarMapCommand, RefusalsAndRadiusZero) {
  EXPECT_FALSE(Run(Tga(2, 2, 24), {}).changed);
  EXPECT_FALSE(Run(Tga(0, 2, 32), {}).changed);
  EXPECT_FALSE(Run(Tga(2, 2, 32), {"0", "0", "0", "7", "0"}).changed);  // size 0: no more asked
  EXPECT_EQ(std::tuple(ui.MessageTexts(), m.StarFields.size()),
            std::tuple(Texts{msg::kNot32Bit, msg::kNoWidthOrHeight}, 0u));
  ASSERT_TRUE(Run(Tga(2, 2, 32), {"0", "0", "0", "0", "1"}).changed);
  EXPECT_EQ(ui.MessageTexts().at(2),
            "0 is unacceptable value for radius. -1.000 will be used instead");
  EXPECT_NEAR(Distance(m.StarFields[12].Stars[0], {}), 1, 1e-5);
  std::mt19937 random;
  EXPECT_FALSE(STRFAutoAdd(m, kSegments, 0, random, ui).changed);
  EXPECT_EQ(ui.MessageTexts().back(), msg::kSelectObjectFirst);
}

TEST(StarFields, PlacingAStarAndTheSuggestedSphere) {
  HodModel m;
  m.BackgroundSegments.emplace_back().Elements = {BackgroundElement{1, 2, 3, 4, 5, 6, 7, 8}};
  ScriptedUi ui;
  EXPECT_TRUE(RefusePlacingStarWithoutSelection(m, kSegments, 0, 1, ui));
  EXPECT_TRUE(RefusePlacingStarWithoutSelection(m, StarGroupFamily::StarFields, 0, 0, ui));
  EXPECT_FALSE(RefusePlacingStarWithoutSelection(m, kSegments, 0, 0, ui));
  EXPECT_EQ(ui.MessageTexts(), (Texts{msg::kSelectObjectFirst, msg::kSelectObjectFirst}));
  EXPECT_EQ(StarViewerPosition(m, kSegments, 0, 0), (Vector3{1, 2, 3}));
  EXPECT_TRUE(PlaceStar(m, kSegments, 0, 0, {9, 8, 7}).changed);
  EXPECT_EQ(m.BackgroundSegments[0].Elements[0], (BackgroundElement{9, 8, 7, 4, 5, 6, 7, 8}));
  auto& vertices = m.BackgroundMeshSet.Meshes.emplace_back().Parts.emplace_back().Vertices;
  vertices.resize(2);
  vertices[1].Position = {2, 4, 6, 1};
  EXPECT_EQ(StarMapDefaults(m).centre, (Vector3{1, 2, 3}));
  EXPECT_NEAR(StarMapDefaults(m).radius, std::sqrt(14.0), 1e-6);
}

}  // namespace
}  // namespace gantry
