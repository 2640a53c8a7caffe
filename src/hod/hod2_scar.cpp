#include "hod/hod2_scar.h"

#include <span>

#include "common/byte_writer.h"
#include "hod/pool_codec.h"

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
  // The pool's stream digest over the three parts, each after its length, the checksum (the
  // body's last 4 bytes) left out.
  PoolDigester digester;
  const auto add = [&digester](std::span<const std::uint8_t> part) {
    const std::uint64_t size = part.size();
    digester.Add({reinterpret_cast<const std::uint8_t*>(&size), sizeof size});
    digester.Add(part);
  };
  add(std::span(bytes.body).first(bytes.body.size() >= 4 ? bytes.body.size() - 4 : 0));
  add(bytes.mesh);
  add(bytes.face);
  const std::uint64_t fingerprint = digester.Finish().low;
  return fingerprint != 0 ? fingerprint : 1;  // 0 stands for none
}

}  // namespace gantry
