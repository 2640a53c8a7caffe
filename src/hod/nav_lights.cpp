// NAVL: navigation lights.
#include "hod/read_context.h"

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

}  // namespace gantry
