// The chunks of background HODs other than meshes: BGLT, BGSG segments and STRF star fields.
#include "hod/read_context.h"
#include "hod/write_context.h"

namespace gantry {

void ReadBackgroundLightChunk(ReadContext& ctx) {
  BackgroundLightRecord record;
  TakeHeader(ctx, record);
  record.Kind = "NRML";
  record.SecondLength = ctx.in.ReadBigLong();
  ctx.Note("BGLT Form: ", ctx.header.Kind);
  ctx.Note("BGLT Form Length: ", record.Length);
  ctx.Note("BGLT Form ID: ", record.ID);
  ctx.Note("BGLT Form Length 2: ", record.SecondLength);
  ctx.model.BackgroundLight = record;
}

void ReadBackgroundSegmentChunk(ReadContext& ctx) {
  BackgroundSegment segment;
  TakeHeader(ctx, segment);
  segment.Name = ctx.ReadText(segment.NameLength);
  segment.ElementCount = ctx.in.ReadLong();
  ctx.Require(segment.ElementCount, sizeof(BackgroundElement), "segment element count");
  segment.Elements.resize(static_cast<std::size_t>(segment.ElementCount));
  for (BackgroundElement& e : segment.Elements) {
    for (float& value : e) value = ctx.in.ReadSingle();
  }
  ctx.model.BackgroundSegments.push_back(std::move(segment));
}

void ReadStarFieldChunk(ReadContext& ctx) {
  StarField field;
  TakeHeader(ctx, field);
  field.Version = ctx.in.ReadBigLong();
  field.StarCount = ctx.in.ReadLong();
  ctx.Note("STaR Field: ", field.Kind);
  ctx.Note("STaR Field form length: ", field.Length);
  ctx.Note("STaR Field ID: ", field.ID);
  ctx.Note("Number of stars: ", field.StarCount);
  ctx.Require(field.StarCount, sizeof(Star), "star count");
  field.Stars.resize(static_cast<std::size_t>(field.StarCount));
  for (Star& star : field.Stars) {
    for (float& value : star) value = ctx.in.ReadSingle();
    ctx.Tick();
  }
  ctx.model.StarFields.push_back(std::move(field));
}

void WriteBackgroundLightChunk(WriteContext& ctx, const BackgroundLightRecord& record) {
  // Both lengths are written as read: they describe nothing the model holds.
  ctx.out.WriteTag("NRML");
  ctx.out.WriteBigLong(record.Length);
  ctx.out.WriteTag("BGLT");
  ctx.out.WriteBigLong(record.SecondLength);
}

std::int64_t ChunkBytes(const BackgroundSegment& segment) {
  return 4 + TextBytes(segment.Name) + 4 + 32 * static_cast<std::int64_t>(segment.Elements.size());
}

std::int32_t ComputeBackgroundSegmentLengths(BackgroundSegment& segment) {
  Frame(segment, "FORM", "BGSG");
  SyncText(segment.NameLength, segment.Name);
  return StoreLength(segment.Length, ChunkBytes(segment), "a background segment");
}

void WriteBackgroundSegmentChunk(WriteContext& ctx, const BackgroundSegment& segment) {
  WriteContext::CheckCount(segment.ElementCount, segment.Elements.size(), "segment elements");
  const std::size_t mark = ctx.BeginContainer("FORM", segment.Length, segment.ID);
  ctx.Text(segment.NameLength, segment.Name);
  ctx.out.WriteLong(segment.ElementCount);
  for (const BackgroundElement& e : segment.Elements) {
    for (const float value : e) ctx.out.WriteSingle(value);
  }
  ctx.End(mark, segment.Length, "a background segment");
}

std::int64_t ChunkBytes(const StarField& field) {
  return 4 + 4 + 4 + 28 * static_cast<std::int64_t>(field.Stars.size());
}

std::int32_t ComputeStarFieldLengths(StarField& field) {
  Frame(field, "NRML", "STRF");
  return StoreLength(field.Length, ChunkBytes(field), "a star field");
}

void WriteStarFieldChunk(WriteContext& ctx, const StarField& field) {
  WriteContext::CheckCount(field.StarCount, field.Stars.size(), "stars");
  const std::size_t mark = ctx.BeginContainer("NRML", field.Length, field.ID);
  ctx.out.WriteBigLong(field.Version);
  ctx.out.WriteLong(field.StarCount);
  for (const Star& star : field.Stars) {
    for (const float value : star) ctx.out.WriteSingle(value);
  }
  ctx.End(mark, field.Length, "a star field");
}

}  // namespace gantry
