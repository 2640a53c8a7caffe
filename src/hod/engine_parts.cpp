// ETSH engine shapes and BURN engine burns (glows are meshes and live with them).
#include "hod/read_context.h"
#include "hod/write_context.h"

namespace gantry {

void ReadEngineShapeChunk(ReadContext& ctx) {
  EngineShape shape;
  TakeHeader(ctx, shape);
  shape.Name = ctx.ReadText(shape.NameLength);
  ctx.Note("Engine Shape Name: ", shape.Name);
  shape.ParentName = ctx.ReadText(shape.ParentLength);
  ctx.Note("Engine Shape's parent name: ", shape.ParentName);
  // Outlines follow until the bytes consumed reach the chunk's length.
  std::int64_t consumed = 4 + std::int64_t{shape.NameLength} + 4 + shape.ParentLength;
  ctx.Limit(consumed, kMaxShortCount, "The number of bytes of an engine shape");
  while (consumed < shape.Length) {
    ShapeOutline outline;
    outline.VertexCount = ctx.in.ReadLong();
    ctx.Note("Number of vertices: ", outline.VertexCount);
    ctx.Limit(outline.VertexCount, kMaxShortCount, "The number of vertices of an outline");
    ctx.Require(outline.VertexCount, 12, "outline vertex count");
    outline.Vertices.resize(static_cast<std::size_t>(outline.VertexCount));
    for (Vector3& v : outline.Vertices) v = ctx.ReadVector3();
    consumed += 4 + 12 * std::int64_t{outline.VertexCount};
    ctx.Limit(consumed, kMaxShortCount, "The number of bytes of an engine shape");
    shape.Outlines.push_back(std::move(outline));
  }
  ctx.model.EngineShapes.push_back(std::move(shape));
}

void ReadEngineBurnChunk(ReadContext& ctx) {
  EngineBurn burn;
  TakeHeader(ctx, burn);
  burn.Name = ctx.ReadText(burn.NameLength);
  ctx.Note("Engine Burn Name: ", burn.Name);
  burn.ParentName = ctx.ReadText(burn.ParentLength);
  ctx.Note("Engine Burn Parent Name: ", burn.ParentName);
  burn.VertexCount = ctx.in.ReadLong();
  burn.CurveCount = ctx.in.ReadLong();
  if (ctx.detailed) {
    ctx.log.Log(fmt::format("Number of vertices: {}. Number of NURBS Curve(s): {}",
                            burn.VertexCount, burn.CurveCount));
  }
  ctx.Require(burn.VertexCount, 0, "burn vertex count");
  ctx.Require(burn.CurveCount, 0, "burn curve count");
  const std::int64_t total = std::int64_t{burn.VertexCount} * burn.CurveCount;
  ctx.Require(total, 12, "burn vertex total");
  burn.Vertices.resize(static_cast<std::size_t>(total));
  for (Vector3& v : burn.Vertices) v = ctx.ReadVector3();
  ctx.model.EngineBurns.push_back(std::move(burn));
}

std::int64_t ChunkBytes(const EngineShape& shape) {
  std::int64_t bytes = TextBytes(shape.Name) + TextBytes(shape.ParentName);
  for (const ShapeOutline& outline : shape.Outlines) {
    bytes += 4 + 12 * static_cast<std::int64_t>(outline.Vertices.size());
  }
  return bytes;
}

std::int32_t ComputeEngineShapeLengths(EngineShape& shape) {
  Frame(shape, "ETSH");
  SyncText(shape.NameLength, shape.Name);
  SyncText(shape.ParentLength, shape.ParentName);
  return StoreLength(shape.Length, ChunkBytes(shape), "an engine shape");
}

void WriteEngineShapeChunk(WriteContext& ctx, const EngineShape& shape) {
  const std::size_t mark = ctx.BeginPlain("ETSH", shape.Length);
  ctx.Text(shape.NameLength, shape.Name);
  ctx.Text(shape.ParentLength, shape.ParentName);
  for (const ShapeOutline& outline : shape.Outlines) {
    WriteContext::CheckCount(outline.VertexCount, outline.Vertices.size(), "outline vertices");
    ctx.out.WriteLong(outline.VertexCount);
    for (const Vector3& v : outline.Vertices) ctx.Vector(v);
  }
  ctx.End(mark, shape.Length, "an engine shape");
}

std::int64_t ChunkBytes(const EngineBurn& burn) {
  return TextBytes(burn.Name) + TextBytes(burn.ParentName) + 8 +
         12 * static_cast<std::int64_t>(burn.Vertices.size());
}

std::int32_t ComputeEngineBurnLengths(EngineBurn& burn) {
  Frame(burn, "BURN");
  SyncText(burn.NameLength, burn.Name);
  SyncText(burn.ParentLength, burn.ParentName);
  return StoreLength(burn.Length, ChunkBytes(burn), "an engine burn");
}

void WriteEngineBurnChunk(WriteContext& ctx, const EngineBurn& burn) {
  WriteContext::CheckCount(std::int64_t{burn.VertexCount} * burn.CurveCount, burn.Vertices.size(),
                           "burn vertices (per curve times curves)");
  const std::size_t mark = ctx.BeginPlain("BURN", burn.Length);
  ctx.Text(burn.NameLength, burn.Name);
  ctx.Text(burn.ParentLength, burn.ParentName);
  ctx.out.WriteLong(burn.VertexCount);
  ctx.out.WriteLong(burn.CurveCount);
  for (const Vector3& v : burn.Vertices) ctx.Vector(v);
  ctx.End(mark, burn.Length, "an engine burn");
}

}  // namespace gantry
