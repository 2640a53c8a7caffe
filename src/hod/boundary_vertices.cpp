// BNDV: the boundary vertices.
#include "hod/read_context.h"

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

}  // namespace gantry
