// Indices name vertices as unsigned 16-bit numbers, so a mesh whose parts join into more than
// 65536 vertices cannot become one triangle mesh and is refused. An index that names no vertex
// gives a zero vertex rather than failing the conversion: the save checks are the place that
// reports broken meshes.
#include "commands/mesh_conversion.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "commands/bounding_volumes.h"
#include "commands/conversion_messages.h"
#include "hod/hod2_writer.h"
#include "hod/reader_limits.h"

namespace gantry {
namespace {

const MeshVertex& CornerOf(const MeshPart& part, std::int16_t index) {
  static const MeshVertex kMissing;
  const std::size_t i = static_cast<std::uint16_t>(index);
  return i < part.Vertices.size() ? part.Vertices[i] : kMissing;
}

// Calls `visit(a, b, c)` for the corners of each whole index triple, whatever the list's type.
template <typename Visit>
void ForEachTriangle(const MeshPart& part, const FaceList& list, Visit visit) {
  const auto& ix = list.Indices;
  for (std::size_t t = 0; t + 3 <= ix.size(); t += 3) {
    visit(CornerOf(part, ix[t]), CornerOf(part, ix[t + 1]), CornerOf(part, ix[t + 2]));
  }
}

SimpleVertex ToSimpleVertex(const MeshVertex& v) {
  return {{v.Position.x, v.Position.y, v.Position.z, 1.0f},
          {v.Normal.x, v.Normal.y, v.Normal.z, 1.0f},
          v.UV};
}

Vector3 PositionOf(const MeshVertex& v) { return {v.Position.x, v.Position.y, v.Position.z}; }
Vector3 NormalOf(const MeshVertex& v) { return {v.Normal.x, v.Normal.y, v.Normal.z}; }

std::string CountMessage(const char* lead, std::size_t count, const char* advice) {
  return std::string(lead) + std::to_string(count) + messages::kCountClose + messages::kLineBreak +
         advice;
}

std::size_t JoinedVertexCount(const LodMesh& mesh) {
  std::size_t count = 0;
  for (const MeshPart& part : mesh.Parts) count += part.Vertices.size();
  return count;
}

std::optional<std::string> JoinRefusal(const LodMesh& mesh) {
  const std::size_t count = JoinedVertexCount(mesh);
  if (count <= static_cast<std::size_t>(kMaxIndexedVertices)) return std::nullopt;
  return messages::kJoinedTooLargeLead + std::to_string(count) + messages::kJoinedTooLargeTail +
         messages::kLineBreak + messages::kNothingImported;
}

// Every part's vertices in turn, and its triangles (strips unrolled, as a HOD 2.0 file lists
// them) with indices shifted past the vertices of the parts before their own; `component` picks
// what each vertex contributes. The caller has made sure every shifted index fits 16 bits.
template <typename Component>
TriangleMesh JoinParts(const LodMesh& mesh, Component component) {
  TriangleMesh joined;
  std::size_t offset = 0;
  for (const MeshPart& part : mesh.Parts) {
    for (const MeshVertex& v : part.Vertices) joined.Vertices.push_back(component(v));
    for (const FaceList& list : part.FaceLists) {
      const bool strip = list.Type == kFaceListStrip;
      for (const std::int16_t index : strip ? UnrolledStrip(list.Indices) : list.Indices) {
        const std::size_t shifted = static_cast<std::uint16_t>(index) + offset;
        joined.Indices.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(shifted)));
      }
    }
    offset += part.Vertices.size();
  }
  joined.VertexCount = static_cast<std::int32_t>(joined.Vertices.size());
  joined.IndexCount = static_cast<std::int32_t>(joined.Indices.size());
  return joined;
}

}  // namespace

bool SimpleMeshFromMesh(const LodMesh& mesh, SimpleMesh& simple, bool wireframe, Ui& ui) {
  if (mesh.Parts.size() != 1) {
    ui.Message(
        CountMessage(messages::kMaterialCountLead, mesh.Parts.size(), messages::kUseSingleMaterial),
        Icon::Exclamation);
    return false;
  }
  const MeshPart& part = mesh.Parts.front();
  if (part.FaceLists.size() > 1) {
    ui.Message(
        CountMessage(messages::kFaceListCountLead, part.FaceLists.size(), messages::kNoFacesInObj),
        Icon::Exclamation);
    return false;
  }

  simple.Vertices.clear();
  simple.Indices.clear();
  if (wireframe && !part.FaceLists.empty()) {
    // Each triangle becomes its three edges as line segments: a-b, b-c, c-a.
    ForEachTriangle(part, part.FaceLists.front(),
                    [&](const MeshVertex& a, const MeshVertex& b, const MeshVertex& c) {
                      for (const MeshVertex* v : {&a, &b, &b, &c, &c, &a}) {
                        simple.Vertices.push_back(ToSimpleVertex(*v));
                      }
                    });
  } else {
    for (const MeshVertex& v : part.Vertices) simple.Vertices.push_back(ToSimpleVertex(v));
    if (!wireframe && !part.FaceLists.empty()) {
      for (const std::int16_t index : part.FaceLists.front().Indices) {
        simple.Indices.push_back(static_cast<std::uint16_t>(index));
      }
    }
  }
  simple.VertexCount = static_cast<std::int32_t>(simple.Vertices.size());
  simple.IndexCount = static_cast<std::int32_t>(simple.Indices.size());
  return true;
}

bool EngineShapeFromMesh(const LodMesh& mesh, EngineShape& shape) {
  for (const MeshPart& part : mesh.Parts) {
    for (const FaceList& list : part.FaceLists) {
      ForEachTriangle(
          part, list, [&](const MeshVertex& a, const MeshVertex& b, const MeshVertex& c) {
            shape.Outlines.push_back({3, {PositionOf(a), PositionOf(b), PositionOf(c)}});
          });
    }
  }
  return true;
}

std::optional<std::string> CollisionMeshFromMesh(const LodMesh& mesh, CollisionMesh& collision) {
  if (auto refusal = JoinRefusal(mesh)) return refusal;
  collision.Triangles = JoinParts(mesh, PositionOf);
  return std::nullopt;
}

std::optional<std::string> ScarMeshFromLod(const LodMesh& lod, ScarMesh& scar) {
  if (auto refusal = JoinRefusal(lod)) return refusal;
  scar.Triangles = JoinParts(lod, PositionOf);
  scar.Normals = JoinParts(lod, NormalOf);

  const std::vector<Vector3>& points = scar.Triangles.Vertices;
  scar.Box = BoxAroundOrigin(points);

  BoundingSphere sphere;
  if (!points.empty()) {
    const double n = static_cast<double>(points.size());
    double cx = 0, cy = 0, cz = 0;
    for (const Vector3& p : points) {
      cx += p.x;
      cy += p.y;
      cz += p.z;
    }
    cx /= n;
    cy /= n;
    cz /= n;
    double distances = 0;
    for (const Vector3& p : points) {
      distances +=
          std::sqrt((p.x - cx) * (p.x - cx) + (p.y - cy) * (p.y - cy) + (p.z - cz) * (p.z - cz));
    }
    sphere.Centre = {static_cast<float>(cx), static_cast<float>(cy), static_cast<float>(cz)};
    sphere.Radius = static_cast<float>(distances / n);
  }
  scar.Sphere = sphere;
  return std::nullopt;
}

std::optional<std::size_t> ScarMeshOf(const HodModel& model, std::size_t mesh) {
  if (mesh >= model.Meshes.size()) return std::nullopt;
  if (model.Dialect != HodDialect::Hod2) {
    return mesh < model.ScarMeshes.size() ? std::optional<std::size_t>(mesh) : std::nullopt;
  }
  for (std::size_t i = 0; i < model.ScarMeshes.size(); ++i) {
    if (model.ScarMeshes[i].Description.Name == model.Meshes[mesh].Name) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> MeshOfScarMesh(const HodModel& model, std::size_t scar) {
  if (scar >= model.ScarMeshes.size()) return std::nullopt;
  if (model.Dialect != HodDialect::Hod2) {
    return scar < model.Meshes.size() ? std::optional<std::size_t>(scar) : std::nullopt;
  }
  for (std::size_t i = 0; i < model.Meshes.size(); ++i) {
    if (model.Meshes[i].Name == model.ScarMeshes[scar].Description.Name) return i;
  }
  return std::nullopt;
}

}  // namespace gantry
