#include "hod/save.h"

#include <fmt/format.h>

#include <algorithm>
#include <cfloat>

#include "common/paths.h"
#include "common/safe_file.h"
#include "hod/hod2_writer.h"
#include "hod/hod_writer.h"
#include "hod/validate_messages.h"

namespace gantry {

std::string SaveErrorText(int number, const std::string& description,
                          const std::string& information) {
  return fmt::format(
      "Error Occured!\r\n\tError Number: {}\r\n\tError Description: {}\r\n\tError Source: "
      "{}\r\n\tError Information: '{}'\r\n Continue?",
      number, description, messages::kProgramTitle, information);
}

namespace {

const ScarMesh* FindScar(const HodModel& m, const std::string& name) {
  for (const ScarMesh& scar : m.ScarMeshes) {
    if (scar.Description.Name == name) return &scar;
  }
  return nullptr;
}

// A scar mesh for `mesh` from its level 0, named after it.
bool BuildScar(const MultiMesh& mesh, const SaveOptions& options, ScarMesh& scar) {
  if (!options.build_scar || mesh.Lods.empty() || !options.build_scar(mesh.Lods[0], scar)) {
    return false;
  }
  ScarDescription& d = scar.Description;
  d.Name = mesh.Name;
  d.NameLength = static_cast<std::int32_t>(d.Name.size());
  d.ParentName = mesh.ParentName;
  d.ParentLength = static_cast<std::int32_t>(d.ParentName.size());
  d.LodLevel = 1;
  return true;
}

std::string Names(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "\"" : ", \"") + name + "\"";
  return text;
}

// A classic file lists a scar mesh for every mesh, in mesh order, and the box of its boundary
// vertices; a model of the later dialect has neither for every mesh. Built here from level 0,
// and said so.
void CompleteForClassic(HodModel& m, const SaveOptions& options, std::vector<std::string>& notes) {
  std::vector<ScarMesh> scars;
  std::vector<std::string> built, missing;
  for (const MultiMesh& mesh : m.Meshes) {
    if (const ScarMesh* scar = FindScar(m, mesh.Name)) {
      scars.push_back(*scar);
      continue;
    }
    ScarMesh scar;
    scar.Kind = "FORM";
    scar.ID = "BSRM";
    const auto part = [](ScarPartHeader& header, const char* tag) {
      header = {"NRML", 0, tag, 1000};
    };
    part(scar.DescriptionHeader, "DESC");
    part(scar.BoxHeader, "BBOX");
    part(scar.SphereHeader, "BSPH");
    part(scar.TrianglesHeader, "TRIS");
    part(scar.NormalsHeader, "VNRM");
    part(scar.GridHeader, "SSUB");
    if (BuildScar(mesh, options, scar)) {
      scars.push_back(std::move(scar));
      built.push_back(mesh.Name);
    } else {
      missing.push_back(mesh.Name);
    }
  }
  m.ScarMeshes = std::move(scars);
  if (!built.empty()) {
    notes.push_back(
        fmt::format("battle-scar meshes (BSRM) built from level 0 for {}", Names(built)));
  }
  if (!missing.empty()) {
    notes.push_back(fmt::format("no battle-scar mesh (BSRM) for {}", Names(missing)));
  }

  if (!m.BoundaryVertices.Vertices.empty()) return;
  Vector3 low{FLT_MAX, FLT_MAX, FLT_MAX}, high{-FLT_MAX, -FLT_MAX, -FLT_MAX};
  bool any = false;
  for (const MultiMesh& mesh : m.Meshes) {
    if (mesh.Lods.empty()) continue;
    for (const MeshPart& part : mesh.Lods[0].Parts) {
      for (const MeshVertex& v : part.Vertices) {
        low = {std::min(low.x, v.Position.x), std::min(low.y, v.Position.y),
               std::min(low.z, v.Position.z)};
        high = {std::max(high.x, v.Position.x), std::max(high.y, v.Position.y),
                std::max(high.z, v.Position.z)};
        any = true;
      }
    }
  }
  if (!any) return;
  std::vector<Vector3>& corners = m.BoundaryVertices.Vertices;
  for (int i = 0; i < 8; ++i) {
    corners.push_back({i & 1 ? high.x : low.x, i & 2 ? high.y : low.y, i & 4 ? high.z : low.z});
  }
  m.BoundaryVertices.VertexCount = 8;
  notes.push_back("boundary vertices (BNDV): the box of the meshes' level 0");
}

// Uncompressed textures become DXT on the way to HOD 2.0, whose known files hold nothing else.
void CompressTextures(HodModel& m, const SaveOptions& options, std::vector<std::string>& notes) {
  if (!options.compress_texture) return;
  std::vector<std::string> compressed;
  for (Texture& texture : m.Textures) {
    if (texture.Format != Tag("8888")) continue;
    if (options.compress_texture(texture)) compressed.push_back(texture.FileName);
  }
  if (!compressed.empty()) {
    notes.push_back(fmt::format("textures {} are compressed to DXT", Names(compressed)));
  }
}

// Scar meshes rebuilt from level 0 for every mesh whose scar mesh no longer holds.
void RebuildScars(HodModel& m, const SaveOptions& options) {
  for (const MultiMesh& mesh : m.Meshes) {
    if (IsGoblin(mesh)) continue;
    auto it = std::find_if(m.ScarMeshes.begin(), m.ScarMeshes.end(),
                           [&](const ScarMesh& s) { return s.Description.Name == mesh.Name; });
    if (it != m.ScarMeshes.end() && ScarStillHolds(m, *it, mesh)) continue;
    ScarMesh scar = it != m.ScarMeshes.end() ? *it : ScarMesh{};
    if (!BuildScar(mesh, options, scar)) continue;
    if (it != m.ScarMeshes.end()) {
      *it = std::move(scar);
    } else {
      m.ScarMeshes.push_back(std::move(scar));
    }
  }
}

}  // namespace

SaveResult SaveHod(Workspace& workspace, const std::string& path, Ui& ui,
                   const ValidationContext& context, const SaveOptions& options) {
  HodModel& model = workspace.model;
  if (!ValidateHod(model, ui, context).valid) {
    ui.Message(messages::kCantWrite, Icon::Exclamation);
    return SaveResult::Invalid;
  }
  const HodDialect target = options.dialect.value_or(model.Dialect);
  const bool converting = target != model.Dialect;
  if (target == HodDialect::Hod2) {
    const std::vector<std::string> reasons = Hod2WriteBlockers(model);
    if (!reasons.empty()) {
      ui.Message(Hod2RefusalText(reasons), Icon::Exclamation);
      return SaveResult::Invalid;
    }
  }

  // What is written: the model itself for a classic save of a classic model (whose lengths the
  // save brings up to date) and for a HOD 2.0 save that changes nothing in it (the writer
  // prepares its own copy), a prepared copy otherwise.
  HodModel copy;
  const HodModel* hod2_source = &model;
  std::vector<std::string> losses;
  std::vector<std::string> notes;
  if (target == HodDialect::Hod2) {
    if (converting || options.rebuild_scars) {
      copy = model;
      if (converting) CompressTextures(copy, options, notes);
      if (options.rebuild_scars) RebuildScars(copy, options);
      hod2_source = &copy;
    }
    losses = Hod2Losses(*hod2_source, {.rebuilt_scars = options.rebuild_scars});
  } else if (model.Dialect == HodDialect::Hod2) {
    copy = model;
    losses = ClassicLosses(copy);
    CompleteForClassic(copy, options, notes);
  }
  losses.insert(losses.end(), notes.begin(), notes.end());
  if (converting && options.ask_before_converting) {
    if (ui.Ask(ConvertQuestionText(target, losses), Icon::Question, Buttons::YesNo, Answer::No) !=
        Answer::Yes) {
      return SaveResult::Cancelled;
    }
  } else if (!losses.empty()) {
    ui.Message(target == HodDialect::Hod2 ? Hod2LossText(losses) : ClassicLossText(losses),
               Icon::Exclamation);
  }

  const auto fail = [&](int number, const std::string& description, const char* step) {
    const Answer answer =
        ui.Message(SaveErrorText(number, description, step + path), Icon::Critical, Buttons::YesNo);
    return answer == Answer::No ? SaveResult::Quit : SaveResult::Failed;
  };

  std::string error;
  std::vector<std::uint8_t> bytes;
  const bool own_classic = target == HodDialect::Classic && model.Dialect == HodDialect::Classic;
  HodModel& written = own_classic ? model : copy;
  const bool encoded =
      target == HodDialect::Hod2
          ? EncodeHod2(*hod2_source, bytes, &error, {.rebuilt_scars = options.rebuild_scars})
          : ComputeLengths(written, &error) && WriteHod(written, bytes, &error);
  if (!encoded) {
    return fail(0, error, messages::kCouldntWrite);
  }

  const auto size = static_cast<std::int64_t>(bytes.size());
  ui.Status("Writing file...");
  ui.Progress(0, size);
  const auto failure = WriteFileSafely(NativePath(path), bytes);
  ui.Progress(size, size);
  ui.Status("Ready");
  if (failure) {
    const char* step = failure->step == FileWriteFailure::Step::Open    ? messages::kCouldntOpen
                       : failure->step == FileWriteFailure::Step::Write ? messages::kCouldntWrite
                                                                        : messages::kCouldntRemove;
    return fail(failure->code, failure->description, step);
  }
  // A converted classic model keeps what was completed for it: later saves are classic too.
  if (target == HodDialect::Classic && !own_classic) {
    model.ScarMeshes = std::move(copy.ScarMeshes);
    model.BoundaryVertices = std::move(copy.BoundaryVertices);
  }
  model.Dialect = target;
  workspace.SetCurrentFile(path);
  return SaveResult::Saved;
}

}  // namespace gantry
