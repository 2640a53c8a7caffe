// MRKR: markers with their keyframe tracks.
#include "hod/read_context.h"

namespace gantry {

namespace {
constexpr std::uint64_t kKeyframeBytes = 8 + 8 + 4 * 4;

KeyframeTrack ReadTrack(ReadContext& ctx, const Tag& kind) {
  KeyframeTrack track;
  track.Kind = kind;
  track.Length = ctx.in.ReadBigLong();
  track.ID = ctx.in.ReadTag();
  track.Version = ctx.in.ReadBigLong();
  track.Name = ctx.ReadText(track.NameLength);
  track.KeyCount = ctx.in.ReadLong();
  ctx.Require(track.KeyCount, kKeyframeBytes, "keyframe count");
  track.Keys.resize(static_cast<std::size_t>(track.KeyCount));
  for (Keyframe& key : track.Keys) {
    key.Time = ctx.in.ReadDouble();
    key.Value = ctx.in.ReadDouble();
    for (float& e : key.Extra) e = ctx.in.ReadSingle();
  }
  track.PreI = ctx.in.ReadLong();
  track.PostI = ctx.in.ReadLong();
  return track;
}
}  // namespace

void ReadMarkerChunk(ReadContext& ctx) {
  Marker marker;
  TakeHeader(ctx, marker);
  ctx.Note("Form ID: ", marker.Kind);
  ctx.Note("Form Length: ", marker.Length);
  ctx.Note("Form ID2: ", marker.ID);
  marker.HeadKind = ctx.in.ReadTag();
  marker.HeadLength = ctx.in.ReadBigLong();
  ctx.Note("Sub-Form ID: ", marker.HeadKind);
  ctx.Note("Sub-Form Length: ", marker.HeadLength);
  marker.HeadID = ctx.in.ReadTag();
  ctx.Note("Sub-Form ID2: ", marker.HeadID);
  marker.Version = ctx.in.ReadBigLong();
  ctx.Note("Sub-Form Version: ", marker.Version);
  marker.Name = ctx.ReadText(marker.NameLength);
  ctx.Note("Marker Name: ", marker.Name);
  marker.ParentName = ctx.ReadText(marker.ParentLength);
  ctx.Note("Marker's Parent Name: ", marker.ParentName);
  marker.Flags1 = ctx.in.ReadSingle();
  marker.Flags2 = ctx.in.ReadSingle();
  for (double& p : marker.Position) p = ctx.in.ReadDouble();
  for (double& r : marker.Rotation) r = ctx.in.ReadDouble();
  marker.KeyfKind = ctx.in.ReadTag();
  marker.KeyfLength = ctx.in.ReadBigLong();
  marker.KeyfID = ctx.in.ReadTag();
  if (marker.KeyfLength > 4) {
    // Tracks follow while the next tag is "NRML"; the tag that ends them belongs to the next
    // chunk. A file may also simply end after the last track.
    while (ctx.in.remaining() >= 4) {
      const Tag kind = ctx.in.ReadTag();
      if (kind != Tag("NRML")) {
        ctx.in.Back(4);
        break;
      }
      marker.Tracks.push_back(ReadTrack(ctx, kind));
      ctx.Tick();
    }
  }
  ctx.model.Markers.push_back(std::move(marker));
}

}  // namespace gantry
