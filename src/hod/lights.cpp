// LITE: the model's lights.
#include "hod/read_context.h"
#include "hod/write_context.h"

namespace gantry {

namespace {
constexpr std::uint64_t kMinLightBytes = 4 + 4 + 3 * 12 + 4 + 4;
}

void ReadLightChunk(ReadContext& ctx) {
  LightListRecord record;
  TakeHeader(ctx, record);
  record.LightCount = ctx.in.ReadLong();
  ctx.Note("Number of Lights: ", record.LightCount);
  ctx.Limit(record.LightCount, kMaxShortCount, "The number of lights");
  ctx.Require(record.LightCount, kMinLightBytes, "light count");
  record.Lights.resize(static_cast<std::size_t>(record.LightCount));
  for (Light& light : record.Lights) {
    light.Name = ctx.ReadText(light.NameLength);
    light.Type = ctx.in.ReadLong();
    light.Position = ctx.ReadVector3();
    const Vector3 colour = ctx.ReadVector3();
    light.Colour = {colour.x, colour.y, colour.z};
    const Vector3 specular = ctx.ReadVector3();
    light.Specular = {specular.x, specular.y, specular.z};
    light.Attenuation = ctx.in.ReadLong();
    light.AttenuationDistance = ctx.in.ReadSingle();
    ctx.Note(" Light Name: ", light.Name);
    ctx.Note(" Light Type: ", light.Type);
    ctx.Note(" Light Position: ", light.Position);
    ctx.Note(" Light Colour: ", light.Colour);
    ctx.Note(" Light Specularity: ", light.Specular);
    ctx.Note(" Light Attenuation: ", light.Attenuation);
    ctx.Note(" Light Attenuation Distance: ", light.AttenuationDistance);
  }
  ctx.model.LightList = std::move(record);
}

std::int64_t ChunkBytes(const LightListRecord& record) {
  std::int64_t bytes = 4;
  for (const Light& light : record.Lights) bytes += TextBytes(light.Name) + 48;
  return bytes;
}

std::int32_t ComputeLightLengths(LightListRecord& record) {
  Frame(record, "LITE");
  for (Light& light : record.Lights) SyncText(light.NameLength, light.Name);
  return StoreLength(record.Length, ChunkBytes(record), "the light list");
}

void WriteLightChunk(WriteContext& ctx, const LightListRecord& record) {
  WriteContext::CheckCount(record.LightCount, record.Lights.size(), "lights");
  const std::size_t mark = ctx.BeginPlain("LITE", record.Length);
  ctx.out.WriteLong(record.LightCount);
  for (const Light& light : record.Lights) {
    ctx.Text(light.NameLength, light.Name);
    ctx.out.WriteLong(light.Type);
    ctx.Vector(light.Position);
    ctx.Vector({light.Colour.r, light.Colour.g, light.Colour.b});
    ctx.Vector({light.Specular.r, light.Specular.g, light.Specular.b});
    ctx.out.WriteLong(light.Attenuation);
    ctx.out.WriteSingle(light.AttenuationDistance);
  }
  ctx.End(mark, record.Length, "the light list");
}

}  // namespace gantry
