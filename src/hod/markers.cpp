// MRKR: markers with their keyframe tracks.
#include "hod/read_context.h"
#include "hod/write_context.h"

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

namespace {
std::int64_t HeadBytes(const Marker& marker) {
  return 4 + 4 + TextBytes(marker.Name) + TextBytes(marker.ParentName) + 8 + 48;
}
std::int64_t TrackBytes(const KeyframeTrack& track) {
  return 4 + 4 + TextBytes(track.Name) + 4 + static_cast<std::int64_t>(track.Keys.size()) * 32 + 8;
}
std::int64_t KeyframeBytes(const Marker& marker) {
  std::int64_t bytes = 4;
  for (const KeyframeTrack& track : marker.Tracks) bytes += 8 + TrackBytes(track);
  return bytes;
}
}  // namespace

std::int64_t ChunkBytes(const Marker& marker) {
  return 4 + 8 + HeadBytes(marker) + 8 + KeyframeBytes(marker);
}

// The marker's inner containers have fixed kinds and IDs, whatever a file held.
std::int32_t ComputeMarkerLengths(Marker& marker) {
  Frame(marker, "FORM", "MRKR");
  marker.HeadKind = "NRML";
  marker.HeadID = "HEAD";
  marker.KeyfKind = "FORM";
  marker.KeyfID = "KEYF";
  SyncText(marker.NameLength, marker.Name);
  SyncText(marker.ParentLength, marker.ParentName);
  StoreLength(marker.HeadLength, HeadBytes(marker), "a marker's head");
  for (KeyframeTrack& track : marker.Tracks) {
    track.Kind = "NRML";
    SyncText(track.NameLength, track.Name);
    StoreLength(track.Length, TrackBytes(track), "a keyframe track");
  }
  StoreLength(marker.KeyfLength, KeyframeBytes(marker), "a marker's keyframes");
  return StoreLength(marker.Length, ChunkBytes(marker), "a marker");
}

void WriteMarkerChunk(WriteContext& ctx, const Marker& marker) {
  const std::size_t mark = ctx.BeginContainer("FORM", marker.Length, "MRKR");
  const std::size_t head = ctx.BeginContainer("NRML", marker.HeadLength, "HEAD");
  ctx.out.WriteBigLong(marker.Version);
  ctx.Text(marker.NameLength, marker.Name);
  ctx.Text(marker.ParentLength, marker.ParentName);
  ctx.out.WriteSingle(marker.Flags1);
  ctx.out.WriteSingle(marker.Flags2);
  for (const double p : marker.Position) ctx.out.WriteDouble(p);
  for (const double r : marker.Rotation) ctx.out.WriteDouble(r);
  ctx.End(head, marker.HeadLength, "a marker's head");
  const std::size_t keyf = ctx.BeginContainer("FORM", marker.KeyfLength, "KEYF");
  // Tracks are read only behind a KEYF longer than its ID.
  if (marker.KeyfLength > 4) {
    for (const KeyframeTrack& track : marker.Tracks) {
      WriteContext::CheckCount(track.KeyCount, track.Keys.size(), "keyframes");
      const std::size_t t = ctx.BeginContainer("NRML", track.Length, track.ID);
      ctx.out.WriteBigLong(track.Version);
      ctx.Text(track.NameLength, track.Name);
      ctx.out.WriteLong(track.KeyCount);
      for (const Keyframe& key : track.Keys) {
        ctx.out.WriteDouble(key.Time);
        ctx.out.WriteDouble(key.Value);
        for (const float e : key.Extra) ctx.out.WriteSingle(e);
      }
      ctx.out.WriteLong(track.PreI);
      ctx.out.WriteLong(track.PostI);
      ctx.End(t, track.Length, "a keyframe track");
    }
  }
  ctx.End(keyf, marker.KeyfLength, "a marker's keyframes");
  ctx.End(mark, marker.Length, "a marker");
}

}  // namespace gantry
