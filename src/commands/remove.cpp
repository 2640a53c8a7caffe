#include "commands/remove.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "commands/create.h"
#include "commands/element_messages.h"
#include "commands/mesh_conversion.h"

namespace gantry {

namespace {

using namespace element_messages;

std::string Number(std::size_t zero_based) { return std::to_string(zero_based + 1); }

template <typename List>
std::int32_t CountOf(const List& list) {
  return static_cast<std::int32_t>(list.size());
}

// The entry at the removed position, or the new last one; none when the list became empty.
std::optional<std::size_t> AfterRemoval(std::size_t removed, std::size_t size) {
  if (size == 0) return std::nullopt;
  return std::min(removed, size - 1);
}

// Moves every element after k one place to the front (`moved(from, to)` after each move), then
// drops the last one. `log` is null for the families whose removal is not logged.
template <typename T, typename Moved>
void RemoveAt(std::vector<T>& list, std::size_t k, DebugLog* log, Moved moved) {
  for (std::size_t i = k; i + 1 < list.size(); ++i) {
    list[i] = std::move(list[i + 1]);
    moved(i + 1, i);
  }
  if (log != nullptr) log->Log(kRemovingLastForm);
  list.pop_back();
}

template <typename T>
void RemoveAt(std::vector<T>& list, std::size_t k, DebugLog* log) {
  RemoveAt(list, k, log, [](std::size_t, std::size_t) {});
}

// Removal of the selected element; `refusal` is shown when nothing is selected (none: quiet).
template <typename T>
CommandResult RemoveSelected(std::vector<T>& list, std::optional<std::size_t> selected,
                             DebugLog* log, Ui* ui, const char* refusal) {
  const std::optional<std::size_t> k = SelectionIn(selected, list.size());
  if (!k) {
    if (ui != nullptr) ui->Message(refusal, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  RemoveAt(list, *k, log);
  return CommandResult::Changed(AfterRemoval(*k, list.size()));
}

template <typename T>
CommandResult RemoveObject(Workspace& workspace, std::vector<T>& list,
                           std::optional<std::size_t> selected, Ui& ui) {
  return RemoveSelected(list, selected, &workspace.log, &ui, kSelectObject);
}

template <typename T>
CommandResult Duplicate(HodModel& model, std::vector<T>& list, std::optional<std::size_t> selected,
                        CommandResult (*add)(HodModel&), Ui& ui) {
  const std::optional<std::size_t> k = SelectionIn(selected, list.size());
  if (!k) {
    ui.Message(kSelectObject, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  const std::optional<std::string> name = ui.Input(kEnterUniqueName, "");
  if (!name || name->empty()) return CommandResult::Unchanged();
  add(model);
  T& copy = list.back();
  copy = list[*k];
  copy.Name = *name;
  copy.NameLength = static_cast<std::int32_t>(name->size());
  return CommandResult::Changed(list.size() - 1);
}

// A star of a star field or an element of a background segment.
template <typename Group, typename Entry>
CommandResult RemoveStarFrom(std::vector<Group>& groups, std::vector<Entry> Group::*entries,
                             std::int32_t Group::*count, std::optional<std::size_t> group,
                             std::optional<std::size_t> star, DebugLog& log, Ui& ui) {
  const std::optional<std::size_t> g = SelectionIn(group, groups.size());
  const std::optional<std::size_t> s =
      g ? SelectionIn(star, (groups[*g].*entries).size()) : std::nullopt;
  if (!s) {
    ui.Message(kSelectObject, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  std::vector<Entry>& list = groups[*g].*entries;
  RemoveAt(list, *s, &log);
  groups[*g].*count = CountOf(list);
  return CommandResult::Changed(AfterRemoval(*s, list.size()));
}

}  // namespace

CommandResult RemoveTexture(Workspace& workspace, std::optional<std::size_t> texture, Ui& ui) {
  std::vector<Texture>& textures = workspace.model.Textures;
  const std::optional<std::size_t> k = SelectionIn(texture, textures.size());
  if (!k) {
    ui.Message(kSelectTexture, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  DebugLog& log = workspace.log;
  RemoveAt(textures, *k, &log, [&](std::size_t from, std::size_t to) {
    log.Log(kMovingTexture + Number(from) + kToTexture + Number(to) + kEllipsis);
    for (std::size_t level = 0; level < textures[to].MipLevels.size(); ++level) {
      log.Log(kMovingMip + Number(level));
    }
  });
  return CommandResult::Changed(AfterRemoval(*k, textures.size()));
}

CommandResult RemoveMesh(Workspace& workspace, std::optional<std::size_t> mesh, Ui& ui) {
  HodModel& model = workspace.model;
  const std::optional<std::size_t> k = SelectionIn(mesh, model.Meshes.size());
  if (!k) {
    ui.Message(kSelectGeometry, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  // The mesh's own scar mesh goes with it: the one at its position in a classic model (so the
  // pairs still match by position), the one of its name in a HOD 2.0 model.
  const std::optional<std::size_t> scar = ScarMeshOf(model, *k);
  DebugLog& log = workspace.log;
  RemoveAt(model.Meshes, *k, &log, [&log](std::size_t from, std::size_t to) {
    log.Log(kMovedMesh + Number(from) + kToMesh + Number(to));
  });
  if (scar) RemoveAt(model.ScarMeshes, *scar, nullptr);
  return CommandResult::Changed(AfterRemoval(*k, model.Meshes.size()));
}

CommandResult MoveMesh(Workspace& workspace, std::optional<std::size_t> mesh, MeshMove direction,
                       Ui& ui) {
  HodModel& model = workspace.model;
  const std::size_t n = model.Meshes.size();
  const std::optional<std::size_t> k = SelectionIn(mesh, n);
  if (!k) {
    ui.Message(kSelectGeometry, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  if ((direction == MeshMove::Up && *k == 0) || (direction == MeshMove::Down && *k + 1 == n)) {
    return CommandResult::Unchanged();
  }
  const std::size_t other = direction == MeshMove::Up ? *k - 1 : *k + 1;
  // The swap goes through a temporary element after the last, one logged copy per step.
  const auto moved = [&workspace](std::size_t from, std::size_t to) {
    workspace.log.Log(kMovedMesh + Number(from) + kToMesh + Number(to));
  };
  moved(*k, n);
  moved(other, *k);
  moved(n, other);
  // Scar meshes follow when both meshes have one, so the scar list keeps the meshes' order.
  const std::optional<std::size_t> scar = ScarMeshOf(model, *k);
  const std::optional<std::size_t> other_scar = ScarMeshOf(model, other);
  std::swap(model.Meshes[*k], model.Meshes[other]);
  if (scar && other_scar) std::swap(model.ScarMeshes[*scar], model.ScarMeshes[*other_scar]);
  return CommandResult::Changed(other);
}

CommandResult RemoveLod(Workspace& workspace, std::optional<std::size_t> mesh,
                        std::optional<std::size_t> lod, Ui& ui) {
  HodModel& model = workspace.model;
  const std::optional<std::size_t> m = SelectionIn(mesh, model.Meshes.size());
  if (m && model.Meshes[*m].Lods.empty()) {
    ui.Message(kNoLodsToRemove, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  const std::optional<std::size_t> k =
      m ? SelectionIn(lod, model.Meshes[*m].Lods.size()) : std::nullopt;
  if (!k) {
    ui.Message(kSelectLodToRemove, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  MultiMesh& target = model.Meshes[*m];
  DebugLog& log = workspace.log;
  RemoveAt(target.Lods, *k, &log, [&](std::size_t from, std::size_t to) {
    // Keeps the level numbers consecutive from 0.
    std::int32_t& level = target.Lods[to].LodLevel;
    level = static_cast<std::int32_t>(std::abs(std::int64_t{level} - 1));
    log.Log(kMovingMesh + Number(*m) + kLodFrom + Number(from) + kLodTo + Number(to));
  });
  target.LodCount = CountOf(target.Lods);
  return CommandResult::Changed(AfterRemoval(*k, target.Lods.size()));
}

CommandResult RemoveEngineShape(Workspace& workspace, std::optional<std::size_t> shape, Ui& ui) {
  return RemoveObject(workspace, workspace.model.EngineShapes, shape, ui);
}

CommandResult RemoveEngineGlow(Workspace& workspace, std::optional<std::size_t> glow, Ui& ui) {
  return RemoveObject(workspace, workspace.model.EngineGlows, glow, ui);
}

CommandResult RemoveEngineBurn(Workspace& workspace, std::optional<std::size_t> burn, Ui& ui) {
  return RemoveObject(workspace, workspace.model.EngineBurns, burn, ui);
}

CommandResult RemoveMarker(Workspace& workspace, std::optional<std::size_t> marker, Ui& ui) {
  return RemoveObject(workspace, workspace.model.Markers, marker, ui);
}

CommandResult RemoveDockPath(Workspace& workspace, std::optional<std::size_t> path, Ui& ui) {
  DockPathListRecord& list = workspace.model.DockPathList;
  const CommandResult result = RemoveObject(workspace, list.Paths, path, ui);
  list.PathCount = CountOf(list.Paths);
  return result;
}

CommandResult RemoveLight(Workspace& workspace, std::optional<std::size_t> light, Ui& ui) {
  LightListRecord& list = workspace.model.LightList;
  const CommandResult result = RemoveObject(workspace, list.Lights, light, ui);
  list.LightCount = CountOf(list.Lights);
  return result;
}

CommandResult RemoveSimpleMesh(Workspace& workspace, std::optional<std::size_t> mesh, Ui& ui) {
  return RemoveObject(workspace, workspace.model.SimpleMeshes, mesh, ui);
}

CommandResult RemoveCollisionMesh(Workspace& workspace, std::optional<std::size_t> mesh) {
  return RemoveSelected(workspace.model.CollisionMeshes, mesh, &workspace.log, nullptr, nullptr);
}

CommandResult RemoveNavLight(Workspace& workspace, std::optional<std::size_t> light) {
  NavLightListRecord& list = workspace.model.NavLightList;
  const CommandResult result =
      RemoveSelected(list.NavLights, light, &workspace.log, nullptr, nullptr);
  list.NavLightCount = CountOf(list.NavLights);
  return result;
}

CommandResult RemoveBackgroundMesh(HodModel& model, std::optional<std::size_t> mesh) {
  return RemoveSelected(model.BackgroundMeshSet.Meshes, mesh, nullptr, nullptr, nullptr);
}

CommandResult RemoveStarGroup(HodModel& model, StarGroupFamily family,
                              std::optional<std::size_t> group) {
  return family == StarGroupFamily::StarFields
             ? RemoveSelected(model.StarFields, group, nullptr, nullptr, nullptr)
             : RemoveSelected(model.BackgroundSegments, group, nullptr, nullptr, nullptr);
}

CommandResult RemoveStar(Workspace& workspace, StarGroupFamily family,
                         std::optional<std::size_t> group, std::optional<std::size_t> star,
                         Ui& ui) {
  HodModel& model = workspace.model;
  return family == StarGroupFamily::StarFields
             ? RemoveStarFrom(model.StarFields, &StarField::Stars, &StarField::StarCount, group,
                              star, workspace.log, ui)
             : RemoveStarFrom(model.BackgroundSegments, &BackgroundSegment::Elements,
                              &BackgroundSegment::ElementCount, group, star, workspace.log, ui);
}

CommandResult ResetScarGrid(HodModel& model, std::optional<std::size_t> scar, Ui& ui) {
  const std::optional<std::size_t> k = SelectionIn(scar, model.ScarMeshes.size());
  if (!k) {
    ui.Message(kSelectObject, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  ScarGrid& grid = model.ScarMeshes[*k].Grid;
  grid = ScarGrid{};
  grid.SizeX = grid.SizeY = grid.SizeZ = 1;
  grid.Cells.resize(1);
  return CommandResult::Changed(*k);
}

CommandResult DuplicateEngineShape(HodModel& model, std::optional<std::size_t> shape, Ui& ui) {
  return Duplicate(model, model.EngineShapes, shape, AddEngineShape, ui);
}

CommandResult DuplicateEngineGlow(HodModel& model, std::optional<std::size_t> glow, Ui& ui) {
  return Duplicate(model, model.EngineGlows, glow, AddEngineGlow, ui);
}

CommandResult DuplicateEngineBurn(HodModel& model, std::optional<std::size_t> burn, Ui& ui) {
  return Duplicate(model, model.EngineBurns, burn, AddEngineBurn, ui);
}

CommandResult DuplicateLight(HodModel& model, std::optional<std::size_t> light, Ui& ui) {
  std::vector<Light>& lights = model.LightList.Lights;
  const std::optional<std::size_t> k = SelectionIn(light, lights.size());
  if (!k) {
    ui.Message(kSelectObject, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  std::string name;
  for (;;) {
    const std::optional<std::string> answer = ui.Input(kEnterUniqueName, "");
    if (!answer || answer->empty()) return CommandResult::Unchanged();
    const bool taken = std::any_of(lights.begin(), lights.end(),
                                   [&answer](const Light& l) { return l.Name == *answer; });
    if (!taken) {
      name = *answer;
      break;
    }
    // Either button asks again; only an empty answer ends the command.
    ui.Message(kNameExistsLead + *answer + kNameExistsTail + kLineBreak + kEnterAnotherName,
               Icon::Exclamation, Buttons::OkCancel);
  }
  AddLight(model);
  Light& copy = lights.back();
  copy = lights[*k];
  copy.Name = name;
  copy.NameLength = static_cast<std::int32_t>(name.size());
  return CommandResult::Changed(lights.size() - 1);
}

}  // namespace gantry
