// import-obj: replaces one level of detail with an OBJ mesh, asking nothing, then validates and
// saves like `save`. The OBJ file is only read, never rewritten.
#include <fmt/format.h>

#include <cstddef>
#include <optional>
#include <string>

#include "cli_ui.h"
#include "commands.h"
#include "commands/replace_commands.h"
#include "interchange/text_rewrite.h"

namespace gantry::cli {

namespace {

// 1-based `number` names one of `count` entries.
bool Names(int number, std::size_t count) {
  return number >= 1 && static_cast<std::size_t>(number) <= count;
}

}  // namespace

int RunImportObj(const std::string& in, const std::string& obj, int mesh, int lod,
                 const std::string& out, bool reverse_v) {
  std::string error;
  const std::optional<std::string> text = ReadTextFile(obj, &error);
  if (!text) {
    fmt::print(stderr, "cannot read {}: {}\n", obj, error);
    return kExitUnreadable;
  }
  int refusal = kExitOk;
  const int status = RunSave(in, out, false, [&](HodModel& model) {
    if (!Names(mesh, model.Meshes.size())) {
      fmt::print(stderr, "{} has no mesh {} (it has {})\n", in, mesh, model.Meshes.size());
      refusal = kExitUsage;
      return false;
    }
    const std::size_t m = static_cast<std::size_t>(mesh) - 1;
    if (!Names(lod, model.Meshes[m].Lods.size())) {
      fmt::print(stderr, "mesh {} has no level of detail {} (it has {})\n", mesh, lod,
                 model.Meshes[m].Lods.size());
      refusal = kExitUsage;
      return false;
    }
    const std::size_t l = static_cast<std::size_t>(lod) - 1;
    CliUi ui;
    if (!ReplaceLodWithObjText(model, m, l, *text, ui, reverse_v)) return false;
    std::size_t vertices = 0, indices = 0;
    const LodMesh& level = model.Meshes[m].Lods[l];
    for (const MeshPart& part : level.Parts) {
      vertices += part.Vertices.size();
      for (const FaceList& list : part.FaceLists) indices += list.Indices.size();
    }
    fmt::print("mesh {} level {}: {} part(s), {} vertices, {} triangles\n", mesh, lod,
               level.Parts.size(), vertices, indices / 3);
    return true;
  });
  return refusal != kExitOk ? refusal : status;
}

}  // namespace gantry::cli
