// Texture mip-level sizes, shared by the reader, the writer and the texture tools.
#pragma once

#include <cstdint>

#include "common/tag.h"

namespace gantry {

// Bytes of mip level `level` (1 = the largest) of a texture of the given format and size. The
// level's width and height halve per level in floating point; DXT1 takes 8 bytes per 4x4 block,
// other DXT formats 16, "8888" 4 bytes per pixel, at least one block or pixel either way.
// Returns a negative value when the size cannot be represented.
std::int64_t MipLevelBytes(const Tag& format, std::int32_t width, std::int32_t height, int level);

}  // namespace gantry
