// NAVL: navigation lights.
#include "hod/read_context.h"
#include "hod/write_context.h"

namespace gantry {

namespace {
constexpr std::uint64_t kMinNavLightBytes = 4 + 4 + 3 * 4 + 4 + 16 + 4 + 2;
}

void ReadNavLightChunk(ReadContext& ctx) {
  NavLightListRecord record;
  TakeHeader(ctx, record);
  record.Version = ctx.in.ReadBigLong();
  record.NavLightCount = ctx.in.ReadLong();
  ctx.Note("Form Name2: ", record.ID);
  ctx.Note("Number of NavLights: ", record.NavLightCount);
  ctx.Require(record.NavLightCount, kMinNavLightBytes, "nav light count");
  record.NavLights.resize(static_cast<std::size_t>(record.NavLightCount));
  for (NavLight& light : record.NavLights) {
    light.Name = ctx.ReadText(light.NameLength);
    light.Section = ctx.in.ReadLong();
    light.Size = ctx.in.ReadSingle();
    light.Phase = ctx.in.ReadSingle();
    light.Frequency = ctx.in.ReadSingle();
    light.Style = ctx.ReadText(light.StyleLength);
    light.Colour.r = ctx.in.ReadSingle();
    light.Colour.g = ctx.in.ReadSingle();
    light.Colour.b = ctx.in.ReadSingle();
    light.Colour.a = ctx.in.ReadSingle();
    light.Distance = ctx.in.ReadSingle();
    light.VisibleSprite = ctx.in.ReadByte();
    light.CastLightOnHES = ctx.in.ReadByte();
  }
  ctx.model.NavLightList = std::move(record);
}

std::int64_t ChunkBytes(const NavLightListRecord& record) {
  std::int64_t bytes = 4 + 4 + 4;
  for (const NavLight& light : record.NavLights) {
    bytes += TextBytes(light.Name) + 4 + 12 + TextBytes(light.Style) + 16 + 4 + 2;
  }
  return bytes;
}

std::int32_t ComputeNavLightLengths(NavLightListRecord& record) {
  Frame(record, "NRML", "NAVL");
  for (NavLight& light : record.NavLights) {
    SyncText(light.NameLength, light.Name);
    SyncText(light.StyleLength, light.Style);
  }
  return StoreLength(record.Length, ChunkBytes(record), "the nav lights");
}

void WriteNavLightChunk(WriteContext& ctx, const NavLightListRecord& record) {
  WriteContext::CheckCount(record.NavLightCount, record.NavLights.size(), "nav lights");
  const std::size_t mark = ctx.BeginContainer("NRML", record.Length, "NAVL");
  ctx.out.WriteBigLong(record.Version);
  ctx.out.WriteLong(record.NavLightCount);
  for (const NavLight& light : record.NavLights) {
    ctx.Text(light.NameLength, light.Name);
    ctx.out.WriteLong(light.Section);
    ctx.out.WriteSingle(light.Size);
    ctx.out.WriteSingle(light.Phase);
    ctx.out.WriteSingle(light.Frequency);
    ctx.Text(light.StyleLength, light.Style);
    ctx.out.WriteSingle(light.Colour.r);
    ctx.out.WriteSingle(light.Colour.g);
    ctx.out.WriteSingle(light.Colour.b);
    ctx.out.WriteSingle(light.Colour.a);
    ctx.out.WriteSingle(light.Distance);
    ctx.out.WriteByte(light.VisibleSprite);
    ctx.out.WriteByte(light.CastLightOnHES);
  }
  ctx.End(mark, record.Length, "the nav lights");
}

}  // namespace gantry
