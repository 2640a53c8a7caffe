// HIER: the joint hierarchy.
#include "hod/read_context.h"
#include "hod/write_context.h"

namespace gantry {

namespace {
constexpr std::uint64_t kMinJointBytes = 4 + 4 + 4 * 12 + 3;
}

void ReadJointChunk(ReadContext& ctx) {
  JointListRecord record;
  TakeHeader(ctx, record);
  record.JointCount = ctx.in.ReadLong();
  ctx.Require(record.JointCount, kMinJointBytes, "joint count");
  record.Joints.resize(static_cast<std::size_t>(record.JointCount));
  for (Joint& joint : record.Joints) {
    joint.Name = ctx.ReadText(joint.NameLength);
    joint.ParentName = ctx.ReadText(joint.ParentLength);
    joint.Position = ctx.ReadVector3();
    joint.Rotation = ctx.ReadVector3();
    joint.Scale = ctx.ReadVector3();
    joint.Axis = ctx.ReadVector3();
    for (std::uint8_t& f : joint.Freedom) f = ctx.in.ReadByte();
    ctx.Tick();
  }
  ctx.model.JointList = std::move(record);
}

std::int64_t ChunkBytes(const JointListRecord& record) {
  std::int64_t bytes = 4;
  for (const Joint& joint : record.Joints) {
    bytes += TextBytes(joint.Name) + TextBytes(joint.ParentName) + 48 + 3;
  }
  return bytes;
}

std::int32_t ComputeJointLengths(JointListRecord& record) {
  Frame(record, "HIER");
  for (Joint& joint : record.Joints) {
    SyncText(joint.NameLength, joint.Name);
    SyncText(joint.ParentLength, joint.ParentName);
  }
  return StoreLength(record.Length, ChunkBytes(record), "the joint list");
}

void WriteJointChunk(WriteContext& ctx, const JointListRecord& record) {
  WriteContext::CheckCount(record.JointCount, record.Joints.size(), "joints");
  const std::size_t mark = ctx.BeginPlain("HIER", record.Length);
  ctx.out.WriteLong(record.JointCount);
  for (const Joint& joint : record.Joints) {
    ctx.Text(joint.NameLength, joint.Name);
    ctx.Text(joint.ParentLength, joint.ParentName);
    ctx.Vector(joint.Position);
    ctx.Vector(joint.Rotation);
    ctx.Vector(joint.Scale);
    ctx.Vector(joint.Axis);
    for (const std::uint8_t f : joint.Freedom) ctx.out.WriteByte(f);
  }
  ctx.End(mark, record.Length, "the joint list");
}

}  // namespace gantry
