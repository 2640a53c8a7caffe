#include "commands/gltf_models.h"

#include <fmt/format.h>

#include <map>
#include <optional>

#include "commands/create.h"
#include "commands/gltf_messages.h"
#include "commands/mesh_conversion.h"
#include "common/paths.h"
#include "common/safe_file.h"
#include "common/shared_text.h"
#include "interchange/gltf_export.h"
#include "interchange/gltf_import.h"
#include "interchange/text_rewrite.h"

namespace gantry {

namespace {

namespace text = gltf_command_messages;

const ScarMesh* ScarNamed(const HodModel& model, const std::string& name) {
  for (const ScarMesh& scar : model.ScarMeshes) {
    if (scar.Description.Name == name) return &scar;
  }
  return nullptr;
}

ScarMesh BuiltScar(const MultiMesh& mesh) {
  ScarMesh scar = NewScarMesh(mesh);
  // A level too big to join into one scar mesh keeps the empty one (the import reports sizes).
  if (!mesh.Lods.empty() && !ScarMeshFromLod(mesh.Lods.front(), scar)) BuildScarGrid(scar);
  return scar;
}

bool HasJoint(const HodModel& model, const std::string& name) {
  for (const Joint& joint : model.JointList.Joints) {
    if (joint.Name == name) return true;
  }
  return false;
}

}  // namespace

void CompleteScarMeshes(HodModel& model) {
  std::vector<ScarMesh> scars;
  scars.reserve(model.Meshes.size());
  for (const MultiMesh& mesh : model.Meshes) {
    const ScarMesh* found = ScarNamed(model, mesh.Name);
    scars.push_back(found ? *found : BuiltScar(mesh));
  }
  model.ScarMeshes = std::move(scars);
}

std::vector<std::string> ReplaceMeshesFrom(HodModel& base, const HodModel& imported) {
  std::vector<std::string> lines;
  std::map<std::int32_t, std::int32_t> texture_map, material_map;
  const auto texture_index = [&](std::int32_t index) -> std::int32_t {
    if (index < 0 || static_cast<std::size_t>(index) >= imported.Textures.size()) return index;
    if (const auto found = texture_map.find(index); found != texture_map.end())
      return found->second;
    const Texture& texture = imported.Textures[index];
    std::int32_t at = -1;
    for (std::size_t t = 0; t < base.Textures.size() && at < 0; ++t) {
      if (base.Textures[t].FileName == texture.FileName) at = static_cast<std::int32_t>(t);
    }
    if (at < 0) {
      base.Textures.push_back(texture);
      at = static_cast<std::int32_t>(base.Textures.size() - 1);
    }
    return texture_map[index] = at;
  };
  const auto material_index = [&](std::int32_t index) -> std::int32_t {
    if (index < 0 || static_cast<std::size_t>(index) >= imported.Materials.size()) return index;
    if (const auto found = material_map.find(index); found != material_map.end()) {
      return found->second;
    }
    const Material& material = imported.Materials[index];
    std::int32_t at = -1;
    for (std::size_t m = 0; m < base.Materials.size() && at < 0; ++m) {
      if (base.Materials[m].Name == material.Name) at = static_cast<std::int32_t>(m);
    }
    if (at < 0) {
      Material added = material;
      for (MaterialParameter& parameter : added.Parameters) {
        if (parameter.Type == kParameterTexture) {
          parameter.TextureIndex = texture_index(parameter.TextureIndex);
        }
      }
      base.Materials.push_back(std::move(added));
      at = static_cast<std::int32_t>(base.Materials.size() - 1);
    }
    return material_map[index] = at;
  };

  // A classic model pairs scar meshes with meshes by position, so every mesh gets one; a HOD 2.0
  // model pairs them by name and keeps meshes without (their save says which lose battle scars).
  const bool by_name = base.Dialect == HodDialect::Hod2;
  if (!by_name) CompleteScarMeshes(base);
  const auto set_scar = [&base](std::size_t mesh, ScarMesh scar) {
    if (const std::optional<std::size_t> at = ScarMeshOf(base, mesh)) {
      base.ScarMeshes[*at] = std::move(scar);
    } else {
      base.ScarMeshes.push_back(std::move(scar));
    }
  };
  for (const MultiMesh& source : imported.Meshes) {
    MultiMesh mesh = source;
    for (LodMesh& lod : mesh.Lods) {
      for (MeshPart& part : lod.Parts) part.MaterialIndex = material_index(part.MaterialIndex);
    }
    const ScarMesh* imported_scar = ScarNamed(imported, mesh.Name);
    std::optional<std::size_t> at;
    for (std::size_t m = 0; m < base.Meshes.size() && !at; ++m) {
      if (base.Meshes[m].Name == mesh.Name) at = m;
    }
    if (at) {
      // The mesh keeps hanging where it did when the import names a joint the base lacks.
      if (!HasJoint(base, mesh.ParentName)) mesh.ParentName = base.Meshes[*at].ParentName;
      base.Meshes[*at] = std::move(mesh);
      if (imported_scar) {
        set_scar(*at, *imported_scar);
      } else if (!by_name) {
        base.ScarMeshes[*at] = BuiltScar(base.Meshes[*at]);
      }
      lines.push_back(fmt::format(text::kReplaced, base.Meshes[*at].Name));
    } else {
      if (!HasJoint(base, mesh.ParentName) && !base.JointList.Joints.empty()) {
        mesh.ParentName = base.JointList.Joints.front().Name;
      }
      base.Meshes.push_back(std::move(mesh));
      if (imported_scar) {
        set_scar(base.Meshes.size() - 1, *imported_scar);
      } else if (!by_name) {
        base.ScarMeshes.push_back(BuiltScar(base.Meshes.back()));
      }
      lines.push_back(fmt::format(text::kAdded, base.Meshes.back().Name));
    }
  }
  return lines;
}

bool ExportGltfCommand(const Workspace& workspace, Ui& ui) {
  const std::optional<std::string> path = ui.SaveFile(text::kFilter, text::kExportTitle);
  if (!path || path->empty()) return false;
  std::string error;
  const auto bytes = ExportGltf(workspace.model, {.binary = IsGlbPath(*path)}, &error);
  if (!bytes) {
    ui.Message(fmt::format(text::kCannotExport, error), Icon::Exclamation);
    return false;
  }
  if (const auto failure = WriteFileSafely(*path, *bytes)) {
    ui.Message(fmt::format(text::kCannotWrite, *path, failure->description), Icon::Exclamation);
    return false;
  }
  return true;
}

CommandResult ImportGltfCommand(HodModel& model, Ui& ui) {
  const std::optional<std::string> path = ui.OpenFile(text::kFilter, text::kImportTitle);
  if (!path || path->empty()) return CommandResult::Unchanged();
  std::string error;
  const std::optional<std::string> bytes = ReadTextFile(*path, &error);
  if (!bytes) {
    ui.Message(fmt::format(text::kCannotRead, *path, error), Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  // Built in one piece: GCC 12 at -O3 misreads assigning "." to a string as an overlapping copy.
  const std::string folder = FolderOf(*path).empty() ? std::string(1, '.') : FolderOf(*path);
  auto imported = ImportGltf({reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()},
                             folder, &error);
  if (!imported) {
    ui.Message(fmt::format(text::kCannotImport, *path, error), Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  std::vector<std::string> lines = imported->notes;
  if (model.Meshes.empty()) {
    model = std::move(imported->model);
    if (!imported->from_gantry) CompleteScarMeshes(model);
  } else {
    for (std::string& line : ReplaceMeshesFrom(model, imported->model)) {
      lines.push_back(std::move(line));
    }
  }
  std::string summary;
  for (const std::string& line : lines) summary += line + shared_text::kLineBreak;
  if (!summary.empty()) ui.Message(summary, Icon::Information);
  return CommandResult::Changed();
}

}  // namespace gantry
