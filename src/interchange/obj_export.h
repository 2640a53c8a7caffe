// Meshes written as Wavefront OBJ text: the model's material library (MTL), one level of detail
// per OBJ file (multi-meshes, goblins, engine glows, background meshes) and simple or wireframe
// meshes. Automatically named files go to the working folder (the current folder while it is
// empty) and replace a file of the same name; lines end in CR LF.
//
// Writers return false when a file could not be written; the reason has then been shown through
// the Ui and the old file, if any, is untouched.
#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ui.h"
#include "hod/model.h"
#include "hod/workspace.h"

namespace gantry {

// The date and time texts of the comment header ("2024-05-31", "14:03:09").
struct HeaderStamp {
  std::string date;
  std::string time;
};
using StampClock = std::function<HeaderStamp()>;
HeaderStamp StampOf(const std::tm& local);
HeaderStamp LocalStamp();

// The comment lines that open simple-mesh, element and boundary-vertex files; `source` is the
// HOD path (or base name) the file was made from.
std::string ObjCommentHeader(std::string_view source, const HeaderStamp& stamp);
// Text assembly shared by the exporters: pieces appended in order, and "x y z".
template <typename... Pieces>
void AppendText(std::string& out, const Pieces&... pieces) {
  (out.append(pieces), ...);
}
std::string XyzText(float x, float y, float z);

// WORKING + name, as a path the disk understands.
std::string ExportPath(const Workspace& workspace, std::string_view file_name);
// Writes `text` through a temporary file; a failure is shown with the critical icon.
bool WriteExportText(const std::string& path, std::string_view text, Ui& ui);

// The MTL text, or empty when the model has no materials.
std::string MaterialLibraryText(const HodModel& model);
// WORKING + HODBASE + ".mtl"; with no materials nothing is written.
bool WriteMaterialLibrary(const Workspace& workspace, Ui& ui);

// One level of detail as OBJ text; `ui` sees the status texts and progress.
std::string LodMeshObjText(const HodModel& model, std::string_view hod_path, const LodMesh& lod,
                           std::string_view object_name, bool reverse_v, const HeaderStamp& stamp,
                           Ui& ui);
// WORKING + object name + ".obj".
bool WriteLodMeshOBJ(const Workspace& workspace, const LodMesh& lod, std::string_view object_name,
                     bool reverse_v, Ui& ui, const StampClock& clock = LocalStamp);

// Name + "_LOD" + level for a mesh, Name + "_GOBG" for a goblin (all its levels share the file).
std::string LodObjectName(const MultiMesh& mesh, const LodMesh& lod);
// Every level of mesh `mesh` (0-based), without the question and the material library.
bool WriteMultiMeshOBJ(const Workspace& workspace, std::size_t mesh, bool reverse_v, Ui& ui,
                       const StampClock& clock = LocalStamp);
// The geometry tab's export: asks "Reverse UV?", writes the material library and every level.
bool ExportMultiMeshOBJ(Workspace& workspace, std::size_t mesh, Ui& ui,
                        const StampClock& clock = LocalStamp);
// The main window's geometry exports; no selection (or an invalid one) writes nothing.
bool ExportGeometryAll(Workspace& workspace, Ui& ui, const StampClock& clock = LocalStamp);
bool ExportGeometrySelected(Workspace& workspace, std::optional<std::size_t> selected, Ui& ui,
                            const StampClock& clock = LocalStamp);

// The object name: the mesh's name, or "WIRE_Mesh" for an unnamed wireframe mesh.
std::string SimpleMeshObjectName(const SimpleMesh& mesh, bool wireframe);
std::string SimpleMeshObjText(std::string_view hod_path, const SimpleMesh& mesh, bool wireframe,
                              const HeaderStamp& stamp, Ui& ui);
bool WriteSimpleMeshOBJ(Workspace& workspace, const SimpleMesh& mesh, bool wireframe, Ui& ui,
                        const StampClock& clock = LocalStamp);
// The simple-mesh tab's export: wireframe when the model's NAME text says so.
bool ExportSimpleMeshOBJ(Workspace& workspace, std::optional<std::size_t> selected, Ui& ui,
                         const StampClock& clock = LocalStamp);

// The glow tab's export: glow name + "_GLOW", V always reversed.
bool ExportEngineGlowOBJ(const Workspace& workspace, std::optional<std::size_t> selected, Ui& ui,
                         const StampClock& clock = LocalStamp);
// Meshes made by the background texture generator: "BGMS Generated BMSH " + number from 1.
bool ExportGeneratedMeshes(const Workspace& workspace, const std::vector<LodMesh>& meshes, Ui& ui,
                           const StampClock& clock = LocalStamp);

}  // namespace gantry
