// What the object viewer draws: the ticked levels of detail (or background meshes) as triangle
// lists in model space, one list per material so each draws with its material's texture.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geometry/mesh_triangles.h"
#include "hod/model.h"

namespace gantry {

struct SceneVertex {
  Vector3 position;
  std::array<std::uint8_t, 4> colour{};  // red, green, blue, alpha
  float u = 0;
  float v = 0;
};

struct SceneBuffer {
  std::int32_t material = 0;  // 0-based; may name no material at all
  std::vector<SceneVertex> vertices;
  // Three corners (numbers into `vertices`) per triangle; when empty, the vertices themselves
  // are taken three at a time. A corner shared by many triangles is placed (and drawn) once.
  std::vector<std::uint32_t> indices;
};

// Which objects are shown: per mesh, per level of detail (multi-meshes); per background mesh.
struct SceneTicks {
  std::vector<std::vector<bool>> lods;
  std::vector<bool> background;
};

// The viewer's first choice: the first level of every mesh.
SceneTicks DefaultSceneTicks(const HodModel& model);

// Where a joint's frame puts its points in the model: p' = origin + x ex + y ey + z ez. The
// joint chain is a chain of scalings, rotations and moves, so four points fix it, and a mesh of
// a million corners does not walk the chain a million times.
struct JointFrame {
  Vector3 origin, ex, ey, ez;

  static JointFrame Of(const JointListRecord& joints, const std::string& joint);
  Vector3 Place(const Vector3& p) const {
    return {origin.x + p.x * ex.x + p.y * ey.x + p.z * ez.x,
            origin.y + p.x * ex.y + p.y * ey.y + p.z * ez.y,
            origin.z + p.x * ex.z + p.y * ey.z + p.z * ez.z};
  }
};

// The ticked objects in model space: each mesh placed by its parent joint's chain. Buffers come
// in material order. Corners past a part's vertices are dropped with their triangle.
std::vector<SceneBuffer> BuildScene(const HodModel& model, bool multi_meshes,
                                    const SceneTicks& ticks);

// Triangles in the scene (three corners each, indexed or not).
std::size_t SceneTriangles(const std::vector<SceneBuffer>& scene);

// A coarse stand-in for a big scene, drawn while the camera moves: every corner moves to the
// first corner found in its cell of a grid `cells` cells across the scene's largest side
// (vertex clustering), and triangles whose corners fall into fewer than three cells go. The
// surface keeps its shape to within a cell, its winding and its colours; nothing is torn open.
std::vector<SceneBuffer> SimplifiedScene(const std::vector<SceneBuffer>& scene, int cells);

// The texture a material is drawn with: its first texture parameter whose layer name holds
// "diffuse" (any case), or its only parameter when it has just one.
std::optional<std::size_t> DiffuseTexture(const HodModel& model, std::size_t material);

}  // namespace gantry
