#include "commands/background_meshes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <tuple>

#include "hod/validate.h"
#include "support/read_back.h"
#include "support/temp_folder.h"

namespace gantry {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedUi;
using Paint = std::function<std::uint32_t(int column, int row)>;  // row 0 at the top, 0xAARRGGBB

// A 32-bit TGA stored bottom row first, as most writers store it.
TGAImage MakeImage(int w, int h, const Paint& paint) {
  TGAImage image;
  image.Header.Width = static_cast<std::int16_t>(w);
  image.Header.Height = static_cast<std::int16_t>(h);
  for (int file_row = 0; file_row < h; ++file_row) {
    for (int c = 0; c < w; ++c) image.Pixels.push_back(paint(c, h - 1 - file_row));
  }
  return image;
}

// A checkerboard over gradients: refinement has edges to follow.
std::uint32_t Patchwork(int c, int r) {
  const std::uint32_t red = (c / 8 + r / 8) % 2 ? 200 : 40;
  return 0xFF000000u | red << 16 | static_cast<std::uint32_t>(c * 2) << 8 | (255 - r * 3);
}
// Smooth, and the same on both sides of the seam (columns 0 and 128 meet there).
std::uint32_t Gradient(int c, int r) {
  return 0x80000000u | static_cast<std::uint32_t>(std::abs(c - 64) * 3) << 16 |
         static_cast<std::uint32_t>(r * 4);
}

TEST(MeshFromTexture, PartsAreTwoTimesFourToTheNAndCloseIntoOneSphereFacingInwards) {
  const TGAImage image = MakeImage(64, 32, Patchwork);
  for (const auto& [n, parts] :
       std::vector<std::pair<double, std::size_t>>{{0, 2}, {1, 8}, {2, 32}, {5, 128}, {-1, 2}}) {
    SCOPED_TRACE(n);
    const std::vector<MeshPart> mesh = MeshPartsFromTexture(image, {n, 1, 2});
    ASSERT_EQ(mesh.size(), parts);
    // Each directed edge must meet its reverse exactly once: no cracks, no flipped faces.
    std::map<std::tuple<long, long, long, long, long, long>, int> edges;
    const auto key = [](const Vector4& p) {
      return std::tuple(std::lround(p.x * 1e3), std::lround(p.y * 1e3), std::lround(p.z * 1e3));
    };
    for (const MeshPart& part : mesh) {
      ASSERT_LE(part.Vertices.size(), 32767u);
      for (const MeshVertex& v : part.Vertices) {
        EXPECT_NEAR(std::hypot(v.Position.x, v.Position.y, v.Position.z), 100, 1e-4);
        EXPECT_EQ(v.Colour, ImageColourAt(image, v.UV.u, v.UV.v));
      }
      const auto& indices = part.FaceLists.at(0).Indices;
      for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
        const Vector4* p[3];
        for (int k = 0; k < 3; ++k) p[k] = &part.Vertices.at(indices[i + k]).Position;
        const double ax = p[1]->x - p[0]->x, ay = p[1]->y - p[0]->y, az = p[1]->z - p[0]->z;
        const double bx = p[2]->x - p[0]->x, by = p[2]->y - p[0]->y, bz = p[2]->z - p[0]->z;
        EXPECT_LT((ay * bz - az * by) * p[0]->x + (az * bx - ax * bz) * p[0]->y +
                      (ax * by - ay * bx) * p[0]->z,
                  0);
        for (int k = 0; k < 3; ++k) {
          edges[std::tuple_cat(key(*p[k]), key(*p[(k + 1) % 3]))]++;
        }
      }
    }
    for (const auto& [edge, count] : edges) {
      const auto& [a, b, c, d, e, f] = edge;
      ASSERT_EQ(count, 1);
      ASSERT_EQ(edges.count({d, e, f, a, b, c}), 1u);
    }
  }
  // Sensitivity refines: more vertices where the colours change.
  EXPECT_GT(MeshPartsFromTexture(image, {0, 1, 4})[0].Vertices.size(),
            MeshPartsFromTexture(image, {0, 1, 0})[0].Vertices.size());
}

TEST(MeshFromTexture, CommandAddsAMeshThatValidatesSavesAndReadsBack) {
  const testing::TempFolder folder;
  HodModel model = MakeDefaultModel();
  model.HodVersion.Version = 1000;  // a background HOD
  ScriptedUi ui;
  ui.inputs = {"2", "1", "1"};
  ui.files = {folder.WriteTga("sky.tga", 64, 32, MakeImage(64, 32, Patchwork).Pixels)};
  const CommandResult result = CreateMeshFromTexture(model, ui);
  EXPECT_EQ(ui.prompts, (std::vector<std::string>{
                            "Enter number of desired parts (SHOULD BE VALUE OF N IN 2*4^N): ",
                            "Enter mesh density multiplier (higher=more dense base mesh): ",
                            "Enter colour sensitivity multiplier (higher=more dense output mesh): ",
                            "Create MESH from Texture"}));
  EXPECT_EQ(ui.statuses, (std::vector<std::string>{
                             "Converting to BMSH format... (This may take time)", "Ready"}));
  ASSERT_TRUE(result.changed);
  ASSERT_EQ(model.BackgroundMeshSet.Meshes.at(*result.select).PartCount, 32);
  EXPECT_EQ((std::tuple{ValidateHod(model, ui).valid, ui.messages.size(),
                        testing::ReadBackDifferences(model)}),
            std::tuple(true, 0u, std::vector<std::string>{}));
}

TEST(MeshFromTexture, AnNAboveThreeIsSaidToBeCut) {
  for (const char* typed : {"3", "4"}) {
    HodModel model = MakeDefaultModel();
    ScriptedUi ui;
    ui.inputs = {typed, "1", "1"};  // then no image is chosen
    CreateMeshFromTexture(model, ui);
    EXPECT_EQ(ui.MessageTexts(),
              std::string(typed) == "3"
                  ? std::vector<std::string>{}
                  : std::vector<std::string>{
                        "N cannot be more than 3 ( a mesh holds at most 254 parts ). Assuming 3"});
  }
}

TEST(Recolouring, TakesTheImageAtTheTextureCoordinatesAndComesBackFromTheTexture) {
  const testing::TempFolder folder;
  HodModel model = MakeDefaultModel();
  ScriptedUi ui;
  ui.inputs = {"1", "2", "1"};
  ui.files = {folder.WriteTga("a.tga", 64, 32, MakeImage(64, 32, Patchwork).Pixels)};
  CreateMeshFromTexture(model, ui);
  const LodMesh before = model.BackgroundMeshSet.Meshes.at(0);
  // Refused files leave the mesh alone.
  TGAImage short_image = MakeImage(8, 8, Gradient);
  short_image.Pixels.resize(10);
  for (const std::string& bad :
       {folder.WriteTga("short.tga", 8, 8, short_image.Pixels),
        folder.Write("junk.tga", "not an image"), folder.Path("missing.tga")}) {
    ui.messages.clear();
    ui.files = {bad};
    EXPECT_EQ((std::tuple{RecolourBackgroundMesh(model, 0, ui).changed, ui.MessageTexts(),
                          model.BackgroundMeshSet.Meshes[0]}),
              std::tuple(false, std::vector<std::string>{"Invalid TGA File. "}, before));
  }
  // Recoloured with a smooth image, the mesh renders that image again. A vertex takes the pixel
  // right of and below it, so colours come back up to 6 levels off (this gradient steps 3 and 4
  // levels a pixel), at the seam and the poles as much as anywhere.
  const TGAImage smooth = MakeImage(128, 64, Gradient);
  ui.files = {folder.WriteTga("b.tga", 128, 64, smooth.Pixels)};
  ASSERT_TRUE(RecolourBackgroundMesh(model, 0, ui).changed);
  TextureGenerationSettings settings;
  settings.size_multiplier = 128.0 / 2048;
  settings.render.alpha_blending = false;
  const RgbaImage texture = GenerateTexture(model.BackgroundMeshSet, settings).generator.Render();
  ASSERT_EQ(std::tuple(texture.width, texture.height), std::tuple(128, 64));
  int worst = 0;
  for (int r = 0; r < 64; ++r) {
    for (int c = 0; c < 128; ++c) {
      const auto want = ImageColourAt(smooth, (c + 0.5f) / 128, (r + 0.5f) / 64);
      const auto got = PixelAt(texture, c, r);
      for (int ch = 0; ch < 3; ++ch) worst = std::max(worst, std::abs(got[ch] - want[2 - ch]));
    }
  }
  EXPECT_LE(worst, 6);
}

TEST(TextureGeneration, SizeMultiplierAnswers) {
  struct Case {
    const char* typed;
    int width;
    std::vector<std::string> messages;
  };
  for (const Case& c :
       std::vector<Case>{{"0.5", 1024, {}},
                         {"3", 4096, {"Size Multiplier cannot be more than 2. Assuming 2"}},
                         {"0", 2048, {"Size Multiplier cannot be 0. Assuming 1"}},
                         {"-0.25", 512, {}}}) {
    SCOPED_TRACE(c.typed);
    Workspace workspace;
    ScriptedUi ui;
    ui.inputs = {c.typed};
    const auto generator = GenerateBackgroundTexture(workspace, ui);
    ASSERT_TRUE(generator.has_value());
    EXPECT_EQ(std::tuple(generator->width(), generator->height()),
              std::tuple(c.width, c.width / 2));
    // Fix wrapping, the four options, additional faces and saving: all answered No.
    std::vector<std::string> shown = ui.MessageTexts();
    EXPECT_EQ(std::vector<std::string>(shown.begin() + 1, shown.end() - 6), c.messages);
  }
}

TEST(TextureGeneration, ThresholdAnswersAreWrappedIntoZeroToOne) {
  struct Case {
    double typed;
    bool upper;
    double used;
    const char* message;
  };
  for (const Case& c : std::vector<Case>{
           {1.25, false, 0.25,
            "1.25 is an unacceptable value for lower threshold ( not between 0 and 1 ). Assuming "
            "0.25"},
           {-0.5, false, 0.5,
            "-0.5 is an unacceptable value for lower threshold ( not between 0 and 1 ). Assuming "
            "0.5"},
           {0, false, 0.125, "0 is an unacceptable value for lower threshold. Assuming 0.125"},
           {2.5, true, 0.5,
            "2.5 is an unacceptable value for upper threshold ( not between 0 and 1 ). Assuming "
            "0.5"},
           {0.75, true, 0.75, nullptr}}) {
    ScriptedUi ui;
    EXPECT_DOUBLE_EQ(CorrectedThreshold(c.typed, c.upper, ui), c.used);
    EXPECT_EQ(ui.MessageTexts(),
              c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
  }
  EXPECT_EQ(std::tuple(Wrap(7, 0, 1, 0), Wrap(INFINITY, 0, 1, 1)), std::tuple(1, 0));
}

TEST(TextureGeneration, SavesTheWorkingMeshesOnlyWhenAskedTo) {
  for (const Answer save : {Answer::No, Answer::Yes}) {
    const testing::TempFolder folder;
    Workspace workspace;
    workspace.working_folder = folder.path().string();
    workspace.model.BackgroundMeshSet.Meshes.resize(2);
    ScriptedUi ui;
    ui.inputs = {"1"};
    ui.answers = {Answer::No, Answer::No, Answer::No, Answer::No, Answer::No, Answer::No, save};
    ASSERT_TRUE(GenerateBackgroundTexture(workspace, ui).has_value());
    // Enter does not write files: No is the preselected answer.
    ASSERT_FALSE(ui.preselected.empty());
    EXPECT_EQ(
        ui.preselected.back(),
        std::make_pair(std::string("Save generated meshes? ( with UV co-ordinates )"), Answer::No));
    const bool written = save == Answer::Yes;
    EXPECT_EQ(std::tuple(fs::exists(folder.Path("BGMS Generated BMSH 1.obj")),
                         fs::exists(folder.Path("BGMS Generated BMSH 2.obj")), folder.FileCount()),
              std::tuple(written, written, written ? 2u : 0u));
  }
}

// One face whose corners are given directly as texture coordinates.
LodMesh OneTriangle(std::array<Vector2, 3> uv) {
  LodMesh mesh;
  MeshPart& part = mesh.Parts.emplace_back();
  for (const Vector2& c : uv) part.Vertices.emplace_back().UV = c;
  part.FaceLists.push_back({kFaceListTriangles, 3, {0, 1, 2}});
  return mesh;
}

TEST(TextureGeneration, FacesAtTheSeamAndThePolesBecomeTrianglesOnBothSides) {
  const LodMesh seam = OneTriangle({{{0.95f, 0.4f}, {0.05f, 0.5f}, {0.9f, 0.6f}}});
  const LodMesh pole = OneTriangle({{{0.7f, 0}, {0.3f, 0.2f}, {0.4f, 0.2f}}});
  struct Case {
    const LodMesh* mesh;
    WrapSettings wrap;
    std::vector<std::array<float, 3>> us;  // u of each triangle's corners
  };
  for (const Case& c :
       std::vector<Case>{{&seam, {}, {{0.95f, 1.05f, 0.9f}, {-0.05f, 0.05f, -0.1f}}},
                         {&seam, {0.125, 0.875, false, false}, {{0.95f, 1.05f, 0.9f}}},
                         {&seam, {0.01, 0.99, true, true}, {{0.95f, 0.05f, 0.9f}}},
                         {&pole, {}, {{0.4f, 0.3f, 0.3f}, {0.4f, 0.3f, 0.4f}}},
                         {&pole, {0.125, 0.875, true, false}, {{0.35f, 0.3f, 0.4f}}}}) {
    BackgroundTextureGenerator generator;
    generator.AddAVert(*c.mesh, c.wrap);
    std::vector<std::array<float, 3>> us;
    for (const RenderTriangle& t : generator.triangles()) us.push_back({t[0].u, t[1].u, t[2].u});
    ASSERT_EQ(us.size(), c.us.size());
    for (std::size_t i = 0; i < us.size(); ++i) {
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(us[i][k], c.us[i][k], 1e-6) << i << " " << k;
    }
  }
  // Fixing the working copy gives the same corners to every reader of its coordinates.
  LodMesh fixed = seam;
  FixCircularWrapping(fixed);
  ASSERT_EQ(fixed.Parts[0].Vertices.size(), 4u);
  EXPECT_FLOAT_EQ(fixed.Parts[0].Vertices[fixed.Parts[0].FaceLists[0].Indices[1]].UV.u, 1.05f);
}

}  // namespace
}  // namespace gantry
