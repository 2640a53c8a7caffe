// DOCK: dock paths. Older files carry fewer path and point fields; whatever a format lacks is
// filled with its default, so the model always holds the newest layout.
#include <algorithm>

#include "hod/read_context.h"
#include "hod/write_context.h"

namespace gantry {

namespace {

// Point formats 1 to 9 each added one value to the six of position and rotation; only format 10
// exactly has the tenth.
int PointValueCount(std::int32_t point_format) {
  return 6 + std::clamp<std::int32_t>(point_format, 0, 9) + (point_format == 10 ? 1 : 0);
}

DockPoint ReadPoint(ReadContext& ctx, int values) {
  DockPoint point;
  point.Position = ctx.ReadVector3();
  point.Rotation = ctx.ReadVector3();
  if (values > 6) point.LocalFlag1 = ctx.in.ReadLong();
  if (values > 7) point.PointTolerance = ctx.in.ReadSingle();
  if (values > 8) point.LocalFlag2 = ctx.in.ReadLong();
  if (values > 9) point.MaxSpeed = ctx.in.ReadSingle();
  if (values > 10) point.LocalFlag3 = ctx.in.ReadLong();
  if (values > 11) point.PointValue6 = ctx.in.ReadLong();
  if (values > 12) point.PointValue7 = ctx.in.ReadLong();
  if (values > 13) point.PointValue8 = ctx.in.ReadLong();
  if (values > 14) point.PointValue9 = ctx.in.ReadLong();
  if (values > 15) point.PointValue10 = ctx.in.ReadLong();
  return point;
}

DockPath ReadPath(ReadContext& ctx) {
  DockPath path;
  path.Name = ctx.ReadText(path.NameLength);
  path.ParentName = ctx.ReadText(path.ParentLength);
  const std::int32_t path_format = ctx.in.ReadLong();
  const std::int32_t point_format = ctx.in.ReadLong();
  if (path_format >= 1) path.PathValue1 = ctx.in.ReadLong();
  if (path_format >= 2) path.PathValue2 = ctx.in.ReadLong();
  if (path_format >= 3) path.PathValue3 = ctx.in.ReadLong();
  if (path_format >= 4) path.Families = ctx.ReadText(path.FamiliesLength);
  if (path_format >= 5) path.PathValue4 = ctx.in.ReadLong();
  if (path_format >= 6) path.LinkedPaths = ctx.ReadText(path.LinkedPathsLength);
  path.PointCount = ctx.in.ReadLong();
  ctx.Limit(path.PointCount, kMaxShortCount, "The number of dock points");
  const int values = PointValueCount(point_format);
  ctx.Require(path.PointCount, 4u * static_cast<unsigned>(values), "dock point count");
  path.Points.reserve(static_cast<std::size_t>(path.PointCount));
  for (std::int32_t i = 0; i < path.PointCount; ++i) path.Points.push_back(ReadPoint(ctx, values));
  path.PathFormat = kNewestDockPathFormat;
  path.PointFormat = kNewestDockPointFormat;
  return path;
}

}  // namespace

void ReadDockChunk(ReadContext& ctx) {
  DockPathListRecord record;
  TakeHeader(ctx, record);
  record.PathCount = ctx.in.ReadLong();
  ctx.Note("Number of Paths: ", record.PathCount);
  ctx.Require(record.PathCount, 4 + 4 + 4 + 4 + 4, "dock path count");
  record.Paths.reserve(static_cast<std::size_t>(record.PathCount));
  for (std::int32_t i = 0; i < record.PathCount; ++i) {
    record.Paths.push_back(ReadPath(ctx));
    ctx.Tick();
  }
  ctx.model.DockPathList = std::move(record);
}

// Dock paths are always written in the newest layout: every path value, all sixteen point values.
std::int64_t ChunkBytes(const DockPathListRecord& record) {
  std::int64_t bytes = 4;
  for (const DockPath& path : record.Paths) {
    bytes += TextBytes(path.Name) + TextBytes(path.ParentName) + 8 + 12 + TextBytes(path.Families) +
             4 + TextBytes(path.LinkedPaths) + 4 +
             64 * static_cast<std::int64_t>(path.Points.size());
  }
  return bytes;
}

std::int32_t ComputeDockLengths(DockPathListRecord& record) {
  Frame(record, "DOCK");
  for (DockPath& path : record.Paths) {
    path.PathFormat = kNewestDockPathFormat;
    path.PointFormat = kNewestDockPointFormat;
    SyncText(path.NameLength, path.Name);
    SyncText(path.ParentLength, path.ParentName);
    SyncText(path.FamiliesLength, path.Families);
    SyncText(path.LinkedPathsLength, path.LinkedPaths);
  }
  return StoreLength(record.Length, ChunkBytes(record), "the dock paths");
}

void WriteDockChunk(WriteContext& ctx, const DockPathListRecord& record) {
  WriteContext::CheckCount(record.PathCount, record.Paths.size(), "dock paths");
  const std::size_t mark = ctx.BeginPlain("DOCK", record.Length);
  ctx.out.WriteLong(record.PathCount);
  for (const DockPath& path : record.Paths) {
    WriteContext::CheckCount(path.PointCount, path.Points.size(), "dock points");
    ctx.Text(path.NameLength, path.Name);
    ctx.Text(path.ParentLength, path.ParentName);
    ctx.out.WriteLong(kNewestDockPathFormat);
    ctx.out.WriteLong(kNewestDockPointFormat);
    ctx.out.WriteLong(path.PathValue1);
    ctx.out.WriteLong(path.PathValue2);
    ctx.out.WriteLong(path.PathValue3);
    ctx.Text(path.FamiliesLength, path.Families);
    ctx.out.WriteLong(path.PathValue4);
    ctx.Text(path.LinkedPathsLength, path.LinkedPaths);
    ctx.out.WriteLong(path.PointCount);
    for (const DockPoint& p : path.Points) {
      ctx.Vector(p.Position);
      ctx.Vector(p.Rotation);
      ctx.out.WriteLong(p.LocalFlag1);
      ctx.out.WriteSingle(p.PointTolerance);
      ctx.out.WriteLong(p.LocalFlag2);
      ctx.out.WriteSingle(p.MaxSpeed);
      ctx.out.WriteLong(p.LocalFlag3);
      ctx.out.WriteLong(p.PointValue6);
      ctx.out.WriteLong(p.PointValue7);
      ctx.out.WriteLong(p.PointValue8);
      ctx.out.WriteLong(p.PointValue9);
      ctx.out.WriteLong(p.PointValue10);
    }
  }
  ctx.End(mark, record.Length, "the dock paths");
}

}  // namespace gantry
