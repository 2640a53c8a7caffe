// Commands of the geometry tab that change a mesh in place: the goblin switch and the material
// reassignment of a level's parts, and the texts of the level list.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "commands/command_result.h"
#include "common/ui.h"
#include "hod/model.h"

namespace gantry {

// The level list of a mesh: "LOD: " + LodLevel per level ("GOBlin Group " + (LodLevel + 1) for a
// goblin), or the single entry "No LoDs defined".
std::vector<std::string> LodListEntries(const MultiMesh& mesh);

struct GoblinSwitchResult {
  CommandResult command;  // selects the mesh again
  bool uncheck = false;   // the switch was refused: the box must be cleared again
};

// `checked`: the goblin box's state after the click. A mesh with two or more levels cannot
// become a goblin; a mesh without levels is left alone.
GoblinSwitchResult SetGoblin(HodModel& model, std::optional<std::size_t> mesh, bool checked,
                             Ui& ui);

// Asks for a new material for every part of the selected level, one part after the other. A
// chooser closed without a choice (-1) leaves that part's material as it was.
CommandResult ReassignMaterials(HodModel& model, std::optional<std::size_t> mesh,
                                std::optional<std::size_t> lod, Ui& ui);

}  // namespace gantry
