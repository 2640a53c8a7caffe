// STAT: materials and their shader parameters.
#include "hod/read_context.h"
#include "hod/write_context.h"

namespace gantry {

namespace {
constexpr std::int32_t kPlainMaterialVersion = 1001;
}  // namespace

void ReadMaterialChunk(ReadContext& ctx) {
  Material material;
  TakeHeader(ctx, material);
  // Only NRML-framed materials carry a version and layer names.
  const bool framed = ctx.header.Kind == Tag("NRML");
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
  ctx.Limit(material.ParameterCount, kMaxMaterialParameters, "The number of material parameters");
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

// Materials are always written NRML-framed, so their version and layer names survive; one read
// from a plain STAT chunk is turned into that form here.
std::int64_t ChunkBytes(const Material& material) {
  std::int64_t bytes = 4 + 4 + TextBytes(material.Name) + TextBytes(material.ShaderName) + 4;
  for (const MaterialParameter& p : material.Parameters) {
    bytes += 8;
    if (p.Type == kParameterColour) {
      bytes += 16;
    } else if (p.Type == kParameterTexture) {
      bytes += 4 + TextBytes(p.LayerName);
    }
  }
  return bytes;
}

std::int32_t ComputeMaterialLengths(Material& material) {
  Frame(material, "NRML", "STAT");
  SyncText(material.NameLength, material.Name);
  SyncText(material.ShaderLength, material.ShaderName);
  for (MaterialParameter& p : material.Parameters) {
    if (p.Type == kParameterColour) {
      p.DataSize = 16;
    } else if (p.Type == kParameterTexture) {
      p.DataSize = 4;
      SyncText(p.LayerNameLength, p.LayerName);
    }
  }
  return StoreLength(material.Length, ChunkBytes(material), "a material");
}

void WriteMaterialChunk(WriteContext& ctx, const Material& material) {
  WriteContext::CheckCount(material.ParameterCount, material.Parameters.size(),
                           "material parameters");
  const std::size_t mark = ctx.BeginContainer(material.Kind, material.Length, material.ID);
  ctx.out.WriteBigLong(material.Version);
  ctx.Text(material.NameLength, material.Name);
  ctx.Text(material.ShaderLength, material.ShaderName);
  ctx.out.WriteLong(material.ParameterCount);
  for (const MaterialParameter& p : material.Parameters) {
    ctx.out.WriteLong(p.Type);
    ctx.out.WriteLong(p.DataSize);
    if (p.Type == kParameterColour) {
      ctx.out.WriteSingle(p.Colour.r);
      ctx.out.WriteSingle(p.Colour.g);
      ctx.out.WriteSingle(p.Colour.b);
      ctx.out.WriteSingle(p.Colour.a);
    } else if (p.Type == kParameterTexture) {
      ctx.out.WriteLong(p.TextureIndex);
      ctx.Text(p.LayerNameLength, p.LayerName);
    }
  }
  ctx.End(mark, material.Length, "a material");
}

}  // namespace gantry
