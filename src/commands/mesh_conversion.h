// Turning a level-of-detail mesh (as the OBJ import delivers it) into the shapes other elements
// keep their geometry in: simple meshes, engine-shape outlines, collision and battle-scar
// triangle meshes, and the scar mesh's spatial grid of triangle numbers.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "common/ui.h"
#include "hod/model.h"

namespace gantry {

// `wireframe`: the model is a wireframe HOD, whose simple meshes are triangle outlines.
bool SimpleMeshFromMesh(const LodMesh& mesh, SimpleMesh& simple, bool wireframe, Ui& ui);
bool EngineShapeFromMesh(const LodMesh& mesh, EngineShape& shape);
// The triangle meshes join the parts into one vertex list of 16-bit indices: a mesh of more
// vertices is refused with the message to show, and the target is left as it was.
std::optional<std::string> CollisionMeshFromMesh(const LodMesh& mesh, CollisionMesh& collision);
std::optional<std::string> ScarMeshFromLod(const LodMesh& lod, ScarMesh& scar);
bool BuildScarGrid(ScarMesh& scar);

// The scar mesh of mesh number `mesh`: a classic file lists one per mesh, in mesh order; a HOD
// 2.0 file only some, each under its mesh's name. Nullopt when the mesh has none.
std::optional<std::size_t> ScarMeshOf(const HodModel& model, std::size_t mesh);
// The other way: the mesh of scar mesh number `scar`.
std::optional<std::size_t> MeshOfScarMesh(const HodModel& model, std::size_t scar);

// The grid's cell counts for a box, and the cells by the plain test of every triangle against
// every cell (kept as the reference the fast builder is checked against).
struct GridCounts {
  int x = 1, y = 1, z = 1;
};
GridCounts ScarGridCounts(const BoundingBox& box);
ScarGrid BuildScarGridReference(const TriangleMesh& triangles, const BoundingBox& box);

}  // namespace gantry
