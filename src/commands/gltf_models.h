// Turning an imported glTF model into the model to save: completing a model from another tool
// (battle-scar meshes built from its meshes) and, with a base model, putting the imported meshes
// in place of the base's meshes of the same names.
#pragma once

#include <string>
#include <vector>

#include "commands/command_result.h"
#include "common/ui.h"
#include "hod/model.h"
#include "hod/workspace.h"

namespace gantry {

// Gives every mesh the battle-scar mesh of its name, built from its first level of detail where
// the model has none (models from other tools); the scar list ends up parallel to the meshes.
void CompleteScarMeshes(HodModel& model);

// Puts each mesh of `imported` in place of the base's mesh of that name (or after the base's
// meshes when it has none), with the materials and textures it uses (matched by name, added
// when missing) and its battle-scar mesh. Everything else of `base` stays. Returns one line per
// mesh saying what happened.
std::vector<std::string> ReplaceMeshesFrom(HodModel& base, const HodModel& imported);

// File > Export > glTF: asks for the file (.glb binary, else .gltf text) and writes the whole
// model with every level of detail. False when nothing was written.
bool ExportGltfCommand(const Workspace& workspace, Ui& ui);

// File > Import > glTF: asks for the file; into a model without meshes the whole imported model
// comes (battle-scar meshes completed), otherwise its meshes replace those of the same names as
// with ReplaceMeshesFrom. A file that cannot be imported changes nothing and says why.
CommandResult ImportGltfCommand(HodModel& model, Ui& ui);

}  // namespace gantry
