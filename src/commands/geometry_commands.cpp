#include "commands/geometry_commands.h"

#include "commands/create.h"
#include "commands/element_messages.h"
#include "commands/mesh_conversion.h"

namespace gantry {

namespace {

using namespace element_messages;

constexpr Tag kGoblinID = "GOBG";
constexpr Tag kMeshID = "MULT";
constexpr std::int32_t kGoblinVersion = 1000;
constexpr std::int32_t kMeshVersion = 1400;

}  // namespace

std::vector<std::string> LodListEntries(const MultiMesh& mesh) {
  if (mesh.Lods.empty()) return {kNoLods};
  std::vector<std::string> entries;
  entries.reserve(mesh.Lods.size());
  const bool goblin = IsGoblin(mesh);
  for (const LodMesh& lod : mesh.Lods) {
    entries.push_back(goblin ? kGoblinEntry + std::to_string(std::int64_t{lod.LodLevel} + 1)
                             : kLodEntry + std::to_string(lod.LodLevel));
  }
  return entries;
}

GoblinSwitchResult SetGoblin(HodModel& model, std::optional<std::size_t> selected, bool checked,
                             Ui& ui) {
  const std::optional<std::size_t> index = SelectionIn(selected, model.Meshes.size());
  if (!index) {
    ui.Message(kSelectGeometry, Icon::Exclamation);
    return {};
  }
  MultiMesh& mesh = model.Meshes[*index];
  if (mesh.LodCount == 0 || mesh.Lods.empty()) return {};
  if (checked && mesh.Lods.size() >= 2) {
    ui.Message(kGoblinWithLods, Icon::Exclamation);
    return {CommandResult::Unchanged(), true};
  }

  mesh.ID = checked ? kGoblinID : kMeshID;
  mesh.Version = checked ? kGoblinVersion : kMeshVersion;
  mesh.Lods.front().LodLevel = 0;
  // A goblin's scar level is 0.
  if (const std::optional<std::size_t> scar = ScarMeshOf(model, *index)) {
    model.ScarMeshes[*scar].Description.LodLevel = checked ? 0 : 1;
  }
  return {CommandResult::Changed(*index), false};
}

CommandResult ReassignMaterials(HodModel& model, std::optional<std::size_t> selected_mesh,
                                std::optional<std::size_t> selected_lod, Ui& ui) {
  const std::optional<std::size_t> mesh = SelectionIn(selected_mesh, model.Meshes.size());
  if (!mesh) return CommandResult::Unchanged();
  std::vector<LodMesh>& lods = model.Meshes[*mesh].Lods;
  const std::optional<std::size_t> lod = SelectionIn(selected_lod, lods.size());
  if (!lod) return CommandResult::Unchanged();

  std::vector<std::string> names;
  names.reserve(model.Materials.size());
  for (const Material& material : model.Materials) names.push_back(material.Name);

  bool changed = false;
  for (MeshPart& part : lods[*lod].Parts) {
    const std::int32_t current = part.MaterialIndex;
    const bool known = current >= 0 && static_cast<std::size_t>(current) < names.size();
    const std::string name = known ? names[static_cast<std::size_t>(current)] : kUnknownMaterial;
    const int chosen = ui.ChooseMaterial(kChooseMaterialLead + name + kChooseMaterialTail, names);
    if (chosen < 0 || chosen == current) continue;
    part.MaterialIndex = chosen;
    changed = true;
  }
  return changed ? CommandResult::Changed() : CommandResult::Unchanged();
}

}  // namespace gantry
