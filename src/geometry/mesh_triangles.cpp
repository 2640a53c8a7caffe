#include "geometry/mesh_triangles.h"

namespace gantry {

std::vector<CornerIndices> PartTriangles(const MeshPart& part) {
  std::vector<CornerIndices> triangles;
  const auto count = static_cast<std::int32_t>(part.Vertices.size());
  const auto add = [&](const FaceList& list, std::size_t a, std::size_t b, std::size_t c) {
    // Indices address up to 65536 vertices, so they are read unsigned.
    const CornerIndices t = {static_cast<std::uint16_t>(list.Indices[a]),
                             static_cast<std::uint16_t>(list.Indices[b]),
                             static_cast<std::uint16_t>(list.Indices[c])};
    if (t[0] >= count || t[1] >= count || t[2] >= count) return;
    if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2]) return;
    triangles.push_back(t);
  };
  for (const FaceList& list : part.FaceLists) {
    const std::size_t n = list.Indices.size();
    if (list.Type == kFaceListTriangles) {
      for (std::size_t i = 0; i + 2 < n; i += 3) add(list, i, i + 1, i + 2);
    } else if (list.Type == kFaceListStrip) {
      for (std::size_t i = 0; i + 2 < n; ++i) {
        if (i % 2 == 0) {
          add(list, i, i + 1, i + 2);
        } else {
          add(list, i + 2, i + 1, i);
        }
      }
    }
  }
  return triangles;
}

}  // namespace gantry
