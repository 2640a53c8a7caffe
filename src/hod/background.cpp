// The chunks of background HODs other than meshes: BGLT, BGSG segments and STRF star fields.
#include "hod/read_context.h"

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

}  // namespace gantry
