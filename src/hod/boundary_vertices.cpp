// BNDV: the boundary vertices.
#include "hod/read_context.h"
#include "hod/write_context.h"

namespace gantry {

void ReadBoundaryVertexChunk(ReadContext& ctx) {
  BoundaryVertexRecord record;
  TakeHeader(ctx, record);
  ctx.Note("Form ID: ", record.Kind);
  ctx.Note("Form Length: ", record.Length);
  record.Name = ctx.ReadText(record.NameLength);
  ctx.Note("BNDV Name: ", record.Name);
  record.ParentName = ctx.ReadText(record.ParentLength);
  ctx.Note("BNDV Parent Name: ", record.ParentName);
  record.VertexCount = ctx.in.ReadLong();
  ctx.Require(record.VertexCount, 12, "boundary vertex count");
  record.Vertices.resize(static_cast<std::size_t>(record.VertexCount));
  for (Vector3& v : record.Vertices) v = ctx.ReadVector3();
  record.Trailer = ctx.in.ReadLong();
  ctx.model.BoundaryVertices = std::move(record);
}

std::int64_t ChunkBytes(const BoundaryVertexRecord& record) {
  return TextBytes(record.Name) + TextBytes(record.ParentName) + 4 +
         12 * static_cast<std::int64_t>(record.Vertices.size()) + 4;
}

std::int32_t ComputeBoundaryVertexLengths(BoundaryVertexRecord& record) {
  Frame(record, "BNDV");
  SyncText(record.NameLength, record.Name);
  SyncText(record.ParentLength, record.ParentName);
  return StoreLength(record.Length, ChunkBytes(record), "the boundary vertices");
}

void WriteBoundaryVertexChunk(WriteContext& ctx, const BoundaryVertexRecord& record) {
  WriteContext::CheckCount(record.VertexCount, record.Vertices.size(), "boundary vertices");
  const std::size_t mark = ctx.BeginPlain("BNDV", record.Length);
  ctx.Text(record.NameLength, record.Name);
  ctx.Text(record.ParentLength, record.ParentName);
  ctx.out.WriteLong(record.VertexCount);
  for (const Vector3& v : record.Vertices) ctx.Vector(v);
  ctx.out.WriteLong(record.Trailer);
  ctx.End(mark, record.Length, "the boundary vertices");
}

}  // namespace gantry
