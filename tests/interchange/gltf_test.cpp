// glTF export and import: Gantry's own files bring the model back, a file written the way other
// tools write it (no extras) becomes a valid multi-mesh model, and damaged files are refused
// with a message.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>

#include "commands/gltf_models.h"
#include "common/ui.h"
#include "geometry/rotations.h"
#include "geometry/vectors.h"
#include "hod/model_diff.h"
#include "hod/validate.h"
#include "interchange/gltf_export.h"
#include "interchange/gltf_import.h"
#include "support/random_model.h"

namespace gantry {
namespace {

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(GltfRoundTrip, RandomModelsComeBackThroughBothForms) {
  for (std::uint32_t seed = 1; seed <= 12; ++seed) {
    const HodType types[] = {HodType::MultiMesh, HodType::SimpleMesh, HodType::WireframeMesh,
                             HodType::Background};
    const HodModel original = testing::RandomModel(seed, types[seed % 4]);
    for (const bool binary : {true, false}) {
      SCOPED_TRACE(::testing::Message() << "seed " << seed << (binary ? " glb" : " gltf"));
      std::string error;
      const auto bytes = ExportGltf(original, {.binary = binary}, &error);
      ASSERT_TRUE(bytes) << error;
      auto back = ImportGltf(*bytes, "", &error);
      ASSERT_TRUE(back) << error;
      EXPECT_TRUE(back->from_gantry);
      const auto lines = DiffModels(original, back->model, {.max_differences = 5});
      EXPECT_TRUE(lines.empty()) << lines.front();
    }
    // Level 0 alone when asked.
    const auto top = ImportGltf(ExportGltf(original, {.all_lods = false}).value(), "", nullptr);
    ASSERT_TRUE(top && top->model.Meshes.size() == original.Meshes.size());
    for (std::size_t m = 0; m < original.Meshes.size(); ++m) {
      EXPECT_EQ(top->model.Meshes[m].Lods.size(),
                std::min<std::size_t>(1, original.Meshes[m].Lods.size()));
    }
  }
}

// Every `extras` removed: what a tool that drops them would write back.
void StripExtras(nlohmann::json& json) {
  if (json.is_object()) {
    json.erase("extras");
    for (auto& [key, item] : json.items()) StripExtras(item);
  } else if (json.is_array()) {
    for (auto& item : json) StripExtras(item);
  }
}

// Names are the game's code page written as UTF-8. Without extras, as a tool that drops them
// writes the file back, the names alone bring joints, meshes and levels back.
TEST(GltfRoundTrip, NamesInTheGamesCodePageAloneBringTheModelBack) {
  // The euro and trademark signs are code page 1252's, not Latin-1's.
  const std::string name = "Hull\x80\x99\xe9", utf8 = "Hull\xe2\x82\xac\xe2\x84\xa2\xc3\xa9";
  HodModel original = testing::RandomModel(4, HodType::MultiMesh);
  const auto shown = std::find_if(
      original.Meshes.begin(), original.Meshes.end(),
      [](const MultiMesh& mesh) { return !mesh.Lods.empty() && !mesh.Lods.front().Parts.empty(); });
  ASSERT_TRUE(shown != original.Meshes.end() && !original.Materials.empty());
  shown->Name = name;
  original.Materials[0].Name = name + "!";
  const auto bytes = ExportGltf(original, {.binary = false});
  ASSERT_TRUE(bytes);
  nlohmann::json json = nlohmann::json::parse(bytes->begin(), bytes->end());
  EXPECT_EQ(json["materials"][0]["name"], utf8 + "!");
  std::string error;
  const auto back = ImportGltf(*bytes, "", &error);
  ASSERT_TRUE(back) << error;
  const std::size_t index = static_cast<std::size_t>(shown - original.Meshes.begin());
  EXPECT_EQ(std::tuple(back->model.Meshes.at(index).Name, back->model.Materials[0].Name),
            std::tuple(name, name + "!"));
  StripExtras(json);
  const std::string plain = json.dump();
  const auto named = ImportGltf(Bytes(plain), "", &error);
  ASSERT_TRUE(named) << error;
  EXPECT_FALSE(named->from_gantry);
  // Joints keep their places and turns (as Euler angles that may differ but turn alike).
  const std::vector<Joint>& joints = named->model.JointList.Joints;
  for (const Joint& joint : original.JointList.Joints) {
    const auto found = std::ranges::find(joints, joint.Name, &Joint::Name);
    ASSERT_NE(found, joints.end()) << joint.Name;
    const Vector3 probe{0.3f, -1.2f, 2.5f};
    const Vector3 a =
        RotateVector(probe, {joint.Rotation.x + joint.Axis.x, joint.Rotation.y + joint.Axis.y,
                             joint.Rotation.z + joint.Axis.z});
    const Vector3 b = RotateVector(probe, found->Rotation);
    EXPECT_LT(Distance3D(a.x, a.y, a.z, b.x, b.y, b.z), 1e-3) << joint.Name;
  }
  // Each mesh with geometry comes back under its name, a goblin as a goblin.
  const std::vector<MultiMesh>& meshes = named->model.Meshes;
  for (const MultiMesh& mesh : original.Meshes) {
    if (mesh.Lods.empty() || mesh.Lods.front().Parts.empty()) continue;
    const auto found = std::ranges::find(meshes, mesh.Name, &MultiMesh::Name);
    ASSERT_NE(found, meshes.end()) << mesh.Name;
    EXPECT_EQ(IsGoblin(*found), IsGoblin(mesh));
  }
  EXPECT_EQ(std::tuple(named->model.Markers.size(), named->model.DockPathList.Paths.size()),
            std::tuple(original.Markers.size(), original.DockPathList.Paths.size()));
}

// A glTF as Blender writes it: no extras, a parent empty, a mesh with a second level of detail
// and a textured material, a marker and a dock path with two points. The buffer holds a
// quad: four positions (48 bytes), four normals (48), four texture coordinates (32), six
// 16-bit indices (12).
// A 1x1 red PNG.
constexpr const char* kRedPixelPng =
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwAFBQIAX8jx0gAAAABJRU5ErkJg"
    "gg==";

std::string BlenderStyleGltf(float first_x = -1) {
  std::vector<std::uint8_t> buffer;
  const auto put = [&](const auto& values) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(values.data());
    buffer.insert(buffer.end(), b, b + values.size() * sizeof(values[0]));
  };
  put(std::vector<float>{first_x, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0});
  put(std::vector<float>{0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1});
  put(std::vector<float>{0, 1, 1, 1, 1, 0, 0, 0});
  put(std::vector<std::uint16_t>{0, 1, 2, 0, 2, 3});
  static const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string base64;
  for (std::size_t i = 0; i < buffer.size(); i += 3) {
    const std::uint32_t n = (buffer[i] << 16) | ((i + 1 < buffer.size() ? buffer[i + 1] : 0) << 8) |
                            (i + 2 < buffer.size() ? buffer[i + 2] : 0);
    base64 += kAlphabet[(n >> 18) & 63];
    base64 += kAlphabet[(n >> 12) & 63];
    base64 += i + 1 < buffer.size() ? kAlphabet[(n >> 6) & 63] : '=';
    base64 += i + 2 < buffer.size() ? kAlphabet[n & 63] : '=';
  }
  return std::string(R"({
  "asset": {"version": "2.0", "generator": "Khronos glTF Blender I/O"},
  "scene": 0,
  "scenes": [{"nodes": [0]}],
  "nodes": [
    {"name": "Ship", "children": [1, 2, 3, 4], "translation": [0, 2, 0]},
    {"name": "Hull", "mesh": 0},
    {"name": "Hull_LOD1", "mesh": 0},
    {"name": "MARKER_Exhaust", "translation": [0, 0, -5], "rotation": [0, 0.7071068, 0, 0.7071068]},
    {"name": "DOCK_Latch", "children": [5, 6]},
    {"name": "DOCK_Latch_P1", "translation": [0, 10, 0]},
    {"name": "DOCK_Latch_P2", "translation": [0, 1, 0]}
  ],
  "meshes": [{"name": "Hull", "primitives": [{"attributes": {"POSITION": 0, "NORMAL": 1,
    "TEXCOORD_0": 2}, "indices": 3, "material": 0}]}],
  "materials": [{"name": "HullPaint", "pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}}],
  "textures": [{"source": 0}],
  "images": [{"name": "hull", "uri": "data:image/png;base64,)") +
         kRedPixelPng + R"("}],
  "accessors": [
    {"bufferView": 0, "componentType": 5126, "count": 4, "type": "VEC3", "min": [-1, -1, 0], "max": [1, 1, 0]},
    {"bufferView": 0, "byteOffset": 48, "componentType": 5126, "count": 4, "type": "VEC3"},
    {"bufferView": 0, "byteOffset": 96, "componentType": 5126, "count": 4, "type": "VEC2"},
    {"bufferView": 1, "componentType": 5123, "count": 6, "type": "SCALAR"}
  ],
  "bufferViews": [{"buffer": 0, "byteOffset": 0, "byteLength": 128},
                  {"buffer": 0, "byteOffset": 128, "byteLength": 12}],
  "buffers": [{"byteLength": 140, "uri": "data:application/octet-stream;base64,)" +
         base64 + R"("}]
})";
}

TEST(GltfPlainImport, BlenderStyleFileBecomesAValidModelOrReplacesABasesMesh) {
  std::string error;
  auto imported = ImportGltf(Bytes(BlenderStyleGltf()), "", &error);
  ASSERT_TRUE(imported) << error;
  EXPECT_FALSE(imported->from_gantry);
  HodModel& model = imported->model;
  ASSERT_TRUE(model.Meshes.size() == 1 && model.Meshes[0].Lods.size() == 2 &&
              model.Meshes[0].Lods[0].Parts.size() == 1 && model.Markers.size() == 1 &&
              model.DockPathList.Paths.size() == 1 && model.JointList.Joints.size() == 2);
  const MultiMesh& hull = model.Meshes[0];
  const std::vector<DockPoint>& points = model.DockPathList.Paths[0].Points;
  EXPECT_EQ(std::tuple(hull.Name, hull.ParentName, hull.Lods[1].LodLevel,
                       hull.Lods[0].Parts[0].Vertices.size(),
                       hull.Lods[0].Parts[0].FaceLists.at(0).Indices.size(), model.Materials.size(),
                       model.Materials.at(0).Name, model.Textures.size(),
                       model.Textures.at(0).Width, model.Markers[0].Name, points.size(),
                       points.at(0).Position.y, model.JointList.Joints[1].Position.y),
            std::tuple("Hull", "Ship", 1, 4u, 6u, 1u, "HullPaint", 1u, 1, "Exhaust", 2u, 10, 2));
  EXPECT_NEAR(model.Markers[0].Rotation[1], std::acos(-1.0) / 2, 1e-5);

  // Into a base, the named mesh alone is replaced.
  HodModel base = testing::RandomModel(6, HodType::MultiMesh);
  ASSERT_FALSE(base.Meshes.empty());
  base.Meshes[0].Name = "Hull";
  CompleteScarMeshes(base);
  const HodModel before = base;
  const auto lines = ReplaceMeshesFrom(base, model);
  ASSERT_EQ(std::tuple(lines.size(), base.Meshes.size(), base.Meshes[0].Lods.size()),
            std::tuple(1u, before.Meshes.size(), 2u));
  // The new material was added after the base's own and the parts point at it.
  const MeshPart& part = base.Meshes[0].Lods[0].Parts.at(0);
  EXPECT_EQ(
      std::tuple(part.Vertices.size(), base.Materials.back().Name, part.MaterialIndex,
                 base.ScarMeshes[0].Description.Name),
      std::tuple(4u, "HullPaint", static_cast<std::int32_t>(base.Materials.size()) - 1, "Hull"));
  EXPECT_TRUE(std::equal(base.Meshes.begin() + 1, base.Meshes.end(), before.Meshes.begin() + 1));
  EXPECT_EQ(std::tuple(base.JointList, base.Markers), std::tuple(before.JointList, before.Markers));

  CompleteScarMeshes(model);
  QuietUi ui;
  EXPECT_TRUE(ValidateHod(model, ui).valid)
      << (ui.messages().empty() ? std::string() : ui.messages().front().text);
}

// A damaged file: the text with `from` replaced by `to`.
std::string Damaged(const std::string& from, const std::string& to) {
  std::string text = BlenderStyleGltf();
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

TEST(GltfHostileInput, DamagedFilesAreRefusedWithAMessage) {
  const std::string image = std::string("data:image/png;base64,") + kRedPixelPng;
  const struct {
    std::string text;
    const char* says = "";  // a part of the message
  } cases[] = {
      {"{\"asset\": {\"version\": \"2.0\""},                     // cut short
      {"glTF\x02\0\0\0\xff\xff\xff\x7f"},                        // a GLB header that lies
      {Damaged("\"byteLength\": 12}", "\"byteLength\": 120}")},  // view past its buffer
      {Damaged("\"count\": 6", "\"count\": 60000")},             // accessor past its view
      {Damaged("\"count\": 6", "\"count\": 4294967295")},
      {Damaged("\"mesh\": 0}", "\"mesh\": 7}")},  // a mesh that is not there
      {Damaged("\"children\": [5, 6]", "\"children\": [5, 60]")},
      {Damaged("\"indices\": 3", "\"indices\": 9")},
      {Damaged("\"byteLength\": 140", "\"byteLength\": 14000")},  // a buffer longer than its data
      // The index accessor reads the texture coordinates' bytes, which name vertices far past
      // the four there are.
      {Damaged("{\"bufferView\": 1, \"componentType\": 5123",
               "{\"bufferView\": 0, \"byteOffset\": 96, \"componentType\": 5123"),
       "vertex"},
      {BlenderStyleGltf(INFINITY), "finite"},
      {BlenderStyleGltf(NAN), "finite"},
      {Damaged(image, "missing.png"), "image 0"},
      {Damaged(image, "data:image/png;base64,AAAA"), "image 0"},
  };
  for (std::size_t c = 0; c < std::size(cases); ++c) {
    std::string error;
    EXPECT_FALSE(ImportGltf(Bytes(cases[c].text), ".", &error)) << "case " << c;
    EXPECT_NE(error.find(cases[c].says), std::string::npos) << "case " << c << ": " << error;
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace gantry
