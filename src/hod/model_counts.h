// How much of each family a model holds: what `gantry-cli info` reports and tests compare.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "hod/model.h"

namespace gantry {

// (key, count) in a fixed order: materials, textures, meshes (MULT and GOBG), goblins, ...,
// lods_total (every BMSH: mesh levels, glows, background meshes), vertices and indices (summed
// over those meshes), mip_levels, keyframe_tracks, dock_points, stars.
std::vector<std::pair<std::string, std::int64_t>> CountModel(const HodModel& model);

// The owner text without the NUL the writer appends.
std::string OwnerText(const HodModel& model);

}  // namespace gantry
