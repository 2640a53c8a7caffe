#include "interchange/element_export.h"

#include <algorithm>
#include <cstdint>

#include "common/paths.h"
#include "interchange/export_messages.h"

namespace gantry {
namespace {

namespace msg = export_messages;
constexpr const char* kCrLf = msg::kLineBreak;

void AppendPoints(std::string& text, const std::vector<Vector3>& points) {
  for (const Vector3& p : points) AppendText(text, msg::kVertex, XyzText(p.x, p.y, p.z), kCrLf);
}

// Model indices count from 0, OBJ numbers from 1; the lists hold unsigned 16-bit numbers.
std::string ObjNumber(std::int16_t index) {
  return std::to_string(static_cast<std::uint16_t>(index) + 1);
}

// Runs `write` on the selected element of `list`; no selection writes nothing.
template <typename Element, typename Write>
bool ForSelected(const std::vector<Element>& list, std::optional<std::size_t> selected,
                 Write write) {
  if (!selected || *selected >= list.size()) return true;
  return write(*selected, list[*selected]);
}

template <typename Export>
bool ForAll(std::size_t count, Export export_one) {
  for (std::size_t i = 0; i < count; ++i) {
    if (!export_one(std::optional<std::size_t>(i))) return false;
  }
  return true;
}

}  // namespace

std::string CollisionMeshObjText(const CollisionMesh& mesh, std::string_view hod_base,
                                 const HeaderStamp& stamp) {
  std::string text = ObjCommentHeader(hod_base, stamp);
  AppendText(text, msg::kCollisionFor, mesh.ParentName, kCrLf);
  AppendText(text, msg::kGroup, mesh.ParentName, msg::kCollisionSuffix, kCrLf);
  AppendPoints(text, mesh.Triangles.Vertices);
  const auto& indices = mesh.Triangles.Indices;
  for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
    AppendText(text, msg::kFace, ObjNumber(indices[i]), msg::kNoTexture, " ",
               ObjNumber(indices[i + 1]), msg::kNoTexture, " ", ObjNumber(indices[i + 2]),
               msg::kNoTexture, kCrLf);
  }
  return text;
}

std::string ScarMeshObjText(const ScarMesh& mesh, std::string_view hod_base,
                            const HeaderStamp& stamp) {
  const std::string& name = mesh.Description.Name;
  std::string text = ObjCommentHeader(hod_base, stamp);
  AppendText(text, msg::kObject, name, kCrLf, msg::kGroup, name, kCrLf);
  AppendPoints(text, mesh.Triangles.Vertices);
  for (const Vector3& n : mesh.Normals.Vertices) {
    AppendText(text, msg::kNormal, XyzText(n.x, n.y, n.z), kCrLf);
  }
  const auto& positions = mesh.Triangles.Indices;
  const auto& normals = mesh.Normals.Indices;
  const std::size_t count = std::min(positions.size(), normals.size());
  const auto corner = [&](std::size_t at) {
    return ObjNumber(positions[at]) + msg::kNoTexture + ObjNumber(normals[at]);
  };
  for (std::size_t i = 0; i + 2 < count; i += 3) {
    AppendText(text, msg::kFace, corner(i), " ", corner(i + 1), " ", corner(i + 2), kCrLf);
  }
  return text;
}

std::string EngineShapeObjText(const EngineShape& shape, std::string_view hod_path,
                               const HeaderStamp& stamp) {
  std::string text = ObjCommentHeader(hod_path, stamp);
  AppendText(text, msg::kEngineShape, shape.Name, kCrLf);
  std::size_t number = 0;  // continues across outlines
  for (const ShapeOutline& outline : shape.Outlines) {
    AppendPoints(text, outline.Vertices);
    text += msg::kFaceKeyword;
    for (std::size_t i = 0; i < outline.Vertices.size(); ++i) {
      AppendText(text, " ", std::to_string(++number));
    }
    text += kCrLf;
  }
  text += kCrLf;  // engine files are written as one text, which ends in one more line break
  return text;
}

std::string EngineBurnObjText(const EngineBurn& burn, std::string_view hod_path,
                              const HeaderStamp& stamp) {
  std::string text = ObjCommentHeader(hod_path, stamp);
  AppendText(text, msg::kEngineBurn, burn.Name, kCrLf);
  AppendPoints(text, burn.Vertices);
  text += kCrLf;
  return text;
}

bool ExportCollisionMeshOBJ(const Workspace& workspace, std::optional<std::size_t> selected, Ui& ui,
                            const StampClock& clock) {
  return ForSelected(
      workspace.model.CollisionMeshes, selected, [&](std::size_t, const CollisionMesh& mesh) {
        return WriteExportText(
            ExportPath(workspace, mesh.ParentName + msg::kCollisionSuffix + msg::kObjExtension),
            CollisionMeshObjText(mesh, BaseName(workspace.current_file), clock()), ui);
      });
}

bool ExportScarMeshOBJ(const Workspace& workspace, std::optional<std::size_t> selected, Ui& ui,
                       const StampClock& clock) {
  return ForSelected(workspace.model.ScarMeshes, selected, [&](std::size_t, const ScarMesh& mesh) {
    return WriteExportText(
        ExportPath(workspace, mesh.Description.Name + msg::kScarSuffix + msg::kObjExtension),
        ScarMeshObjText(mesh, BaseName(workspace.current_file), clock()), ui);
  });
}

bool ExportEngineShapeOBJ(const Workspace& workspace, std::optional<std::size_t> selected, Ui& ui,
                          const StampClock& clock) {
  return ForSelected(
      workspace.model.EngineShapes, selected, [&](std::size_t, const EngineShape& shape) {
        return WriteExportText(
            ExportPath(workspace, shape.Name + msg::kEngineShapeSuffix + msg::kObjExtension),
            EngineShapeObjText(shape, workspace.current_file, clock()), ui);
      });
}

bool ExportEngineBurnOBJ(const Workspace& workspace, std::optional<std::size_t> selected, Ui& ui,
                         const StampClock& clock) {
  return ForSelected(
      workspace.model.EngineBurns, selected, [&](std::size_t, const EngineBurn& burn) {
        return WriteExportText(
            ExportPath(workspace, burn.Name + msg::kEngineBurnSuffix + msg::kObjExtension),
            EngineBurnObjText(burn, workspace.current_file, clock()), ui);
      });
}

bool ExportBackgroundMeshOBJ(const Workspace& workspace, std::optional<std::size_t> selected,
                             Ui& ui, const StampClock& clock) {
  return ForSelected(workspace.model.BackgroundMeshSet.Meshes, selected,
                     [&](std::size_t index, const LodMesh& mesh) {
                       const std::string name = msg::kBackgroundPart + std::to_string(index + 1);
                       return WriteLodMeshOBJ(workspace, mesh, name, true, ui, clock);
                     });
}

bool ExportCollisionMeshesAll(const Workspace& workspace, Ui& ui, const StampClock& clock) {
  return ForAll(workspace.model.CollisionMeshes.size(), [&](std::optional<std::size_t> i) {
    return ExportCollisionMeshOBJ(workspace, i, ui, clock);
  });
}

bool ExportScarMeshesAll(const Workspace& workspace, Ui& ui, const StampClock& clock) {
  return ForAll(workspace.model.ScarMeshes.size(), [&](std::optional<std::size_t> i) {
    return ExportScarMeshOBJ(workspace, i, ui, clock);
  });
}

bool ExportBackgroundMeshesAll(const Workspace& workspace, Ui& ui, const StampClock& clock) {
  return ForAll(workspace.model.BackgroundMeshSet.Meshes.size(), [&](std::optional<std::size_t> i) {
    return ExportBackgroundMeshOBJ(workspace, i, ui, clock);
  });
}

}  // namespace gantry
