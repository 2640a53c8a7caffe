#include "commands/replace_commands.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "commands/bounding_volumes.h"
#include "commands/create.h"
#include "commands/mesh_conversion.h"
#include "common/paths.h"
#include "hod/reader_limits.h"
#include "interchange/obj_import.h"
#include "interchange/obj_messages.h"

namespace gantry {

namespace {

namespace text = obj_messages;

enum class Merge { Ask, Always, Never };

struct Caller {
  ObjImportOptions options;  // MergeVertices follows `merge`
  Merge merge;
};

constexpr Caller kLodCaller{{.SubstituteMaterials = true,
                             .AskReverseUVs = true,
                             .AskMergeThresholds = true,
                             .ReadFaces = true},
                            Merge::Ask};
constexpr Caller kBackgroundCaller{
    {.AskReverseUVs = true, .AskMergeThresholds = true, .ReadFaces = true}, Merge::Ask};
constexpr Caller kScarCaller{{.AskMergeThresholds = true, .ReadFaces = true}, Merge::Ask};
constexpr Caller kGlowCaller{{.AskMergeThresholds = true, .ReadFaces = true}, Merge::Ask};
constexpr Caller kCollisionCaller{
    {.AskMergeThresholds = true, .IgnoreNormals = true, .IgnoreUVs = true, .ReadFaces = true},
    Merge::Ask};
constexpr Caller kShapeCaller{{.AskMergeThresholds = true, .ReadFaces = true}, Merge::Always};
constexpr Caller kSimpleCaller{{.AskMergeThresholds = true, .ReadFaces = true}, Merge::Never};

constexpr std::int32_t kGlowMask = kMaskPosition | kMaskNormal | kMaskUV;
// The reader counts an engine shape's bytes and an outline's vertices in 16-bit signed counters.

std::vector<std::string> MaterialNames(const HodModel& model) {
  std::vector<std::string> names;
  names.reserve(model.Materials.size());
  for (const Material& material : model.Materials) names.push_back(material.Name);
  return names;
}

// The chosen file, or nullopt when the dialog was cancelled or the file was empty (and deleted).
std::optional<std::string> ChooseObjFile(Ui& ui) {
  std::optional<std::string> path = ui.OpenFile(text::kObjFilter, "");
  if (!path || path->empty()) return std::nullopt;
  const std::filesystem::path native = FileSystemPath(*path);
  std::error_code error;
  if (std::filesystem::is_regular_file(native, error) &&
      std::filesystem::file_size(native, error) == 0 && !error) {
    std::filesystem::remove(native, error);
    return std::nullopt;
  }
  return path;
}

// The steps every mesh Replace shares once its target is known: file, status, merge question,
// import.
std::optional<LodMesh> ImportForReplace(const HodModel& model, const Caller& caller,
                                        std::int32_t lod_level, Ui& ui) {
  const std::optional<std::string> path = ChooseObjFile(ui);
  if (!path) return std::nullopt;
  ui.Status(text::kConverting);
  ObjImportOptions options = caller.options;
  switch (caller.merge) {
    case Merge::Ask:
      options.MergeVertices =
          ui.Message(text::kMergeVertices, Icon::Question, Buttons::YesNo) == Answer::Yes;
      break;
    case Merge::Always:
      options.MergeVertices = true;
      break;
    case Merge::Never:
      options.MergeVertices = false;
      break;
  }
  ObjImportContext context;
  context.lod_level = lod_level;
  if (options.SubstituteMaterials) context.material_names = MaterialNames(model);
  std::optional<LodMesh> mesh = ImportOBJMesh(*path, options, context, ui);
  ui.Status(text::kReady);
  return mesh;
}

// The selected entry of a list, or nullopt after the refusal.
std::optional<std::size_t> Selected(std::optional<std::size_t> selected, std::size_t size, Ui& ui) {
  const std::optional<std::size_t> index = SelectionIn(selected, size);
  if (!index) ui.Message(text::kSelectObject, Icon::Exclamation);
  return index;
}

// Refusals of the level-of-detail Replace; true when the level may be replaced.
bool LodReplaceable(const HodModel& model, std::optional<std::size_t> mesh,
                    std::optional<std::size_t> lod, Ui& ui) {
  if (!SelectionIn(mesh, model.Meshes.size()) || !lod) {
    ui.Message(text::kSelectMeshAndLod, Icon::Exclamation);
    return false;
  }
  const std::vector<LodMesh>& lods = model.Meshes[*mesh].Lods;
  if (lods.empty()) {
    ui.Message(text::kNoLodsToReplace, Icon::Exclamation);
    return false;
  }
  if (*lod >= lods.size()) {
    ui.Message(text::kSelectMeshAndLod, Icon::Exclamation);
    return false;
  }
  if (model.Materials.empty()) {
    ui.Message(text::kNoMaterials, Icon::Exclamation);
    return false;
  }
  return true;
}

void PutLod(HodModel& model, std::size_t mesh, std::size_t lod, LodMesh imported) {
  model.Meshes[mesh].Lods[lod] = std::move(imported);
  if (const std::optional<std::size_t> scar = ScarMeshOf(model, mesh)) {
    CalculateScarBox(model, *scar);
    CalculateScarSphere(model, *scar);
  }
}

// What the reader counts of the shape: its name and parent with their lengths, then every
// outline's vertex count and vertices.
std::int64_t ShapeBytes(const EngineShape& shape) {
  std::int64_t bytes = 4 + static_cast<std::int64_t>(shape.Name.size()) + 4 +
                       static_cast<std::int64_t>(shape.ParentName.size());
  for (const ShapeOutline& outline : shape.Outlines) {
    bytes += 4 + 12 * static_cast<std::int64_t>(outline.Vertices.size());
  }
  return bytes;
}

}  // namespace

std::optional<std::string> PutEngineShapeOutlines(const LodMesh& mesh, EngineShape& shape) {
  EngineShape built = shape;
  built.Outlines.clear();
  EngineShapeFromMesh(mesh, built);
  const std::int64_t bytes = ShapeBytes(built);
  const bool outlines_fit =
      std::all_of(built.Outlines.begin(), built.Outlines.end(), [](const ShapeOutline& outline) {
        return static_cast<std::int64_t>(outline.Vertices.size()) <= kMaxShortCount;
      });
  if (bytes > kMaxShortCount || !outlines_fit) {
    return text::kShapeTooLargeLead + std::to_string(bytes) + text::kShapeTooLargeTail +
           text::kLineBreak + text::kNothingImported;
  }
  shape.Outlines = std::move(built.Outlines);
  return std::nullopt;
}

CommandResult ReplaceLod(HodModel& model, std::optional<std::size_t> mesh,
                         std::optional<std::size_t> lod, Ui& ui) {
  if (!LodReplaceable(model, mesh, lod, ui)) return CommandResult::Unchanged();
  std::optional<LodMesh> imported =
      ImportForReplace(model, kLodCaller, static_cast<std::int32_t>(*lod), ui);
  if (!imported) return CommandResult::Unchanged();
  PutLod(model, *mesh, *lod, std::move(*imported));
  return CommandResult::Changed(*lod);
}

bool ReplaceLodWithObjText(HodModel& model, std::size_t mesh, std::size_t lod,
                           std::string_view obj_text, Ui& ui, bool reverse_v) {
  if (!LodReplaceable(model, mesh, lod, ui)) return false;
  ObjImportOptions options = kLodCaller.options;
  options.MergeVertices = true;
  options.AskReverseUVs = reverse_v;  // nobody is asked: this is the answer
  ObjImportContext context;
  context.material_names = MaterialNames(model);
  context.lod_level = static_cast<std::int32_t>(lod);
  context.batch = true;
  std::optional<LodMesh> imported = ImportOBJMeshText(obj_text, options, context, ui);
  if (!imported) return false;
  PutLod(model, mesh, lod, std::move(*imported));
  return true;
}

CommandResult ReplaceBackgroundMesh(HodModel& model, std::optional<std::size_t> selected, Ui& ui) {
  std::vector<LodMesh>& meshes = model.BackgroundMeshSet.Meshes;
  const std::optional<std::size_t> index = Selected(selected, meshes.size(), ui);
  if (!index) return CommandResult::Unchanged();
  std::optional<LodMesh> imported = ImportForReplace(model, kBackgroundCaller, 0, ui);
  if (!imported) return CommandResult::Unchanged();
  meshes[*index] = std::move(*imported);
  return CommandResult::Changed(*index);
}

CommandResult ReplaceScarMesh(HodModel& model, std::optional<std::size_t> selected, Ui& ui) {
  const std::optional<std::size_t> index = Selected(selected, model.ScarMeshes.size(), ui);
  if (!index) return CommandResult::Unchanged();
  const std::optional<LodMesh> imported = ImportForReplace(model, kScarCaller, 0, ui);
  if (!imported) return CommandResult::Unchanged();
  ScarMesh& scar = model.ScarMeshes[*index];
  if (const auto refusal = ScarMeshFromLod(*imported, scar)) {
    ui.Message(*refusal, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  BuildScarGrid(scar);
  return CommandResult::Changed(*index);
}

CommandResult ReplaceEngineGlow(HodModel& model, std::optional<std::size_t> selected, Ui& ui) {
  const std::optional<std::size_t> index = Selected(selected, model.EngineGlows.size(), ui);
  if (!index) return CommandResult::Unchanged();
  std::optional<LodMesh> imported = ImportForReplace(model, kGlowCaller, 0, ui);
  if (!imported) return CommandResult::Unchanged();
  EngineGlow& glow = model.EngineGlows[*index];
  glow.Mesh = std::move(*imported);
  glow.Mesh.LodLevel = glow.LodLevel;
  for (MeshPart& part : glow.Mesh.Parts) part.VertexMask = kGlowMask;
  return CommandResult::Changed(*index);
}

CommandResult ReplaceCollisionMesh(HodModel& model, std::optional<std::size_t> selected, Ui& ui) {
  const std::optional<std::size_t> index = Selected(selected, model.CollisionMeshes.size(), ui);
  if (!index) return CommandResult::Unchanged();
  const std::optional<LodMesh> imported = ImportForReplace(model, kCollisionCaller, 0, ui);
  if (!imported) return CommandResult::Unchanged();
  if (const auto refusal = CollisionMeshFromMesh(*imported, model.CollisionMeshes[*index])) {
    ui.Message(*refusal, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  CalculateCollisionBox(model, *index);
  CalculateCollisionSphere(model, *index);
  return CommandResult::Changed(*index);
}

CommandResult ReplaceEngineShape(HodModel& model, std::optional<std::size_t> selected, Ui& ui) {
  const std::optional<std::size_t> index = Selected(selected, model.EngineShapes.size(), ui);
  if (!index) return CommandResult::Unchanged();
  const std::optional<LodMesh> imported = ImportForReplace(model, kShapeCaller, 0, ui);
  if (!imported) return CommandResult::Unchanged();
  if (const auto refusal = PutEngineShapeOutlines(*imported, model.EngineShapes[*index])) {
    ui.Message(*refusal, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  return CommandResult::Changed(*index);
}

CommandResult ReplaceSimpleMesh(HodModel& model, std::optional<std::size_t> selected, Ui& ui) {
  const std::optional<std::size_t> index = Selected(selected, model.SimpleMeshes.size(), ui);
  if (!index) return CommandResult::Unchanged();
  const std::optional<LodMesh> imported = ImportForReplace(model, kSimpleCaller, 0, ui);
  if (!imported) return CommandResult::Unchanged();
  const bool wireframe = TypeOf(model) == HodType::WireframeMesh;
  if (!SimpleMeshFromMesh(*imported, model.SimpleMeshes[*index], wireframe, ui)) {
    return CommandResult::Unchanged();
  }
  return CommandResult::Changed(*index);
}

CommandResult ReplaceEngineBurnPoints(HodModel& model, std::optional<std::size_t> selected,
                                      Ui& ui) {
  const std::optional<std::size_t> index = Selected(selected, model.EngineBurns.size(), ui);
  if (!index) return CommandResult::Unchanged();
  const std::optional<std::string> path = ChooseObjFile(ui);
  if (!path || !ReadOBJPoints(*path, model.EngineBurns[*index], ui)) {
    return CommandResult::Unchanged();
  }
  return CommandResult::Changed(*index);
}

}  // namespace gantry
