#include "hod/hod2_scar.h"

#include "common/byte_writer.h"

namespace gantry {

std::optional<ScarBytes> ScarChunkBytes(const ScarMesh& scar, std::int32_t version,
                                        std::uint32_t checksum) {
  const TriangleMesh& tris = scar.Triangles;
  const TriangleMesh& normals = scar.Normals;
  if (tris.Indices.size() != normals.Indices.size() || tris.Indices.size() % 3 != 0) {
    return std::nullopt;
  }
  const ScarGrid& grid = scar.Grid;
  const std::int64_t cells = std::int64_t{grid.SizeX} * grid.SizeY * grid.SizeZ;
  if (grid.SizeX < 0 || grid.SizeY < 0 || grid.SizeZ < 0 ||
      cells != static_cast<std::int64_t>(grid.Cells.size())) {
    return std::nullopt;
  }
  std::size_t entries = 0;
  for (const ScarCell& cell : grid.Cells) {
    if (cell.Indices.size() > UINT16_MAX) return std::nullopt;
    entries += cell.Indices.size();
  }

  ByteWriter body;
  body.WriteBigLong(version);
  const ScarDescription& d = scar.Description;
  body.WriteText(static_cast<std::int32_t>(d.Name.size()), d.Name);
  body.WriteText(static_cast<std::int32_t>(d.ParentName.size()), d.ParentName);
  body.WriteLong(d.LodLevel);
  for (const Vector3& v : {scar.Box.Minimum, scar.Box.Maximum, scar.Sphere.Centre}) {
    body.WriteSingle(v.x);
    body.WriteSingle(v.y);
    body.WriteSingle(v.z);
  }
  body.WriteSingle(scar.Sphere.Radius);
  body.WriteRaw32(static_cast<std::uint32_t>(tris.Vertices.size()));
  body.WriteRaw32(static_cast<std::uint32_t>(normals.Vertices.size()));
  body.WriteRaw32(static_cast<std::uint32_t>(tris.Indices.size() / 3));
  body.WriteRaw32(static_cast<std::uint32_t>(entries));
  for (const ScarCell& cell : grid.Cells) {
    for (const std::int16_t i : cell.Indices) body.WriteInteger(i);
  }
  body.WriteRaw32(static_cast<std::uint32_t>(grid.SizeX));
  body.WriteRaw32(static_cast<std::uint32_t>(grid.SizeY));
  body.WriteRaw32(static_cast<std::uint32_t>(grid.SizeZ));
  for (const ScarCell& cell : grid.Cells) {
    body.WriteInteger(static_cast<std::int16_t>(cell.Indices.size()));
  }
  body.WriteRaw32(checksum);

  ByteWriter mesh;
  for (const auto* list : {&tris.Vertices, &normals.Vertices}) {
    for (const Vector3& v : *list) {
      mesh.WriteSingle(v.x);
      mesh.WriteSingle(v.y);
      mesh.WriteSingle(v.z);
    }
  }
  ByteWriter face;
  for (std::size_t i = 0; i < tris.Indices.size(); i += 3) {
    for (std::size_t k = 0; k < 3; ++k) face.WriteInteger(tris.Indices[i + k]);
    for (std::size_t k = 0; k < 3; ++k) face.WriteInteger(normals.Indices[i + k]);
  }
  return ScarBytes{body.Release(), mesh.Release(), face.Release()};
}

std::uint64_t ScarFingerprint(const ScarBytes& bytes) {
  // FNV-1a over the three parts, the checksum (the body's last 4 bytes) left out.
  std::uint64_t hash = 14695981039346656037ull;
  const auto add = [&hash](const std::vector<std::uint8_t>& data, std::size_t skip_tail) {
    for (std::size_t i = 0; i + skip_tail < data.size(); ++i) {
      hash = (hash ^ data[i]) * 1099511628211ull;
    }
    hash = (hash ^ 0xff) * 1099511628211ull;
  };
  add(bytes.body, 4);
  add(bytes.mesh, 0);
  add(bytes.face, 0);
  return hash;
}

}  // namespace gantry
