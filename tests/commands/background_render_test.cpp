#include "commands/background_render.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "commands/background_meshes.h"
#include "common/safe_file.h"
#include "support/corpus.h"

namespace gantry {
namespace {

using Rgba = std::array<std::uint8_t, 4>;

RenderTriangle Flat(std::array<float, 6> uv, Rgba colour, float depth = 1) {
  RenderTriangle t;
  for (int k = 0; k < 3; ++k) t[k] = {uv[2 * k], uv[2 * k + 1], depth, colour};
  return t;
}

// Clockwise as the picture shows it (v grows downwards); its mirror is counter-clockwise.
const std::array<float, 6> kClockwise = {0.1f, 0.1f, 0.9f, 0.1f, 0.1f, 0.9f};
const std::array<float, 6> kCounter = {0.1f, 0.1f, 0.1f, 0.9f, 0.9f, 0.1f};
const std::array<float, 6> kFull = {-1, -1, 3, -1, -1, 3};  // covers the picture

TEST(TriangleRenderer, OptionsDecideWhatReachesThePixel) {
  const Rgba red = {255, 0, 0, 255}, half_blue = {0, 0, 200, 128}, grey = {100, 200, 50, 255};
  struct Case {
    const char* name;
    RenderOptions options;
    std::vector<RenderTriangle> triangles;
    Rgba pixel;  // at (2, 2) of 8 x 8
  };
  const RenderOptions plain{false, false, false, false, CullMode::None};
  RenderOptions cull_cw = plain, cull_ccw = plain, blend = plain, depth = plain, tone = plain;
  cull_cw.cull = CullMode::Clockwise;
  cull_ccw.cull = CullMode::CounterClockwise;
  blend.alpha_blending = true;
  depth.depth_test = true;
  tone.double_tone = true;
  for (const Case& c : std::vector<Case>{
           {"plain", plain, {Flat(kClockwise, red)}, {255, 0, 0, 255}},
           {"cull cw", cull_cw, {Flat(kClockwise, red)}, {0, 0, 0, 255}},
           {"cull ccw keeps cw", cull_ccw, {Flat(kClockwise, red)}, {255, 0, 0, 255}},
           {"cull ccw", cull_ccw, {Flat(kCounter, red)}, {0, 0, 0, 255}},
           {"no blending", plain, {Flat(kFull, red), Flat(kFull, half_blue)}, {0, 0, 200, 255}},
           {"blending", blend, {Flat(kFull, red), Flat(kFull, half_blue)}, {127, 0, 100, 255}},
           {"later wins", plain, {Flat(kFull, red, 1), Flat(kFull, grey, 2)}, {100, 200, 50, 255}},
           {"depth test", depth, {Flat(kFull, red, 1), Flat(kFull, grey, 2)}, {255, 0, 0, 255}},
           {"double tone", tone, {Flat(kFull, grey)}, {200, 255, 100, 255}}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PixelAt(TriangleRenderer(8, 8, c.options).Render(c.triangles), 2, 2), c.pixel);
  }
}

TEST(TriangleRenderer, InterpolatesSharesEdgesOnceAndSmoothsEdgesWhenAntiAliasing) {
  RenderOptions options{true, false, false, false, CullMode::None};
  // A square of two half-transparent triangles: the diagonal must not be blended twice.
  const Rgba white = {255, 255, 255, 128};
  const RgbaImage square =
      TriangleRenderer(16, 16, options)
          .Render(std::vector{Flat({0, 0, 1, 0, 1, 1}, white), Flat({0, 0, 1, 1, 0, 1}, white)});
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(PixelAt(square, x, y), (Rgba{128, 128, 128, 255})) << x << y;
  }
  // Colours blend across the face.
  RenderTriangle ramp = Flat(kFull, {0, 0, 0, 255});
  ramp[1].rgba = {255, 0, 0, 255};  // u = 3
  options.alpha_blending = false;
  const RgbaImage ramped = TriangleRenderer(16, 16, options).Render(std::vector{ramp});
  EXPECT_NEAR(PixelAt(ramped, 8, 0)[0], 255 * (8.5 / 16 + 1) / 4, 1);
  // A vertical edge at x = 4.6: column 4's centre is inside, half its samples are.
  const RenderTriangle left = Flat({0, -1, 4.6f / 8, -1, 4.6f / 8, 3}, {255, 255, 255, 255});
  EXPECT_EQ(PixelAt(TriangleRenderer(8, 8, options).Render(std::vector{left}), 4, 0)[0], 255);
  options.anti_aliasing = true;
  EXPECT_EQ(PixelAt(TriangleRenderer(8, 8, options).Render(std::vector{left}), 4, 0)[0], 128);
}

TEST(Bmp24, HeadersThenBottomRowFirstPaddedToFourBytes) {
  RgbaImage image{3, 2, {}};
  for (int i = 0; i < 6; ++i)
    image.pixels.insert(image.pixels.end(), {std::uint8_t(i + 1), 10, 20, 0});
  const std::vector<std::uint8_t> bmp = EncodeBmp24(image);
  ASSERT_EQ(bmp.size(), 54u + 2 * 12);
  EXPECT_EQ(std::vector(bmp.begin(), bmp.begin() + 6),
            (std::vector<std::uint8_t>{'B', 'M', 78, 0, 0, 0}));
  EXPECT_EQ(std::tuple(bmp[10], bmp[14], bmp[18], bmp[22], bmp[28]), std::tuple(54, 40, 3, 2, 24));
  // Bottom row (reds 4 to 6) as blue, green, red, then three bytes of padding.
  EXPECT_EQ(std::vector(bmp.begin() + 54, bmp.begin() + 66),
            (std::vector<std::uint8_t>{20, 10, 4, 20, 10, 5, 20, 10, 6, 0, 0, 0}));
  EXPECT_EQ(bmp[66 + 2], 1);  // top row's first red
}

// An octahedron of six coloured corners, half transparent towards -Y, as the texture generator
// draws it with its usual answers. The picture was checked by eye: a colour wheel around the
// equator, the +Y colour along the top and the -Y colour blended along the bottom.
TEST(TextureGenerator, OctahedronMatchesTheStoredPicture) {
  const std::string stored = GANTRY_FIXTURES_DIR "/background_render/octahedron.bmp";
  BackgroundMeshSetRecord set;
  MeshPart& part = set.Meshes.emplace_back().Parts.emplace_back();
  const std::array<std::array<float, 3>, 6> at = {
      {{100, 0, 0}, {-100, 0, 0}, {0, 100, 0}, {0, -100, 0}, {0, 0, 100}, {0, 0, -100}}};
  const std::array<Rgba, 6> bgra = {{{0, 0, 255, 255},
                                     {0, 255, 0, 255},
                                     {255, 0, 0, 255},
                                     {0, 255, 255, 128},
                                     {255, 255, 0, 255},
                                     {255, 0, 255, 255}}};
  for (int i = 0; i < 6; ++i) {
    MeshVertex& v = part.Vertices.emplace_back();
    v.Position = {at[i][0], at[i][1], at[i][2], 1};
    v.Colour = bgra[i];
  }
  part.FaceLists.push_back({kFaceListStrip, 0, {2, 4, 0, 3, 5, 1, 2, 4}});
  part.FaceLists.push_back({kFaceListTriangles, 0, {2, 0, 5, 3, 1, 4}});
  TextureGenerationSettings settings;
  settings.size_multiplier = 64.0 / 2048;
  const std::vector<std::uint8_t> made =
      EncodeBmp24(GenerateTexture(set, settings).generator.Render());
  if (std::getenv("GANTRY_REGENERATE_FIXTURES")) {
    ASSERT_FALSE(WriteFileSafely(stored, made));
  }
  const std::vector<std::uint8_t> want = testing::FileBytes(stored);
  ASSERT_EQ(made.size(), want.size());
  // One level either way for floating-point differences between compilers.
  for (std::size_t i = 0; i < made.size(); ++i) ASSERT_NEAR(made[i], want[i], 1) << i;
}

}  // namespace
}  // namespace gantry
