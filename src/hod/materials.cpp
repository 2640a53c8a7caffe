// STAT: materials and their shader parameters.
#include "hod/read_context.h"

namespace gantry {

namespace {
constexpr std::int32_t kMaxParameters = 254;
constexpr std::int32_t kPlainMaterialVersion = 1001;
}  // namespace

void ReadMaterialChunk(ReadContext& ctx) {
  Material material;
  TakeHeader(ctx, material);
  // Only NRML-framed materials carry a version and layer names.
  const bool framed = ctx.container;
  if (framed) {
    material.Version = ctx.in.ReadBigLong();
    ctx.Note("STAT Version: ", material.Version);
  } else {
    material.Version = kPlainMaterialVersion;
  }
  material.Name = ctx.ReadText(material.NameLength);
  ctx.Note("Length of name of material: ", material.NameLength);
  ctx.Note("Name of material: ", material.Name);
  material.ShaderName = ctx.ReadText(material.ShaderLength);
  ctx.Note("Length of name of shader: ", material.ShaderLength);
  ctx.Note("Name of shader: ", material.ShaderName);
  material.ParameterCount = ctx.in.ReadLong();
  ctx.Note("Number of layers for this material: ", material.ParameterCount);
  ctx.Limit(material.ParameterCount, kMaxParameters, "The number of material parameters");
  ctx.Require(material.ParameterCount, 8, "parameter count");
  material.Parameters.resize(static_cast<std::size_t>(material.ParameterCount));
  int number = 0;
  for (MaterialParameter& p : material.Parameters) {
    ++number;
    p.Type = ctx.in.ReadLong();
    p.DataSize = ctx.in.ReadLong();
    if (p.Type == kParameterColour) {
      p.Colour.r = ctx.in.ReadSingle();
      p.Colour.g = ctx.in.ReadSingle();
      p.Colour.b = ctx.in.ReadSingle();
      p.Colour.a = ctx.in.ReadSingle();
      ctx.Note("Colour: ", p.Colour);
    } else if (p.Type == kParameterTexture) {
      p.TextureIndex = ctx.in.ReadLong();
      if (ctx.detailed) {
        ctx.log.Log(fmt::format("Starting layer for this material's 'Parameter {}' = {}", number,
                                p.TextureIndex));
      }
      if (framed) {
        p.LayerName = ctx.ReadText(p.LayerNameLength);
        ctx.Note("Length of name of layer = ", p.LayerNameLength);
        ctx.Note("Name of Layer: ", p.LayerName);
      }
    }
  }
  ctx.model.Materials.push_back(std::move(material));
}

}  // namespace gantry
