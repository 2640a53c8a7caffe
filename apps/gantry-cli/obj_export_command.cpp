// export-obj: meshes as OBJ files (one per level of detail) with the model's material library.
#include <fmt/format.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "commands.h"
#include "common/paths.h"
#include "hod/workspace.h"
#include "interchange/export_messages.h"
#include "interchange/obj_export.h"
#include "loaded_hod.h"

namespace gantry::cli {

int RunExportObj(const std::string& path, std::optional<int> mesh, bool reverse_uv,
                 const std::string& out_dir, bool salvage) {
  LoadedHod hod(path);
  if (!ReadForExport(hod, path, salvage)) return kExitUnreadable;
  const std::size_t count = hod.model.Meshes.size();
  if (mesh && (*mesh < 1 || static_cast<std::size_t>(*mesh) > count)) {
    fmt::print(stderr, "--mesh {}: {} has {} mesh(es), numbered from 1\n", *mesh, path, count);
    return kExitUsage;
  }

  Workspace workspace;
  workspace.model = std::move(hod.model);
  workspace.SetCurrentFile(path);
  workspace.log.set_file_path("");  // an export leaves no debug.log behind
  if (!out_dir.empty()) {
    std::error_code error;
    std::filesystem::create_directories(FileSystemPath(out_dir), error);
    if (error) {
      fmt::print(stderr, "Couldn't create the folder {}: {}\n", out_dir, error.message());
      return kExitUnreadable;
    }
    workspace.working_folder = out_dir;
  }

  CliUi ui;
  if (!WriteMaterialLibrary(workspace, ui)) return kExitUnreadable;
  std::vector<std::string> written;
  if (!workspace.model.Materials.empty()) {
    written.push_back(
        ExportPath(workspace, BaseName(workspace.current_file) + export_messages::kMtlExtension));
  }
  const std::size_t first = mesh ? static_cast<std::size_t>(*mesh - 1) : 0;
  const std::size_t end = mesh ? first + 1 : count;
  for (std::size_t i = first; i < end; ++i) {
    if (!WriteMultiMeshOBJ(workspace, i, reverse_uv, ui)) return kExitUnreadable;
    const MultiMesh& multi = workspace.model.Meshes[i];
    for (const LodMesh& lod : multi.Lods) {
      // A goblin's levels share one file.
      const std::string file =
          ExportPath(workspace, LodObjectName(multi, lod) + export_messages::kObjExtension);
      if (written.empty() || written.back() != file) written.push_back(file);
    }
  }
  for (const std::string& file : written) fmt::print("{}\n", file);
  return kExitOk;
}

}  // namespace gantry::cli
