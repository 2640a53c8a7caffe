// COLD collision meshes and BSRM battle-scar reference meshes. Their sub-chunks come in a fixed
// order and are taken by position; their tags are kept but not compared.
#include "hod/read_context.h"

namespace gantry {

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
  const std::int64_t xy = std::int64_t{grid.SizeX} * grid.SizeY;
  // |xy| < 2^62, so the product with a third Long cannot overflow 64 bits when xy is in range.
  const bool fits = xy >= INT32_MIN && xy <= INT32_MAX;
  const std::int64_t cells = fits ? xy * grid.SizeZ : 0;
  if (!fits || cells < INT32_MIN || cells > INT32_MAX) {
    throw ReadError(fmt::format("a scar grid of {} x {} x {} cells overflows a Long", grid.SizeX,
                                grid.SizeY, grid.SizeZ),
                    ctx.in.position());
  }
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

}  // namespace gantry
