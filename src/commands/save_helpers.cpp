#include "commands/save_helpers.h"

#include "commands/mesh_conversion.h"
#include "interchange/texture_compress.h"

namespace gantry {

SaveOptions StandardSaveOptions(std::optional<HodDialect> dialect) {
  SaveOptions options;
  options.dialect = dialect;
  options.build_scar = [](const LodMesh& lod, ScarMesh& scar) {
    return ScarMeshFromLod(lod, scar) && BuildScarGrid(scar);
  };
  options.compress_texture = [](Texture& texture) { return CompressTextureToDxt(texture); };
  return options;
}

}  // namespace gantry
