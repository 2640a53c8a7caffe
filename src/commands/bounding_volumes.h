// Automatic bounding boxes and spheres of collision and battle-scar reference meshes, and the
// model's boundary vertices.
#pragma once

#include <cstddef>
#include <optional>

#include "common/ui.h"
#include "geometry/bounds.h"
#include "hod/model.h"

namespace gantry {

// Collision mesh `index` (0-based): its own vertices. Scar mesh `index`: the vertices of level of
// detail 1 of the mesh with the same index. Each also widens boundary vertices 1 and 7 to the box.
void CalculateCollisionBox(HodModel& model, std::size_t index);
void CalculateCollisionSphere(HodModel& model, std::size_t index);
void CalculateScarBox(HodModel& model, std::size_t index);
void CalculateScarSphere(HodModel& model, std::size_t index);

// The editor's buttons: nothing selected shows "Please select a object first!".
bool CollisionBoxCommand(HodModel& model, std::optional<std::size_t> selected, Ui& ui);
bool CollisionSphereCommand(HodModel& model, std::optional<std::size_t> selected, Ui& ui);
bool ScarBoxCommand(HodModel& model, std::optional<std::size_t> selected, Ui& ui);
bool ScarSphereCommand(HodModel& model, std::optional<std::size_t> selected, Ui& ui);
// Eight boundary vertices from every mesh's vertices; asks whether to enlarge them by 5%.
void BoundaryVerticesCommand(HodModel& model, Ui& ui);

}  // namespace gantry
