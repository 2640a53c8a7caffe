#include "interchange/obj_export.h"

#include <fmt/format.h>

#include <cmath>
#include <cstdint>
#include <span>

#include "common/local_time.h"
#include "common/number_parse.h"
#include "common/number_text.h"
#include "common/paths.h"
#include "common/safe_file.h"
#include "interchange/export_messages.h"

namespace gantry {
namespace {

namespace msg = export_messages;
constexpr const char* kCrLf = msg::kLineBreak;

// Mask bits that only the OBJ writer reads: V apart from u, and the second UV pair.
constexpr std::int32_t kMaskV = 0x10;
constexpr std::int32_t kMaskSecondU = 0x20;
constexpr std::int32_t kMaskSecondV = 0x40;

// Reports at most about 256 steps, so large meshes do not flood the progress indicator.
class ProgressSteps {
 public:
  ProgressSteps(Ui& ui, std::int64_t total) : ui_(ui), total_(total), step_(total / 256 + 1) {}
  void Advance() {
    ++done_;
    if (done_ % step_ == 0 || done_ == total_) ui_.Progress(done_, total_);
  }

 private:
  Ui& ui_;
  std::int64_t total_;
  std::int64_t step_;
  std::int64_t done_ = 0;
};

// 1 minus the value the 7-digit text of v carries, so the flip matches what a reader sees.
std::string VText(float v, bool reverse) {
  if (!reverse) return NumberText(v);
  const float shown = static_cast<float>(LeadingNumber(NumberText(v)));
  return NumberText(1.0f - shown);
}

// p/t/n with t and n left empty when the part has no UV or no normal.
std::string Corner(std::int64_t number, bool uv, bool normal) {
  const std::string n = std::to_string(number);
  return n + "/" + (uv ? n : "") + "/" + (normal ? n : "");
}

std::int64_t FaceTriangles(const FaceList& list) {
  const auto n = static_cast<std::int64_t>(list.Indices.size());
  if (list.Type == kFaceListStrip) return n > 2 ? n - 2 : 0;
  return n / 3;
}

void AppendVertex(std::string& text, const MeshVertex& vertex, std::int32_t mask, bool reverse_v) {
  if (mask & kMaskPosition) {
    AppendText(text, kCrLf, msg::kVertex,
               XyzText(vertex.Position.x, vertex.Position.y, vertex.Position.z));
  }
  if (mask & kMaskColour) {
    const auto& c = vertex.Colour;
    AppendText(text, kCrLf, msg::kColour, fmt::format("{} {} {} {}", c[3], c[2], c[1], c[0]));
  }
  if (mask & kMaskNormal) {
    AppendText(text, kCrLf, msg::kNormal,
               XyzText(vertex.Normal.x, vertex.Normal.y, vertex.Normal.z));
  }
  if (mask & kMaskUV) AppendText(text, kCrLf, msg::kTexture, NumberText(vertex.UV.u));
  if (mask & kMaskV) AppendText(text, " ", VText(vertex.UV.v, reverse_v));
  // The model keeps no second UV pair: it reads as 0, as in meshes read from HOD files.
  if (mask & kMaskSecondU) AppendText(text, msg::kSecondUV, NumberText(0.0f));
  if (mask & kMaskSecondV) AppendText(text, " ", VText(0.0f, reverse_v));
  text += kCrLf;
}

void AppendFaceList(std::string& text, const FaceList& list, std::int64_t first, bool uv,
                    bool normal, ProgressSteps& progress) {
  // Indices address up to 65536 vertices, so they are read unsigned.
  const auto corner = [&](std::size_t at) {
    return Corner(static_cast<std::uint16_t>(list.Indices[at]) + first, uv, normal);
  };
  const auto triangle = [&](std::size_t a, std::size_t b, std::size_t c) {
    AppendText(text, kCrLf, msg::kFace, corner(a), " ", corner(b), " ", corner(c));
    progress.Advance();
  };
  const std::size_t n = list.Indices.size();
  if (list.Type == kFaceListStrip) {
    // Every other triangle of a strip turns the other way; the order keeps them facing alike.
    for (std::size_t i = 0; i + 2 < n; ++i) {
      if (i % 2 == 0) {
        triangle(i, i + 1, i + 2);
      } else {
        triangle(i + 2, i + 1, i);
      }
    }
    AppendText(text, kCrLf, msg::kCommentLead, std::to_string(static_cast<std::int64_t>(n) - 2),
               msg::kStrippedFaces, kCrLf);
  } else {
    for (std::size_t i = 0; i + 2 < n; i += 3) triangle(i, i + 1, i + 2);
    AppendText(text, kCrLf, msg::kCommentLead,
               std::to_string(std::lround(static_cast<double>(n) / 3.0)), msg::kListedFaces, kCrLf);
  }
}

bool ValidIndex(std::optional<std::size_t> selected, std::size_t size) {
  return selected && *selected < size;
}

}  // namespace

HeaderStamp StampOf(const std::tm& local) {
  return {fmt::format("{:04}-{:02}-{:02}", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
          fmt::format("{:02}:{:02}:{:02}", local.tm_hour, local.tm_min, local.tm_sec)};
}

HeaderStamp LocalStamp() { return StampOf(LocalTimeNow()); }

std::string XyzText(float x, float y, float z) {
  return NumberText(x) + " " + NumberText(y) + " " + NumberText(z);
}

std::string ObjCommentHeader(std::string_view source, const HeaderStamp& stamp) {
  std::string text;
  AppendText(text, msg::kConvertedFrom, source, msg::kConvertedFromClose, kCrLf);
  AppendText(text, msg::kCreatedBy, msg::kProgramTitle, kCrLf);
  AppendText(text, msg::kByVarnel, kCrLf, kCrLf);
  AppendText(text, msg::kDate, stamp.date, msg::kTime, stamp.time, kCrLf);
  AppendText(text, msg::kHeaderEnd, kCrLf, kCrLf);
  return text;
}

std::string ExportPath(const Workspace& workspace, std::string_view file_name) {
  // The name comes from the model: it must not leave the folder or name a device.
  return NativePath(JoinPath(workspace.working_folder, SafeFileName(file_name)));
}

bool WriteExportText(const std::string& path, std::string_view text, Ui& ui) {
  const auto failure = WriteFileSafely(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  if (!failure) return true;
  ui.Message(std::string(msg::kCouldntWrite) + path + kCrLf + failure->description, Icon::Critical);
  return false;
}

std::string MaterialLibraryText(const HodModel& model) {
  std::string text;
  for (const Material& material : model.Materials) {
    AppendText(text, msg::kNewMaterial, material.Name, kCrLf, msg::kIllumination, kCrLf);
    AppendText(text, msg::kDiffuse, kCrLf, msg::kAmbient, kCrLf, msg::kTransmission, kCrLf);
    AppendText(text, msg::kRefraction, kCrLf);
    // Only the first parameter is looked at, whatever its type.
    const std::int32_t texture =
        material.Parameters.empty() ? -1 : material.Parameters.front().TextureIndex;
    if (texture >= 0 && static_cast<std::size_t>(texture) < model.Textures.size()) {
      AppendText(text, msg::kDiffuseMap, BaseName(model.Textures[texture].FileName),
                 msg::kDdsExtension, kCrLf, kCrLf);
    } else {
      text += kCrLf;
    }
  }
  if (!text.empty()) text += kCrLf;
  return text;
}

bool WriteMaterialLibrary(const Workspace& workspace, Ui& ui) {
  const std::string text = MaterialLibraryText(workspace.model);
  if (text.empty()) return true;
  return WriteExportText(
      ExportPath(workspace, BaseName(workspace.current_file) + msg::kMtlExtension), text, ui);
}

std::string LodMeshObjText(const HodModel& model, std::string_view hod_path, const LodMesh& lod,
                           std::string_view object_name, bool reverse_v, const HeaderStamp& stamp,
                           Ui& ui) {
  ui.Status(msg::kWritingObj);
  std::string text;
  AppendText(text, msg::kConvertedFrom, hod_path, msg::kConvertedFromClose);
  AppendText(text, kCrLf, msg::kCreatedBy, msg::kProgramTitle);
  AppendText(text, kCrLf, msg::kByVarnel, kCrLf, kCrLf);
  AppendText(text, kCrLf, msg::kDate, stamp.date, msg::kTime, stamp.time);
  AppendText(text, kCrLf, msg::kHeaderEnd, kCrLf);
  AppendText(text, kCrLf, msg::kMaterialLibrary,
             SafeFileName(BaseName(hod_path) + msg::kMtlExtension), kCrLf, kCrLf);

  ui.Status(msg::kWritingVertices);
  std::int64_t vertex_total = 0;
  std::int64_t face_total = 0;
  for (const MeshPart& part : lod.Parts) {
    vertex_total += static_cast<std::int64_t>(part.Vertices.size());
    for (const FaceList& list : part.FaceLists) face_total += FaceTriangles(list);
  }
  ProgressSteps vertex_progress(ui, vertex_total);
  ProgressSteps face_progress(ui, face_total);

  std::int64_t first = 1;  // OBJ numbers vertices from 1 across all parts
  for (std::size_t k = 0; k < lod.Parts.size(); ++k) {
    const MeshPart& part = lod.Parts[k];
    AppendText(text, kCrLf, msg::kObject, object_name);
    AppendText(text, kCrLf, msg::kPartGroup, std::to_string(k + 1));
    if (part.MaterialIndex >= 0 &&
        static_cast<std::size_t>(part.MaterialIndex) < model.Materials.size()) {
      AppendText(text, kCrLf, msg::kUseMaterial, model.Materials[part.MaterialIndex].Name, kCrLf);
    }
    for (const MeshVertex& vertex : part.Vertices) {
      AppendVertex(text, vertex, part.VertexMask, reverse_v);
      vertex_progress.Advance();
    }
    AppendText(text, kCrLf, msg::kCommentLead, std::to_string(part.Vertices.size()), msg::kVertices,
               kCrLf);
    const bool uv = (part.VertexMask & (kMaskUV | kMaskV)) != 0;
    const bool normal = (part.VertexMask & kMaskNormal) != 0;
    for (const FaceList& list : part.FaceLists) {
      AppendFaceList(text, list, first, uv, normal, face_progress);
    }
    first += static_cast<std::int64_t>(part.Vertices.size());
  }
  AppendText(text, kCrLf, msg::kEnd, kCrLf);
  ui.Status(msg::kReady);
  return text;
}

bool WriteLodMeshOBJ(const Workspace& workspace, const LodMesh& lod, std::string_view object_name,
                     bool reverse_v, Ui& ui, const StampClock& clock) {
  const std::string text = LodMeshObjText(workspace.model, workspace.current_file, lod, object_name,
                                          reverse_v, clock(), ui);
  return WriteExportText(ExportPath(workspace, std::string(object_name) + msg::kObjExtension), text,
                         ui);
}

std::string LodObjectName(const MultiMesh& mesh, const LodMesh& lod) {
  if (IsGoblin(mesh)) return mesh.Name + msg::kGoblinSuffix;
  return mesh.Name + msg::kLodSuffix + std::to_string(lod.LodLevel);
}

bool WriteMultiMeshOBJ(const Workspace& workspace, std::size_t mesh, bool reverse_v, Ui& ui,
                       const StampClock& clock) {
  if (mesh >= workspace.model.Meshes.size()) return true;
  const MultiMesh& multi = workspace.model.Meshes[mesh];
  for (const LodMesh& lod : multi.Lods) {
    if (!WriteLodMeshOBJ(workspace, lod, LodObjectName(multi, lod), reverse_v, ui, clock)) {
      return false;
    }
  }
  return true;
}

bool ExportMultiMeshOBJ(Workspace& workspace, std::size_t mesh, Ui& ui, const StampClock& clock) {
  if (mesh >= workspace.model.Meshes.size()) return true;
  const bool reverse_v = ui.Message(msg::kReverseUV, Icon::Question, Buttons::YesNo) == Answer::Yes;
  const bool written = WriteMaterialLibrary(workspace, ui) &&
                       WriteMultiMeshOBJ(workspace, mesh, reverse_v, ui, clock);
  if (written) {
    workspace.log.Log(msg::kMeshWritten + std::to_string(mesh + 1) + msg::kSuccessfullyCompleted);
  }
  ui.Status(msg::kReady);
  return written;
}

bool ExportGeometryAll(Workspace& workspace, Ui& ui, const StampClock& clock) {
  for (std::size_t i = 0; i < workspace.model.Meshes.size(); ++i) {
    // One failure would repeat for every mesh: stop at the first.
    if (!ExportMultiMeshOBJ(workspace, i, ui, clock)) return false;
  }
  return true;
}

bool ExportGeometrySelected(Workspace& workspace, std::optional<std::size_t> selected, Ui& ui,
                            const StampClock& clock) {
  if (!ValidIndex(selected, workspace.model.Meshes.size())) return true;
  return ExportMultiMeshOBJ(workspace, *selected, ui, clock);
}

std::string SimpleMeshObjectName(const SimpleMesh& mesh, bool wireframe) {
  return mesh.Name.empty() && wireframe ? std::string(msg::kWireMesh) : mesh.Name;
}

std::string SimpleMeshObjText(std::string_view hod_path, const SimpleMesh& mesh, bool wireframe,
                              const HeaderStamp& stamp, Ui& ui) {
  ui.Status(msg::kWritingObj);
  const std::string name = SimpleMeshObjectName(mesh, wireframe);
  std::string text = ObjCommentHeader(hod_path, stamp);
  AppendText(text, msg::kObject, name, kCrLf, msg::kGroup, name, kCrLf);

  ui.Status(msg::kWritingVertices);
  const auto vertex_count = static_cast<std::int64_t>(mesh.Vertices.size());
  const auto index_count = static_cast<std::int64_t>(mesh.Indices.size());
  ProgressSteps vertex_progress(ui, vertex_count);
  for (const SimpleVertex& v : mesh.Vertices) {
    AppendText(text, msg::kVertex, XyzText(v.Position.x, v.Position.y, v.Position.z), kCrLf);
    AppendText(text, msg::kNormal, XyzText(v.Normal.x, v.Normal.y, v.Normal.z), kCrLf);
    AppendText(text, msg::kTexture, NumberText(v.UV.u), " ", NumberText(v.UV.v), kCrLf);
    vertex_progress.Advance();
  }
  AppendText(text, kCrLf, msg::kCommentLead, std::to_string(vertex_count), msg::kVertices, kCrLf);

  if (wireframe) {
    // A wireframe's vertices pair up into edges; the index list is not used.
    ProgressSteps face_progress(ui, vertex_count / 2);
    for (std::int64_t i = 1; i <= vertex_count - 1; i += 2) {
      AppendText(text, kCrLf, msg::kFace, Corner(i, true, true), " ", Corner(i + 1, true, true),
                 " ");
      face_progress.Advance();
    }
  } else {
    ProgressSteps face_progress(ui, index_count / 3);
    for (std::int64_t i = 0; i + 2 < index_count; i += 3) {
      const auto corner = [&](std::int64_t at) {
        return Corner(static_cast<std::int64_t>(mesh.Indices[at]) + 1, true, true);
      };
      AppendText(text, kCrLf, msg::kFace, corner(i), " ", corner(i + 1), " ", corner(i + 2));
      face_progress.Advance();
    }
  }
  AppendText(text, kCrLf, msg::kCommentLead, NumberText(static_cast<double>(index_count) / 3.0),
             msg::kListedFaces, kCrLf);
  AppendText(text, msg::kEnd, kCrLf);
  ui.Status(msg::kReady);
  return text;
}

bool WriteSimpleMeshOBJ(Workspace& workspace, const SimpleMesh& mesh, bool wireframe, Ui& ui,
                        const StampClock& clock) {
  const std::string name = SimpleMeshObjectName(mesh, wireframe);
  const std::string text = SimpleMeshObjText(workspace.current_file, mesh, wireframe, clock(), ui);
  if (!WriteExportText(ExportPath(workspace, name + msg::kObjExtension), text, ui)) return false;
  workspace.log.Log(msg::kSuccess);
  workspace.log.Log(msg::kDone);
  workspace.log.Log(msg::kObjectWritten + name + msg::kSuccessfullyCompleted);
  return true;
}

bool ExportSimpleMeshOBJ(Workspace& workspace, std::optional<std::size_t> selected, Ui& ui,
                         const StampClock& clock) {
  if (!ValidIndex(selected, workspace.model.SimpleMeshes.size())) return true;
  const bool wireframe = workspace.model.HodName.TypeName == kWireframeMeshTypeName;
  return WriteSimpleMeshOBJ(workspace, workspace.model.SimpleMeshes[*selected], wireframe, ui,
                            clock);
}

bool ExportEngineGlowOBJ(const Workspace& workspace, std::optional<std::size_t> selected, Ui& ui,
                         const StampClock& clock) {
  if (!ValidIndex(selected, workspace.model.EngineGlows.size())) return true;
  const EngineGlow& glow = workspace.model.EngineGlows[*selected];
  return WriteLodMeshOBJ(workspace, glow.Mesh, glow.Name + msg::kGlowSuffix, true, ui, clock);
}

bool ExportGeneratedMeshes(const Workspace& workspace, const std::vector<LodMesh>& meshes, Ui& ui,
                           const StampClock& clock) {
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    const std::string name = msg::kGeneratedMesh + std::to_string(i + 1);
    if (!WriteLodMeshOBJ(workspace, meshes[i], name, true, ui, clock)) return false;
  }
  return true;
}

}  // namespace gantry
