// A whole model as glTF 2.0: joints as nodes, every mesh and level of detail under its joint, the
// materials with their diffuse textures as PNG, and the other elements (markers, dock paths, nav
// lights, engine parts, glows, collision meshes, boundary vertices) as named nodes whose `extras`
// keep what the HOD needs. The names follow the conventions in gltf_names.h so a file without
// extras still comes back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hod/model.h"

namespace gantry {

struct GltfExportOptions {
  bool binary = true;    // .glb; otherwise .gltf text with the buffer embedded
  bool all_lods = true;  // false: level of detail 0 only
};

// The file's bytes; nullopt (and `error` says why) when the model cannot be written as glTF.
std::optional<std::vector<std::uint8_t>> ExportGltf(const HodModel& model,
                                                    const GltfExportOptions& options,
                                                    std::string* error = nullptr);

// Whether `path` names a binary glTF (.glb, any letter case).
bool IsGlbPath(const std::string& path);

}  // namespace gantry
