// Removing, reordering and duplicating elements. A removal moves every later element one place
// to the front and shrinks the list; count fields kept beside a list follow it. References by
// index or name elsewhere (material and texture indices, parent names) are not renumbered: the
// validator reports those that no longer resolve.
//
// After a removal the entry at the removed position is selected (the new last one when the last
// was removed, none when the list is empty); a move selects the moved mesh at its new place and a
// duplicate the new element.
#pragma once

#include <cstddef>
#include <optional>

#include "commands/command_result.h"
#include "common/ui.h"
#include "hod/model.h"
#include "hod/workspace.h"

namespace gantry {

enum class MeshMove { Up, Down };
// Which family the star-field tab shows.
enum class StarGroupFamily { StarFields, BackgroundSegments };

CommandResult RemoveTexture(Workspace& workspace, std::optional<std::size_t> texture, Ui& ui);
// Removes the mesh and the scar mesh at the same position.
CommandResult RemoveMesh(Workspace& workspace, std::optional<std::size_t> mesh, Ui& ui);
// Swaps the mesh with its neighbour, and their scar meshes likewise.
CommandResult MoveMesh(Workspace& workspace, std::optional<std::size_t> mesh, MeshMove direction,
                       Ui& ui);
// Later levels are renumbered so that the levels stay numbered from 0.
CommandResult RemoveLod(Workspace& workspace, std::optional<std::size_t> mesh,
                        std::optional<std::size_t> lod, Ui& ui);

CommandResult RemoveEngineShape(Workspace& workspace, std::optional<std::size_t> shape, Ui& ui);
CommandResult RemoveEngineGlow(Workspace& workspace, std::optional<std::size_t> glow, Ui& ui);
CommandResult RemoveEngineBurn(Workspace& workspace, std::optional<std::size_t> burn, Ui& ui);
CommandResult RemoveMarker(Workspace& workspace, std::optional<std::size_t> marker, Ui& ui);
CommandResult RemoveDockPath(Workspace& workspace, std::optional<std::size_t> path, Ui& ui);
CommandResult RemoveLight(Workspace& workspace, std::optional<std::size_t> light, Ui& ui);
CommandResult RemoveSimpleMesh(Workspace& workspace, std::optional<std::size_t> mesh, Ui& ui);
// These three do nothing when nothing is selected.
CommandResult RemoveCollisionMesh(Workspace& workspace, std::optional<std::size_t> mesh);
CommandResult RemoveNavLight(Workspace& workspace, std::optional<std::size_t> light);
CommandResult RemoveBackgroundMesh(HodModel& model, std::optional<std::size_t> mesh);

CommandResult RemoveStarGroup(HodModel& model, StarGroupFamily family,
                              std::optional<std::size_t> group);
CommandResult RemoveStar(Workspace& workspace, StarGroupFamily family,
                         std::optional<std::size_t> group, std::optional<std::size_t> star, Ui& ui);

// Empties the scar mesh's grid to one cell without triangles (1 x 1 x 1).
CommandResult ResetScarGrid(HodModel& model, std::optional<std::size_t> scar, Ui& ui);

// The new element is a copy of the selected one under a name asked for. Engine parts take any
// name; a light's name must not be another light's.
CommandResult DuplicateEngineShape(HodModel& model, std::optional<std::size_t> shape, Ui& ui);
CommandResult DuplicateEngineGlow(HodModel& model, std::optional<std::size_t> glow, Ui& ui);
CommandResult DuplicateEngineBurn(HodModel& model, std::optional<std::size_t> burn, Ui& ui);
CommandResult DuplicateLight(HodModel& model, std::optional<std::size_t> light, Ui& ui);

}  // namespace gantry
