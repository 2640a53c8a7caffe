// export-gltf and import-gltf: a whole model to and from one glTF 2.0 file.
#include <fmt/format.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli_ui.h"
#include "commands.h"
#include "commands/gltf_models.h"
#include "common/paths.h"
#include "common/safe_file.h"
#include "hod/save.h"
#include "hod/workspace.h"
#include "interchange/gltf_export.h"
#include "interchange/gltf_import.h"
#include "interchange/text_rewrite.h"
#include "loaded_hod.h"

namespace gantry::cli {

int RunExportGltf(const std::string& path, const std::string& out, bool all_lods, bool salvage) {
  LoadedHod hod(path);
  if (!ReadForExport(hod, path, salvage)) return kExitUnreadable;
  GltfExportOptions options;
  options.binary = IsGlbPath(out);
  options.all_lods = all_lods;
  std::string error;
  const auto bytes = ExportGltf(hod.model, options, &error);
  if (!bytes) {
    fmt::print(stderr, "cannot export {}: {}\n", path, error);
    return kExitUnreadable;
  }
  if (const auto failure = WriteFileSafely(out, *bytes)) {
    fmt::print(stderr, "cannot write {}: {}\n", out, failure->description);
    return kExitUnreadable;
  }
  fmt::print("{}\n", out);
  return kExitOk;
}

int RunImportGltf(const std::string& path, const std::string& out,
                  const std::optional<std::string>& base) {
  std::string error;
  const auto bytes = ReadTextFile(path, &error);
  if (!bytes) {
    fmt::print(stderr, "cannot read {}: {}\n", path, error);
    return kExitUnreadable;
  }
  std::string folder = FolderOf(path);
  if (folder.empty()) folder = ".";
  auto imported = ImportGltf({reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()},
                             folder, &error);
  if (!imported) {
    fmt::print(stderr, "cannot import {}: {}; nothing was written\n", path, error);
    return kExitUnreadable;
  }
  for (const std::string& note : imported->notes) fmt::print("{}\n", note);
  Workspace workspace;
  if (base) {
    LoadedHod base_hod(*base);
    if (!base_hod.outcome.completed) {
      fmt::print(stderr, "{} did not read to its end; nothing was written\n", *base);
      return kExitUnreadable;
    }
    workspace.model = std::move(base_hod.model);
    for (const std::string& line : ReplaceMeshesFrom(workspace.model, imported->model)) {
      fmt::print("{}\n", line);
    }
  } else {
    workspace.model = std::move(imported->model);
    if (!imported->from_gantry) CompleteScarMeshes(workspace.model);
  }
  CliUi ui;
  return SaveExitCode(SaveHod(workspace, out, ui));
}

}  // namespace gantry::cli
