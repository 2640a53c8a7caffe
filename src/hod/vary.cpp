// VARY: kept and written back as read; nothing else in the program uses it.
#include "hod/read_context.h"
#include "hod/write_context.h"

namespace gantry {

void ReadVaryChunk(ReadContext& ctx) {
  VaryMesh vary;
  TakeHeader(ctx, vary);
  vary.Name = ctx.ReadText(vary.NameLength);
  ctx.Note("VARY Name: ", vary.Name);
  vary.ParentName = ctx.ReadText(vary.ParentLength);
  ctx.Note("VARY's Parent Name: ", vary.ParentName);
  vary.CountA = ctx.in.ReadLong();
  vary.CountB = ctx.in.ReadLong();
  vary.CountC = ctx.in.ReadLong();
  vary.CountD = ctx.in.ReadLong();
  vary.Extra = ctx.in.ReadLong();

  ctx.Require(vary.CountA, 12, "VARY count A");
  vary.ListA.resize(static_cast<std::size_t>(vary.CountA));
  for (Vector3& v : vary.ListA) v = ctx.ReadVector3();

  ctx.Require(vary.CountB, 28, "VARY count B");
  vary.ListB.resize(static_cast<std::size_t>(vary.CountB));
  for (VaryRecordB& r : vary.ListB) {
    for (float& value : r.Values) value = ctx.in.ReadSingle();
    for (std::uint8_t& b : r.Bytes) b = ctx.in.ReadByte();
  }

  ctx.Require(vary.CountC, 28, "VARY count C");
  vary.ListC.resize(static_cast<std::size_t>(vary.CountC));
  for (auto& r : vary.ListC) {
    for (std::uint32_t& value : r) value = ctx.in.ReadRaw32();
  }

  ctx.Require(vary.CountD, 4, "VARY count D");
  vary.ListD.resize(static_cast<std::size_t>(vary.CountD));
  for (VaryGroup& group : vary.ListD) {
    group.GroupCount = ctx.in.ReadLong();
    ctx.Require(group.GroupCount, 12, "VARY group count");
    group.Records.resize(static_cast<std::size_t>(group.GroupCount));
    for (VaryGroupRecord& r : group.Records) {
      r.First = ctx.in.ReadLong();
      r.Second = ctx.in.ReadLong();
      r.Third = ctx.in.ReadInteger();
      r.Fourth = ctx.in.ReadInteger();
    }
  }
  ctx.model.VaryMeshes.push_back(std::move(vary));
}

// What the chunk's content really takes, whatever its stored length says.
std::int64_t ChunkBytes(const VaryMesh& vary) {
  std::int64_t bytes = TextBytes(vary.Name) + TextBytes(vary.ParentName) + 5 * 4 +
                       12 * static_cast<std::int64_t>(vary.ListA.size()) +
                       28 * static_cast<std::int64_t>(vary.ListB.size() + vary.ListC.size());
  for (const VaryGroup& group : vary.ListD) {
    bytes += 4 + 12 * static_cast<std::int64_t>(group.Records.size());
  }
  return bytes;
}

// A VARY's length is written as read; only its texts' length fields follow their texts.
std::int32_t ComputeVaryLengths(VaryMesh& vary) {
  Frame(vary, "VARY");
  SyncText(vary.NameLength, vary.Name);
  SyncText(vary.ParentLength, vary.ParentName);
  return vary.Length;
}

void WriteVaryChunk(WriteContext& ctx, const VaryMesh& vary) {
  WriteContext::CheckCount(vary.CountA, vary.ListA.size(), "VARY list A");
  WriteContext::CheckCount(vary.CountB, vary.ListB.size(), "VARY list B");
  WriteContext::CheckCount(vary.CountC, vary.ListC.size(), "VARY list C");
  WriteContext::CheckCount(vary.CountD, vary.ListD.size(), "VARY list D");
  ctx.BeginPlain("VARY", vary.Length);
  ctx.Text(vary.NameLength, vary.Name);
  ctx.Text(vary.ParentLength, vary.ParentName);
  ctx.out.WriteLong(vary.CountA);
  ctx.out.WriteLong(vary.CountB);
  ctx.out.WriteLong(vary.CountC);
  ctx.out.WriteLong(vary.CountD);
  ctx.out.WriteLong(vary.Extra);
  for (const Vector3& v : vary.ListA) ctx.Vector(v);
  for (const VaryRecordB& r : vary.ListB) {
    for (const float value : r.Values) ctx.out.WriteSingle(value);
    for (const std::uint8_t b : r.Bytes) ctx.out.WriteByte(b);
  }
  for (const auto& r : vary.ListC) {
    for (const std::uint32_t value : r) ctx.out.WriteRaw32(value);
  }
  for (const VaryGroup& group : vary.ListD) {
    WriteContext::CheckCount(group.GroupCount, group.Records.size(), "VARY group records");
    ctx.out.WriteLong(group.GroupCount);
    for (const VaryGroupRecord& r : group.Records) {
      ctx.out.WriteLong(r.First);
      ctx.out.WriteLong(r.Second);
      ctx.out.WriteInteger(r.Third);
      ctx.out.WriteInteger(r.Fourth);
    }
  }
}

}  // namespace gantry
