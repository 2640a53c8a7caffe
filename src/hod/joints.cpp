// HIER: the joint hierarchy.
#include "hod/read_context.h"

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

}  // namespace gantry
