// COLD collision meshes and BSRM battle-scar reference meshes. Their sub-chunks come in a fixed
// order and are taken by position; their tags are kept but not compared.
#include "hod/read_context.h"
#include "hod/write_context.h"

namespace gantry {

std::optional<std::int64_t> ScarCellCount(const ScarGrid& grid) {
  // The product is taken as a Long, X by Y first: either step may overflow.
  const std::int64_t xy = std::int64_t{grid.SizeX} * grid.SizeY;
  if (xy < INT32_MIN || xy > INT32_MAX) return std::nullopt;
  const std::int64_t cells = xy * grid.SizeZ;
  if (cells < INT32_MIN || cells > INT32_MAX) return std::nullopt;
  return cells;
}

namespace {

ChunkHeader ReadPlainHeader(ReadContext& ctx) {
  ChunkHeader header;
  header.Kind = ctx.in.ReadTag();
  header.Length = ctx.in.ReadBigLong();
  return header;
}

BoundingBox ReadBox(ReadContext& ctx) {
  BoundingBox box;
  box.Minimum = ctx.ReadVector3();
  ctx.Note("BBOX Mins: ", box.Minimum);
  box.Maximum = ctx.ReadVector3();
  ctx.Note("BBOX Maxs: ", box.Maximum);
  return box;
}

BoundingSphere ReadSphere(ReadContext& ctx) {
  BoundingSphere sphere;
  sphere.Centre = ctx.ReadVector3();
  ctx.Note("BSPH Center: ", sphere.Centre);
  sphere.Radius = ctx.in.ReadSingle();
  ctx.Note("BSPH Radius: ", sphere.Radius);
  return sphere;
}

void ReadTriangleVertices(ReadContext& ctx, TriangleMesh& mesh) {
  ctx.Require(mesh.VertexCount, 12, "triangle vertex count");
  mesh.Vertices.resize(static_cast<std::size_t>(mesh.VertexCount));
  for (Vector3& v : mesh.Vertices) v = ctx.ReadVector3();
}

void ReadTriangleIndices(ReadContext& ctx, TriangleMesh& mesh) {
  ctx.Require(mesh.IndexCount, 2, "triangle index count");
  mesh.Indices.resize(static_cast<std::size_t>(mesh.IndexCount));
  for (std::int16_t& i : mesh.Indices) i = ctx.in.ReadInteger();
}

TriangleMesh ReadTriangles(ReadContext& ctx) {
  TriangleMesh mesh;
  mesh.VertexCount = ctx.in.ReadLong();
  ReadTriangleVertices(ctx, mesh);
  mesh.IndexCount = ctx.in.ReadLong();
  ReadTriangleIndices(ctx, mesh);
  return mesh;
}

// VNRM reads its lists only for positive counts; other counts are kept as they are.
TriangleMesh ReadNormals(ReadContext& ctx) {
  TriangleMesh mesh;
  mesh.VertexCount = ctx.in.ReadLong();
  if (mesh.VertexCount > 0) ReadTriangleVertices(ctx, mesh);
  mesh.IndexCount = ctx.in.ReadLong();
  if (mesh.IndexCount > 0) ReadTriangleIndices(ctx, mesh);
  return mesh;
}

ScarGrid ReadGrid(ReadContext& ctx) {
  ScarGrid grid;
  grid.SizeX = ctx.in.ReadLong();
  grid.SizeY = ctx.in.ReadLong();
  grid.SizeZ = ctx.in.ReadLong();
  const std::optional<std::int64_t> counted = ScarCellCount(grid);
  if (!counted) {
    throw ReadError(fmt::format("a scar grid of {} x {} x {} cells overflows a Long", grid.SizeX,
                                grid.SizeY, grid.SizeZ),
                    ctx.in.position());
  }
  const std::int64_t cells = *counted;
  if (cells > 0) {
    ctx.Require(cells, 4, "scar grid cell count");
    grid.Cells.resize(static_cast<std::size_t>(cells));
    for (ScarCell& cell : grid.Cells) {
      cell.IndexCount = ctx.in.ReadLong();
      if (cell.IndexCount != 0) {
        ctx.Require(cell.IndexCount, 2, "scar cell index count");
        cell.Indices.resize(static_cast<std::size_t>(cell.IndexCount));
        for (std::int16_t& i : cell.Indices) i = ctx.in.ReadInteger();
      }
      ctx.Tick();
    }
  }
  return grid;
}

ScarPartHeader ReadScarPartHeader(ReadContext& ctx) {
  ScarPartHeader header;
  header.Kind = ctx.in.ReadTag();
  ctx.Note("Sub-Form Name: ", header.Kind);
  header.Length = ctx.in.ReadBigLong();
  ctx.Note("Sub-Form Length: ", header.Length);
  header.PartTag = ctx.in.ReadTag();
  header.Version = ctx.in.ReadBigLong();
  return header;
}

}  // namespace

void ReadCollisionChunk(ReadContext& ctx) {
  CollisionMesh mesh;
  TakeHeader(ctx, mesh);
  mesh.Kind = "FORM";
  ctx.Note("Form Name2: ", mesh.ID);
  mesh.ParentName = ctx.ReadText(mesh.ParentLength);
  ctx.Note("Parent name: ", mesh.ParentName);
  mesh.BoxHeader = ReadPlainHeader(ctx);
  mesh.Box = ReadBox(ctx);
  mesh.SphereHeader = ReadPlainHeader(ctx);
  mesh.Sphere = ReadSphere(ctx);
  mesh.TrianglesHeader = ReadPlainHeader(ctx);
  mesh.Triangles = ReadTriangles(ctx);
  ctx.model.CollisionMeshes.push_back(std::move(mesh));
}

void ReadScarChunk(ReadContext& ctx) {
  ScarMesh mesh;
  TakeHeader(ctx, mesh);
  mesh.Kind = "FORM";

  mesh.DescriptionHeader = ReadScarPartHeader(ctx);
  ctx.Note("Sub-Form Name2: ", mesh.DescriptionHeader.PartTag);
  ctx.Note("Sub-Form Version: ", mesh.DescriptionHeader.Version);
  mesh.Description.Name = ctx.ReadText(mesh.Description.NameLength);
  ctx.Note("DESC Name: ", mesh.Description.Name);
  mesh.Description.ParentName = ctx.ReadText(mesh.Description.ParentLength);
  ctx.Note("DESC Parent Name: ", mesh.Description.ParentName);
  mesh.Description.LodLevel = ctx.in.ReadLong();
  ctx.Note("DESC LoD: ", mesh.Description.LodLevel);

  mesh.BoxHeader = ReadScarPartHeader(ctx);
  mesh.Box = ReadBox(ctx);
  mesh.SphereHeader = ReadScarPartHeader(ctx);
  mesh.Sphere = ReadSphere(ctx);
  mesh.TrianglesHeader = ReadScarPartHeader(ctx);
  mesh.Triangles = ReadTriangles(ctx);
  mesh.NormalsHeader = ReadScarPartHeader(ctx);
  mesh.Normals = ReadNormals(ctx);
  mesh.GridHeader = ReadScarPartHeader(ctx);
  mesh.Grid = ReadGrid(ctx);
  ctx.model.ScarMeshes.push_back(std::move(mesh));
}

namespace {

std::int64_t TriangleBytes(const TriangleMesh& mesh) {
  return 4 + 12 * static_cast<std::int64_t>(mesh.Vertices.size()) + 4 +
         2 * static_cast<std::int64_t>(mesh.Indices.size());
}

void WriteBox(WriteContext& ctx, const BoundingBox& box) {
  ctx.Vector(box.Minimum);
  ctx.Vector(box.Maximum);
}

void WriteSphere(WriteContext& ctx, const BoundingSphere& sphere) {
  ctx.Vector(sphere.Centre);
  ctx.out.WriteSingle(sphere.Radius);
}

// VNRM lists are read only for positive counts, TRIS lists always: either way the count must
// describe the list.
void WriteTriangles(WriteContext& ctx, const TriangleMesh& mesh, bool normals) {
  const auto expected = [normals](std::int32_t count) {
    return normals && count < 0 ? std::int64_t{0} : std::int64_t{count};
  };
  WriteContext::CheckCount(expected(mesh.VertexCount), mesh.Vertices.size(), "triangle vertices");
  WriteContext::CheckCount(expected(mesh.IndexCount), mesh.Indices.size(), "triangle indices");
  ctx.out.WriteLong(mesh.VertexCount);
  for (const Vector3& v : mesh.Vertices) ctx.Vector(v);
  ctx.out.WriteLong(mesh.IndexCount);
  for (const std::int16_t i : mesh.Indices) ctx.out.WriteInteger(i);
}

std::int64_t GridBytes(const ScarGrid& grid) {
  std::int64_t bytes = 12;
  for (const ScarCell& cell : grid.Cells) {
    bytes += 4 + 2 * static_cast<std::int64_t>(cell.Indices.size());
  }
  return bytes;
}

void WriteGrid(WriteContext& ctx, const ScarGrid& grid) {
  const std::optional<std::int64_t> cells = ScarCellCount(grid);
  if (!cells) {
    throw WriteError(fmt::format("a scar grid of {} x {} x {} cells overflows a Long", grid.SizeX,
                                 grid.SizeY, grid.SizeZ));
  }
  WriteContext::CheckCount(*cells > 0 ? *cells : 0, grid.Cells.size(), "scar grid cells");
  ctx.out.WriteLong(grid.SizeX);
  ctx.out.WriteLong(grid.SizeY);
  ctx.out.WriteLong(grid.SizeZ);
  for (const ScarCell& cell : grid.Cells) {
    WriteContext::CheckCount(cell.IndexCount, cell.Indices.size(), "scar cell indices");
    ctx.out.WriteLong(cell.IndexCount);
    for (const std::int16_t i : cell.Indices) ctx.out.WriteInteger(i);
  }
}

// A scar part: an NRML header (kind, length), then the part's own tag and big-endian Long.
std::size_t BeginScarPart(WriteContext& ctx, const ScarPartHeader& header, const Tag& tag) {
  const std::size_t mark = ctx.BeginPlain("NRML", header.Length);
  ctx.out.WriteTag(tag);
  ctx.out.WriteBigLong(header.Version);
  return mark;
}

// The six parts in file order: their tags and the bytes of their data.
struct ScarParts {
  std::int64_t description, triangles, normals, grid;
};
ScarParts ScarPartBytes(const ScarMesh& mesh) {
  const ScarDescription& d = mesh.Description;
  return {TextBytes(d.Name) + TextBytes(d.ParentName) + 4, TriangleBytes(mesh.Triangles),
          TriangleBytes(mesh.Normals), GridBytes(mesh.Grid)};
}

void SetScarPart(ScarPartHeader& header, const char* tag, std::int64_t data_bytes) {
  header.Kind = "NRML";
  header.PartTag = tag;
  StoreLength(header.Length, 8 + data_bytes, "a scar mesh part");
}

}  // namespace

std::int64_t ChunkBytes(const CollisionMesh& mesh) {
  return 4 + TextBytes(mesh.ParentName) + 8 + 24 + 8 + 16 + 8 + TriangleBytes(mesh.Triangles);
}

// The sub-chunks are taken by position when read; they are written with their proper tags.
std::int32_t ComputeCollisionLengths(CollisionMesh& mesh) {
  Frame(mesh, "FORM", "COLD");
  SyncText(mesh.ParentLength, mesh.ParentName);
  mesh.BoxHeader.Kind = "BBOX";
  mesh.BoxHeader.Length = 24;
  mesh.SphereHeader.Kind = "BSPH";
  mesh.SphereHeader.Length = 16;
  mesh.TrianglesHeader.Kind = "TRIS";
  StoreLength(mesh.TrianglesHeader.Length, TriangleBytes(mesh.Triangles),
              "a collision mesh's triangles");
  return StoreLength(mesh.Length, ChunkBytes(mesh), "a collision mesh");
}

void WriteCollisionChunk(WriteContext& ctx, const CollisionMesh& mesh) {
  const std::size_t mark = ctx.BeginContainer("FORM", mesh.Length, "COLD");
  ctx.Text(mesh.ParentLength, mesh.ParentName);
  std::size_t part = ctx.BeginPlain("BBOX", mesh.BoxHeader.Length);
  WriteBox(ctx, mesh.Box);
  ctx.End(part, mesh.BoxHeader.Length, "a bounding box");
  part = ctx.BeginPlain("BSPH", mesh.SphereHeader.Length);
  WriteSphere(ctx, mesh.Sphere);
  ctx.End(part, mesh.SphereHeader.Length, "a bounding sphere");
  part = ctx.BeginPlain("TRIS", mesh.TrianglesHeader.Length);
  WriteTriangles(ctx, mesh.Triangles, false);
  ctx.End(part, mesh.TrianglesHeader.Length, "a collision mesh's triangles");
  ctx.End(mark, mesh.Length, "a collision mesh");
}

std::int64_t ChunkBytes(const ScarMesh& mesh) {
  const ScarParts parts = ScarPartBytes(mesh);
  // Each part: its header (8), its tag and Long (8), its data.
  return 4 + 6 * 16 + parts.description + 24 + 16 + parts.triangles + parts.normals + parts.grid;
}

std::int32_t ComputeScarLengths(ScarMesh& mesh) {
  Frame(mesh, "FORM", "BSRM");
  ScarDescription& d = mesh.Description;
  SyncText(d.NameLength, d.Name);
  SyncText(d.ParentLength, d.ParentName);
  const ScarParts parts = ScarPartBytes(mesh);
  SetScarPart(mesh.DescriptionHeader, "DESC", parts.description);
  SetScarPart(mesh.BoxHeader, "BBOX", 24);
  SetScarPart(mesh.SphereHeader, "BSPH", 16);
  SetScarPart(mesh.TrianglesHeader, "TRIS", parts.triangles);
  SetScarPart(mesh.NormalsHeader, "VNRM", parts.normals);
  SetScarPart(mesh.GridHeader, "SSUB", parts.grid);
  return StoreLength(mesh.Length, ChunkBytes(mesh), "a battle-scar mesh");
}

void WriteScarChunk(WriteContext& ctx, const ScarMesh& mesh) {
  const std::size_t mark = ctx.BeginContainer("FORM", mesh.Length, "BSRM");
  std::size_t part = BeginScarPart(ctx, mesh.DescriptionHeader, "DESC");
  ctx.Text(mesh.Description.NameLength, mesh.Description.Name);
  ctx.Text(mesh.Description.ParentLength, mesh.Description.ParentName);
  ctx.out.WriteLong(mesh.Description.LodLevel);
  ctx.End(part, mesh.DescriptionHeader.Length, "a scar description");
  part = BeginScarPart(ctx, mesh.BoxHeader, "BBOX");
  WriteBox(ctx, mesh.Box);
  ctx.End(part, mesh.BoxHeader.Length, "a scar bounding box");
  part = BeginScarPart(ctx, mesh.SphereHeader, "BSPH");
  WriteSphere(ctx, mesh.Sphere);
  ctx.End(part, mesh.SphereHeader.Length, "a scar bounding sphere");
  part = BeginScarPart(ctx, mesh.TrianglesHeader, "TRIS");
  WriteTriangles(ctx, mesh.Triangles, false);
  ctx.End(part, mesh.TrianglesHeader.Length, "a scar mesh's triangles");
  part = BeginScarPart(ctx, mesh.NormalsHeader, "VNRM");
  WriteTriangles(ctx, mesh.Normals, true);
  ctx.End(part, mesh.NormalsHeader.Length, "a scar mesh's normals");
  part = BeginScarPart(ctx, mesh.GridHeader, "SSUB");
  WriteGrid(ctx, mesh.Grid);
  ctx.End(part, mesh.GridHeader.Length, "a scar grid");
  ctx.End(mark, mesh.Length, "a battle-scar mesh");
}

}  // namespace gantry
