#include "commands/save_helpers.h"

#include <algorithm>

#include "commands/mesh_conversion.h"
#include "interchange/texture_decode.h"
#include "interchange/texture_encode.h"

namespace gantry {

namespace {

// An uncompressed texture for the later dialect, whose known files hold DXT only: DXT1 when its
// top level is opaque, DXT5 otherwise, with the full mip chain rebuilt from that level.
bool UpgradeTexture(Texture& texture) {
  if (texture.Format != Tag("8888")) return false;
  const std::optional<RgbaImage> top = DecodeTextureLevel(texture, 1);
  if (!top) return false;
  bool opaque = true;
  for (std::size_t i = 3; i < top->pixels.size() && opaque; i += 4) opaque = top->pixels[i] == 255;
  std::optional<Texture> dxt =
      CompressTextureToDxt(texture, opaque ? TextureFormat::kDxt1 : TextureFormat::kDxt5);
  if (!dxt) return false;
  texture = std::move(*dxt);
  return true;
}

}  // namespace

SaveOptions StandardSaveOptions(std::optional<HodDialect> dialect) {
  SaveOptions options;
  options.dialect = dialect;
  options.build_scar = [](const LodMesh& lod, ScarMesh& scar) {
    return !ScarMeshFromLod(lod, scar) && BuildScarGrid(scar);  // nullopt: joined
  };
  options.compress_texture = UpgradeTexture;
  return options;
}

}  // namespace gantry
