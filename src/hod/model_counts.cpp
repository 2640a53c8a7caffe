#include "hod/model_counts.h"

namespace gantry {

namespace {

struct MeshTotals {
  std::int64_t lods = 0;
  std::int64_t vertices = 0;
  std::int64_t indices = 0;

  void Add(const LodMesh& mesh) {
    ++lods;
    for (const MeshPart& part : mesh.Parts) {
      vertices += static_cast<std::int64_t>(part.Vertices.size());
      for (const FaceList& list : part.FaceLists) {
        indices += static_cast<std::int64_t>(list.Indices.size());
      }
    }
  }
};

template <typename List, typename Size>
std::int64_t Sum(const List& list, Size size) {
  std::int64_t total = 0;
  for (const auto& element : list) total += static_cast<std::int64_t>(size(element));
  return total;
}

std::int64_t N(std::size_t n) { return static_cast<std::int64_t>(n); }

}  // namespace

std::vector<std::pair<std::string, std::int64_t>> CountModel(const HodModel& m) {
  MeshTotals totals;
  std::int64_t goblins = 0;
  for (const MultiMesh& mesh : m.Meshes) {
    if (mesh.ID == Tag("GOBG")) ++goblins;
    for (const LodMesh& lod : mesh.Lods) totals.Add(lod);
  }
  for (const EngineGlow& glow : m.EngineGlows) totals.Add(glow.Mesh);
  for (const LodMesh& mesh : m.BackgroundMeshSet.Meshes) totals.Add(mesh);

  return {
      {"materials", N(m.Materials.size())},
      {"textures", N(m.Textures.size())},
      {"meshes", N(m.Meshes.size())},
      {"goblins", goblins},
      {"simple_meshes", N(m.SimpleMeshes.size())},
      {"vary_meshes", N(m.VaryMeshes.size())},
      {"engine_shapes", N(m.EngineShapes.size())},
      {"engine_burns", N(m.EngineBurns.size())},
      {"engine_glows", N(m.EngineGlows.size())},
      {"markers", N(m.Markers.size())},
      {"collision_meshes", N(m.CollisionMeshes.size())},
      {"scar_meshes", N(m.ScarMeshes.size())},
      {"warnings", N(m.Warnings.size())},
      {"errors", N(m.Errors.size())},
      {"background_segments", N(m.BackgroundSegments.size())},
      {"star_fields", N(m.StarFields.size())},
      {"background_meshes", N(m.BackgroundMeshSet.Meshes.size())},
      {"joints", N(m.JointList.Joints.size())},
      {"lights", N(m.LightList.Lights.size())},
      {"nav_lights", N(m.NavLightList.NavLights.size())},
      {"dock_paths", N(m.DockPathList.Paths.size())},
      {"boundary_vertices", N(m.BoundaryVertices.Vertices.size())},
      {"lods_total", totals.lods},
      {"vertices", totals.vertices},
      {"indices", totals.indices},
      {"mip_levels", Sum(m.Textures, [](const Texture& t) { return t.MipLevels.size(); })},
      {"keyframe_tracks", Sum(m.Markers, [](const Marker& k) { return k.Tracks.size(); })},
      {"dock_points", Sum(m.DockPathList.Paths, [](const DockPath& p) { return p.Points.size(); })},
      {"stars", Sum(m.StarFields, [](const StarField& f) { return f.Stars.size(); })},
  };
}

std::string OwnerText(const HodModel& model) {
  std::string owner = model.HodOwner.Owner;
  while (!owner.empty() && owner.back() == '\0') owner.pop_back();
  return owner;
}

}  // namespace gantry
