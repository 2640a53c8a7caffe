// The reader holds a few counts in small counters and stops at a file that goes beyond them:
// 254 parts per level-of-detail mesh and parameters per material; 32767 lights, levels of
// detail, mip levels, dock points, outline vertices and bytes of an engine shape; 65536
// vertices without data in all meshes together. Collision and scar meshes index one vertex list
// with 16-bit numbers, so they hold at most 65536 vertices. A model beyond any of these must not be
// written, or the file would stop reading part way.
#pragma once

#include <optional>
#include <string>

#include "hod/model.h"

namespace gantry {

inline constexpr std::int64_t kMaxMeshParts = 254;
inline constexpr std::int64_t kMaxMaterialParameters = 254;
inline constexpr std::int64_t kMaxShortCount = 32767;
inline constexpr std::int64_t kMaxEmptyVertices = 65536;
inline constexpr std::int64_t kMaxIndexedVertices = 65536;

// The first limit the chunks a save would write go beyond, in file order, as a message for the
// user naming the element; nullopt when the file would read back whole.
std::optional<std::string> FirstReaderLimitBroken(const HodModel& model);

}  // namespace gantry
