// Element OBJ exports: collision meshes, battle-scar reference meshes, engine shapes and engine
// burns as small OBJ files in the working folder, and background meshes through the
// level-of-detail writer. The tab commands take the list's selection; without one (or with an
// index past the list) they write nothing. All return false when a file could not be written.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/ui.h"
#include "hod/model.h"
#include "hod/workspace.h"
#include "interchange/obj_export.h"

namespace gantry {

// File texts. Collision and scar files name the HOD by its base name, engine files by its path.
std::string CollisionMeshObjText(const CollisionMesh& mesh, std::string_view hod_base,
                                 const HeaderStamp& stamp);
std::string ScarMeshObjText(const ScarMesh& mesh, std::string_view hod_base,
                            const HeaderStamp& stamp);
std::string EngineShapeObjText(const EngineShape& shape, std::string_view hod_path,
                               const HeaderStamp& stamp);
std::string EngineBurnObjText(const EngineBurn& burn, std::string_view hod_path,
                              const HeaderStamp& stamp);

// Tab commands: joint + "_COLD.obj", scar mesh's name + "_BSRM.obj", name + "_ETSH.obj",
// name + "_BURN.obj", "BGMS Part " + number from 1 + ".obj" (V reversed).
bool ExportCollisionMeshOBJ(const Workspace& workspace, std::optional<std::size_t> selected, Ui& ui,
                            const StampClock& clock = LocalStamp);
bool ExportScarMeshOBJ(const Workspace& workspace, std::optional<std::size_t> selected, Ui& ui,
                       const StampClock& clock = LocalStamp);
bool ExportEngineShapeOBJ(const Workspace& workspace, std::optional<std::size_t> selected, Ui& ui,
                          const StampClock& clock = LocalStamp);
bool ExportEngineBurnOBJ(const Workspace& workspace, std::optional<std::size_t> selected, Ui& ui,
                         const StampClock& clock = LocalStamp);
bool ExportBackgroundMeshOBJ(const Workspace& workspace, std::optional<std::size_t> selected,
                             Ui& ui, const StampClock& clock = LocalStamp);

// The main window's "All" exports: every element in list order, stopping at the first failure.
// Its "Selected" exports are the tab commands above.
bool ExportCollisionMeshesAll(const Workspace& workspace, Ui& ui,
                              const StampClock& clock = LocalStamp);
bool ExportScarMeshesAll(const Workspace& workspace, Ui& ui, const StampClock& clock = LocalStamp);
bool ExportBackgroundMeshesAll(const Workspace& workspace, Ui& ui,
                               const StampClock& clock = LocalStamp);

}  // namespace gantry
