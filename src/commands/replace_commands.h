// The editor's Replace commands: each asks for an OBJ file, imports it with its own options and
// puts the result, converted where the element keeps its geometry in another shape, into the
// selected element. A cancelled dialog, an empty file (which is deleted) or a file the importer
// refuses leaves the model as it was.
//
// Choices of ours where the editor's behaviour is open:
//  - every command but the level-of-detail one refuses a missing selection with "Please select
//    a object first!";
//  - the whole element is replaced: an engine shape loses its old outlines, a scar mesh gets a
//    new grid, a collision mesh a new box and sphere, as a level of detail's scar mesh does;
//  - a glow's mesh keeps the glow's level of detail and gets mask 11 (position, normal, UV).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "commands/command_result.h"
#include "common/ui.h"
#include "hod/model.h"

namespace gantry {

// The geometry tab's Replace: refuses without a mesh and level, for a mesh without levels and in
// a model without materials (before any file is asked for); otherwise the imported level
// replaces the selected one whole and the mesh's scar mesh gets its box and sphere again.
// Selects the level.
CommandResult ReplaceLod(HodModel& model, std::optional<std::size_t> mesh,
                         std::optional<std::size_t> lod, Ui& ui);

// The same without questions (command line): vertices merged with the default thresholds, V
// reversed when `reverse_v`, each OBJ material matched to the model material of its name (else
// material 0), no summary. False, with the refusal shown, when nothing was replaced.
bool ReplaceLodWithObjText(HodModel& model, std::size_t mesh, std::size_t lod,
                           std::string_view obj_text, Ui& ui, bool reverse_v = true);

// The engine shape's outlines become the triangles of `mesh`, unless the shape would then be
// larger than a HOD can hold (32767 bytes, 32767 vertices per outline): it is then left as it was
// and the refusal, to be shown, is returned.
std::optional<std::string> PutEngineShapeOutlines(const LodMesh& mesh, EngineShape& shape);

// The other tabs' Replace commands, on the element selected in the tab's list. An engine shape
// too large for a HOD is refused and the shape keeps its outlines.
CommandResult ReplaceBackgroundMesh(HodModel& model, std::optional<std::size_t> selected, Ui& ui);
CommandResult ReplaceScarMesh(HodModel& model, std::optional<std::size_t> selected, Ui& ui);
CommandResult ReplaceEngineGlow(HodModel& model, std::optional<std::size_t> selected, Ui& ui);
CommandResult ReplaceCollisionMesh(HodModel& model, std::optional<std::size_t> selected, Ui& ui);
CommandResult ReplaceEngineShape(HodModel& model, std::optional<std::size_t> selected, Ui& ui);
CommandResult ReplaceSimpleMesh(HodModel& model, std::optional<std::size_t> selected, Ui& ui);
// The burn's points are the file's positions (ReadOBJPoints).
CommandResult ReplaceEngineBurnPoints(HodModel& model, std::optional<std::size_t> selected, Ui& ui);

}  // namespace gantry
