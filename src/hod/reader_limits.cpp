#include "hod/reader_limits.h"

#include <fmt/format.h>

#include "hod/mesh_layout.h"
#include "hod/write_order.h"

namespace gantry {

namespace {

using Found = std::optional<std::string>;

Found Over(std::size_t count, std::int64_t limit, std::string_view element, std::string_view what,
           std::string_view verb = "has") {
  if (static_cast<std::uint64_t>(count) <= static_cast<std::uint64_t>(limit)) return std::nullopt;
  return fmt::format("{} {} {} {}; a HOD can hold at most {}.", element, verb, count, what, limit);
}

// Vertices whose mask selects no component take no bytes in the file; the reader allows only so
// many of them in one read.
class EmptyVertices {
 public:
  Found Add(const LodMesh& mesh) {
    for (const MeshPart& part : mesh.Parts) {
      if (VertexBytes(part.VertexMask) == 0) total_ += part.Vertices.size();
    }
    return Over(total_, kMaxEmptyVertices, "The meshes",
                "vertices whose vertex mask selects no data", "have");
  }

 private:
  std::size_t total_ = 0;
};

Found CheckLod(const LodMesh& lod, std::string_view element, EmptyVertices& empty) {
  if (Found f = Over(lod.Parts.size(), kMaxMeshParts, element, "parts")) return f;
  return empty.Add(lod);
}

Found CheckMeshes(const HodModel& m, EmptyVertices& empty) {
  for (const MultiMesh& mesh : m.Meshes) {
    const std::string name = fmt::format("Mesh '{}'", mesh.Name);
    if (Found f = Over(mesh.Lods.size(), kMaxShortCount, name, "levels of detail")) return f;
    for (std::size_t j = 0; j < mesh.Lods.size(); ++j) {
      if (Found f = CheckLod(mesh.Lods[j], fmt::format("{} LoD {}", name, j + 1), empty)) return f;
    }
  }
  return std::nullopt;
}

Found CheckEngineShape(const EngineShape& shape) {
  const std::string name = fmt::format("Engine shape '{}'", shape.Name);
  // The reader counts the shape's bytes from its texts on, outline by outline.
  std::size_t bytes = 4 + shape.Name.size() + 4 + shape.ParentName.size();
  for (std::size_t i = 0; i < shape.Outlines.size(); ++i) {
    const std::size_t vertices = shape.Outlines[i].Vertices.size();
    if (Found f =
            Over(vertices, kMaxShortCount, fmt::format("{} outline {}", name, i + 1), "vertices")) {
      return f;
    }
    bytes += 4 + 12 * vertices;
  }
  return Over(bytes, kMaxShortCount, name, "bytes of data", "takes");
}

Found CheckDetails(const HodModel& m, EmptyVertices& empty) {
  for (const EngineShape& shape : m.EngineShapes) {
    if (Found f = CheckEngineShape(shape)) return f;
  }
  for (const EngineGlow& glow : m.EngineGlows) {
    if (Found f = CheckLod(glow.Mesh, fmt::format("Engine glow '{}'", glow.Name), empty)) return f;
  }
  if (WritesDock(m)) {
    for (const DockPath& path : m.DockPathList.Paths) {
      if (Found f = Over(path.Points.size(), kMaxShortCount,
                         fmt::format("Dock path '{}'", path.Name), "points")) {
        return f;
      }
    }
  }
  // Beyond 65536 vertices a 16-bit index names the wrong vertex.
  for (const CollisionMesh& collision : m.CollisionMeshes) {
    if (Found f = Over(collision.Triangles.Vertices.size(), kMaxIndexedVertices,
                       fmt::format("Collision mesh '{}'", collision.ParentName), "vertices")) {
      return f;
    }
  }
  for (const ScarMesh& scar : m.ScarMeshes) {
    const std::string name = fmt::format("Battle scar mesh '{}'", scar.Description.Name);
    for (const TriangleMesh* triangles : {&scar.Triangles, &scar.Normals}) {
      if (Found f = Over(triangles->Vertices.size(), kMaxIndexedVertices, name, "vertices")) {
        return f;
      }
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> FirstReaderLimitBroken(const HodModel& m) {
  EmptyVertices empty;
  if (IsBackground(m)) {
    const auto& meshes = m.BackgroundMeshSet.Meshes;
    for (std::size_t i = 0; i < meshes.size(); ++i) {
      if (Found f = CheckLod(meshes[i], fmt::format("Background mesh {}", i + 1), empty)) return f;
    }
  }
  if (WritesLights(m)) {
    if (Found f = Over(m.LightList.Lights.size(), kMaxShortCount, "The model", "lights")) return f;
  }
  for (const Material& material : m.Materials) {
    if (Found f = Over(material.Parameters.size(), kMaxMaterialParameters,
                       fmt::format("Material '{}'", material.Name), "parameters")) {
      return f;
    }
  }
  for (const Texture& texture : m.Textures) {
    if (Found f = Over(texture.MipLevels.size(), kMaxShortCount,
                       fmt::format("Texture '{}'", texture.FileName), "mip levels")) {
      return f;
    }
  }
  if (Found f = CheckMeshes(m, empty)) return f;
  if (!EndsAfterStars(m)) return CheckDetails(m, empty);
  return std::nullopt;
}

}  // namespace gantry
