// An uncompressed ("8888") texture turned into DXT for the later dialect, whose known files hold
// nothing else. Each level the texture has is compressed on its own (DXT1 when every pixel is
// opaque, DXT5 otherwise); rows keep their order, so the meshes' UVs still meet the same pixels.
// The texture pipeline's encoder (full mip chain from the largest level) replaces this when it
// lands; callers use only this one function.
#pragma once

#include "hod/model.h"

namespace gantry {

// False (texture untouched) when the texture is not 8888 or a level cannot be decoded.
bool CompressTextureToDxt(Texture& texture);

}  // namespace gantry
