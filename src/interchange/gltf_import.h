// Reading a glTF 2.0 file (.glb or .gltf) into a model. A file Gantry wrote comes back from its
// `extras` as the model it was made from; any other glTF (as Blender writes it) becomes a
// multi-mesh model by the naming conventions of gltf_names.h: nodes become joints, nodes with
// meshes become meshes (levels of detail and goblins by their names), materials take their
// base colour textures, and empties named like markers and dock paths become those.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hod/model.h"

namespace gantry {

struct GltfImport {
  HodModel model;
  bool from_gantry = false;        // the file carried Gantry's extras
  std::vector<std::string> notes;  // what was left out or changed, one line each
};

// `folder`: where a .gltf file's external buffers and images are looked for ("" = none may be
// read). nullopt (and `error` says why) for a file that is not a usable glTF; nothing is kept
// from such a file.
std::optional<GltfImport> ImportGltf(std::span<const std::uint8_t> file, const std::string& folder,
                                     std::string* error);

}  // namespace gantry
