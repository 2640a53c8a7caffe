// The save options with the helpers the core save cannot reach itself: scar meshes built from a
// mesh's level 0 (with their grid) and uncompressed textures compressed to DXT.
#pragma once

#include <optional>

#include "hod/save.h"

namespace gantry {

SaveOptions StandardSaveOptions(std::optional<HodDialect> dialect = std::nullopt);

}  // namespace gantry
