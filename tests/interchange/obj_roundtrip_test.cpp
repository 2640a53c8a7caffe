// A level of detail exported as OBJ and imported again is the same mesh (for the components an
// OBJ carries: positions, normals, texture coordinates, faces and materials).
#include <gtest/gtest.h>

#include <tuple>

#include "hod/reset.h"
#include "interchange/obj_export.h"
#include "interchange/obj_import.h"
#include "support/scripted_ui.h"

namespace gantry {
namespace {

// 27: the OBJ importer's mask.
MeshPart Quad(float z, std::int32_t material) {
  MeshPart part{material, kMaskPosition | kMaskNormal | kMaskUV | 0x10, 4, {},
                1,        {{kFaceListTriangles, 6, {0, 1, 2, 0, 2, 3}}}};
  for (const auto& [x, y] : {std::pair{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}}) {
    part.Vertices.push_back({{x, y, z, 1}, {}, {0, 0, 1, 1}, {x / 2, y / 4}, {}, {}});
  }
  return part;
}

TEST(ObjRoundTrip, ExportThenImportGivesTheSameLevel) {
  HodModel model = MakeDefaultModel();
  model.Materials.resize(2);
  model.Materials[0].Name = "hull";
  model.Materials[1].Name = "glass";
  LodMesh lod{{}, 0, 0, 2, {Quad(0, 0), Quad(2, 1)}};

  for (const bool reverse_v : {false, true}) {
    testing::ScriptedUi ui;
    const std::string text =
        LodMeshObjText(model, "ship.hod", lod, "ship_LOD0", reverse_v, HeaderStamp{}, ui);
    const ObjImportOptions options{.SubstituteMaterials = true,
                                   .AskReverseUVs = reverse_v,
                                   .MergeVertices = true,
                                   .ReadFaces = true};
    ObjImportContext context;
    context.material_names = {"hull", "glass"};
    context.batch = true;
    const auto back = ImportOBJMeshText(text, options, context, ui);
    ASSERT_TRUE(back) << (ui.messages.empty() ? "" : ui.messages[0].text);
    ASSERT_EQ(back->Parts.size(), 2u);
    for (std::size_t p = 0; p < 2; ++p) {
      const MeshPart& in = lod.Parts[p];
      const MeshPart& out = back->Parts[p];
      EXPECT_EQ(out.MaterialIndex, in.MaterialIndex);
      ASSERT_EQ(out.Vertices.size(), 4u) << "shared corners are merged back";
      for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(std::tuple(out.Vertices[i].Position, out.Vertices[i].Normal.z),
                  std::tuple(in.Vertices[i].Position, 1));
        EXPECT_FLOAT_EQ(out.Vertices[i].UV.u, in.Vertices[i].UV.u);
        EXPECT_FLOAT_EQ(out.Vertices[i].UV.v, in.Vertices[i].UV.v);
      }
      ASSERT_EQ(out.FaceLists.size(), 1u);
      EXPECT_EQ(out.FaceLists[0].Indices, in.FaceLists[0].Indices);
    }
  }
}

}  // namespace
}  // namespace gantry
