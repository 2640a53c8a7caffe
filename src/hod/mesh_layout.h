// How a level-of-detail mesh's vertices lie in the file: the components a mask selects, in file
// order position, colour, normal, uv, tangent, binormal.
#pragma once

#include <cstdint>

#include "hod/model.h"

namespace gantry {

constexpr std::uint32_t VertexBytes(std::int32_t mask) {
  std::uint32_t bytes = 0;
  if (mask & kMaskPosition) bytes += 16;
  if (mask & kMaskColour) bytes += 4;
  if (mask & kMaskNormal) bytes += 16;
  if (mask & kMaskUV) bytes += 8;
  if (mask & kMaskTangent) bytes += 12;
  if (mask & kMaskBinormal) bytes += 12;
  return bytes;
}

}  // namespace gantry
