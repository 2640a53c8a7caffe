// How a level-of-detail mesh's vertices lie in the file: the components a mask selects, in file
// order position, colour, normal, uv, tangent, binormal.
#pragma once

#include <bit>
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

// The later dialect: bits 0x10 to 0x400 are further UV sets of 8 bytes each, stored after the
// first; bits 0x800 and 0x1000 have no known size.
inline constexpr std::int32_t kMaskExtraUVs = 0x7F0;
inline constexpr std::int32_t kHod2MaskBits = kMaskPosition | kMaskNormal | kMaskColour | kMaskUV |
                                              kMaskExtraUVs | kMaskTangent | kMaskBinormal;

constexpr std::uint32_t ExtraUVSets(std::int32_t mask) {
  return static_cast<std::uint32_t>(
      std::popcount(static_cast<std::uint32_t>(mask & kMaskExtraUVs)));
}

constexpr std::uint32_t Hod2VertexBytes(std::int32_t mask) {
  return VertexBytes(mask) + 8 * ExtraUVSets(mask);
}

}  // namespace gantry
