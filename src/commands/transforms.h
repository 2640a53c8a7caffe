// Moving, turning, scaling and mirroring one mesh (all its levels of detail and its battle-scar
// reference mesh) or one simple mesh, and rescaling or rotating the whole model.
//
// The *Command functions are the editor's buttons and menu items: they check the selection
// (nullopt = nothing selected), ask their numbers through Ui (re-asking non-numbers, ending on an
// empty answer) and return true when they changed the model.
#pragma once

#include <cstddef>
#include <optional>

#include "common/ui.h"
#include "hod/model.h"

namespace gantry {

struct MirrorOptions {
  bool x = false;  // with respect to the YZ plane
  bool y = false;  // with respect to the XZ plane
  bool z = false;  // with respect to the XY plane
};

// The operations themselves; `mesh` is a 0-based index into Meshes (and ScarMeshes).
void TranslateMesh(HodModel& model, std::size_t mesh, const Vector3& offset);
void ScaleMesh(HodModel& model, std::size_t mesh, const Vector3& factors);
void RotateMesh(HodModel& model, std::size_t mesh, const Vector3& radians);
void MirrorMesh(HodModel& model, std::size_t mesh, const MirrorOptions& options);
void TranslateSimpleMesh(SimpleMesh& mesh, const Vector3& offset);
void ScaleSimpleMesh(SimpleMesh& mesh, const Vector3& factors);
void RotateSimpleMesh(SimpleMesh& mesh, const Vector3& radians);
void MirrorSimpleMesh(SimpleMesh& mesh, const MirrorOptions& options);
bool RescaleHOD(HodModel& model, float sx, float sy, float sz);
bool RotateHOD(HodModel& model, float ax, float ay, float az, bool rotate_joints);

// The editor's commands.
bool TranslateMeshCommand(HodModel& model, std::optional<std::size_t> mesh, Ui& ui);
bool RotateMeshCommand(HodModel& model, std::optional<std::size_t> mesh, Ui& ui);
bool ScaleMeshCommand(HodModel& model, std::optional<std::size_t> mesh, Ui& ui);
bool MirrorMeshCommand(HodModel& model, std::optional<std::size_t> mesh,
                       const MirrorOptions& options, Ui& ui);
bool MoveSimpleMeshCommand(HodModel& model, std::optional<std::size_t> mesh, Ui& ui);
bool RotateSimpleMeshCommand(HodModel& model, std::optional<std::size_t> mesh, Ui& ui);
bool ScaleSimpleMeshCommand(HodModel& model, std::optional<std::size_t> mesh, Ui& ui);
bool MirrorSimpleMeshCommand(HodModel& model, std::optional<std::size_t> mesh,
                             const MirrorOptions& options, Ui& ui);
bool RescaleHODCommand(HodModel& model, Ui& ui);
bool RotateHODCommand(HodModel& model, Ui& ui);

}  // namespace gantry
