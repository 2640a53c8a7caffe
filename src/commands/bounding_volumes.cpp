#include "commands/bounding_volumes.h"

#include <algorithm>

#include "commands/mesh_conversion.h"
#include "commands/messages.h"
#include "geometry/bounds.h"

namespace gantry {

namespace {

namespace text = editing_messages;

// Boundary vertices 1 and 7 are the model's lower and upper corners; they must hold every box.
void EncloseInBoundary(HodModel& model, const BoundingBox& box) {
  std::vector<Vector3>& v = model.BoundaryVertices.Vertices;
  if (v.size() < 7) return;
  v[0] = {std::min(v[0].x, box.Minimum.x), std::min(v[0].y, box.Minimum.y),
          std::min(v[0].z, box.Minimum.z)};
  v[6] = {std::max(v[6].x, box.Maximum.x), std::max(v[6].y, box.Maximum.y),
          std::max(v[6].z, box.Maximum.z)};
}

// A scar mesh is sized from the first level of detail of the mesh it belongs to.
std::vector<Vector3> ScarSource(const HodModel& model, std::size_t scar) {
  std::vector<Vector3> points;
  const std::optional<std::size_t> index = MeshOfScarMesh(model, scar);
  if (!index || model.Meshes[*index].Lods.empty()) return points;
  for (const MeshPart& part : model.Meshes[*index].Lods[0].Parts) {
    for (const MeshVertex& v : part.Vertices) {
      points.push_back({v.Position.x, v.Position.y, v.Position.z});
    }
  }
  return points;
}

bool Selected(std::optional<std::size_t> selected, std::size_t count, Ui& ui) {
  if (selected && *selected < count) return true;
  ui.Message(text::kSelectObjectFirst, Icon::Exclamation);
  return false;
}

}  // namespace

void CalculateCollisionBox(HodModel& model, std::size_t index) {
  if (index >= model.CollisionMeshes.size()) return;
  CollisionMesh& collision = model.CollisionMeshes[index];
  collision.Box = BoxAroundOrigin(collision.Triangles.Vertices);
  EncloseInBoundary(model, collision.Box);
}

void CalculateCollisionSphere(HodModel& model, std::size_t index) {
  if (index >= model.CollisionMeshes.size()) return;
  CollisionMesh& collision = model.CollisionMeshes[index];
  const BoundingBox box = BoxAroundOrigin(collision.Triangles.Vertices);
  collision.Sphere = SphereAround(collision.Triangles.Vertices, box);
  EncloseInBoundary(model, box);
}

void CalculateScarBox(HodModel& model, std::size_t index) {
  if (index >= model.ScarMeshes.size()) return;
  model.ScarMeshes[index].Box = BoxAroundOrigin(ScarSource(model, index));
  EncloseInBoundary(model, model.ScarMeshes[index].Box);
}

void CalculateScarSphere(HodModel& model, std::size_t index) {
  if (index >= model.ScarMeshes.size()) return;
  const std::vector<Vector3> points = ScarSource(model, index);
  const BoundingBox box = BoxAroundOrigin(points);
  model.ScarMeshes[index].Sphere = SphereAround(points, box);
  EncloseInBoundary(model, box);
}

bool CollisionBoxCommand(HodModel& model, std::optional<std::size_t> selected, Ui& ui) {
  if (!Selected(selected, model.CollisionMeshes.size(), ui)) return false;
  CalculateCollisionBox(model, *selected);
  return true;
}

bool CollisionSphereCommand(HodModel& model, std::optional<std::size_t> selected, Ui& ui) {
  if (!Selected(selected, model.CollisionMeshes.size(), ui)) return false;
  CalculateCollisionSphere(model, *selected);
  return true;
}

bool ScarBoxCommand(HodModel& model, std::optional<std::size_t> selected, Ui& ui) {
  if (!Selected(selected, model.ScarMeshes.size(), ui)) return false;
  CalculateScarBox(model, *selected);
  return true;
}

bool ScarSphereCommand(HodModel& model, std::optional<std::size_t> selected, Ui& ui) {
  if (!Selected(selected, model.ScarMeshes.size(), ui)) return false;
  CalculateScarSphere(model, *selected);
  return true;
}

void BoundaryVerticesCommand(HodModel& model, Ui& ui) {
  BoundingBox box;
  for (const MultiMesh& mesh : model.Meshes) {
    for (const LodMesh& lod : mesh.Lods) {
      for (const MeshPart& part : lod.Parts) {
        for (const MeshVertex& v : part.Vertices) {
          WidenBox(box, {v.Position.x, v.Position.y, v.Position.z});
        }
      }
    }
  }
  BoundaryVertexRecord& boundary = model.BoundaryVertices;
  boundary.Vertices.assign(8, Vector3{});
  boundary.VertexCount = 8;
  const bool enlarge =
      ui.Message(text::kEnlargeBoundary, Icon::Question, Buttons::YesNo) == Answer::Yes;
  const double factor = enlarge ? 1.05 : 1.0;
  const auto grown = [factor](const Vector3& v) {
    return Vector3{static_cast<float>(v.x * factor), static_cast<float>(v.y * factor),
                   static_cast<float>(v.z * factor)};
  };
  boundary.Vertices[0] = grown(box.Minimum);
  boundary.Vertices[6] = grown(box.Maximum);
}

}  // namespace gantry
