// The checks a model must pass before it is written: meshes with geometry, joints, matching
// battle-scar meshes, collision meshes with triangles, sound textures. Runs the checks of the
// model's HOD type in order and stops at the first fault, reporting it through Ui. A few
// inconsistencies are mended on the spot (and reported as such); they stay mended even when a
// later check fails.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "common/ui.h"
#include "hod/model.h"

namespace gantry {

struct ValidationContext {
  // Entries of the editor's material list, when there is an editor; a material beyond them is
  // reported and `select_material` names the list's last entry.
  std::optional<std::size_t> editor_material_entries;
  // The user agreed beforehand that a model with lights loses its joints and boundary vertices
  // (the command line's --drop-lights): said, not asked.
  bool drop_for_lights = false;
};

struct ValidationResult {
  bool valid = false;
  // 0-based entry of the editor's material list to select, when a check asks for it.
  std::optional<std::size_t> select_material;
};

// What saving drops from a model with lights, which a file holds instead of joints and boundary
// vertices; empty when only the defaults a read puts back would go.
std::string LightLossText(const HodModel& model);

ValidationResult ValidateHod(HodModel& model, Ui& ui, const ValidationContext& context = {});

}  // namespace gantry
