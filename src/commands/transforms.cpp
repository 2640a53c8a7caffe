#include "commands/transforms.h"

#include <cmath>

#include "commands/bounding_volumes.h"
#include "commands/mesh_conversion.h"
#include "commands/messages.h"
#include "common/prompts.h"
#include "geometry/rotations.h"

namespace gantry {

namespace {

namespace text = editing_messages;

Vector3 Xyz(const Vector4& v) { return {v.x, v.y, v.z}; }

void SetXyz(Vector4& v, const Vector3& xyz) {
  v.x = xyz.x;
  v.y = xyz.y;
  v.z = xyz.z;
}

template <typename Vec>
void Offset(Vec& v, const Vector3& offset) {
  v.x += offset.x;
  v.y += offset.y;
  v.z += offset.z;
}

template <typename Vec>
void Multiply(Vec& v, const Vector3& factors) {
  v.x *= factors.x;
  v.y *= factors.y;
  v.z *= factors.z;
}

// Markers keep their positions in double precision; scaling them must not round them.
void Multiply(std::array<double, 3>& v, const Vector3& factors) {
  v[0] *= factors.x;
  v[1] *= factors.y;
  v[2] *= factors.z;
}

template <typename Vec>
void Mirror(Vec& v, const MirrorOptions& options) {
  if (options.x) v.x = -v.x;
  if (options.y) v.y = -v.y;
  if (options.z) v.z = -v.z;
}

void Rotate(Vector3& v, const Vector3& angles) { v = RotateVector(v, angles); }
void Rotate(Vector4& v, const Vector3& angles) { SetXyz(v, RotateVector(Xyz(v), angles)); }
// The rotation works in single precision, so a rotated marker takes the rounded result.
void Rotate(std::array<double, 3>& v, const Vector3& angles) {
  const Vector3 p = RotateVector(
      {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])}, angles);
  v = {p.x, p.y, p.z};
}

// The first three values of a background element or a star are its position.
template <std::size_t N>
Vector3 Xyz(const std::array<float, N>& values) {
  return {values[0], values[1], values[2]};
}
template <std::size_t N>
void SetXyz(std::array<float, N>& values, const Vector3& xyz) {
  values[0] = xyz.x;
  values[1] = xyz.y;
  values[2] = xyz.z;
}

template <typename F>
void ForEachVertex(LodMesh& lod, F f) {
  for (MeshPart& part : lod.Parts) {
    for (MeshVertex& vertex : part.Vertices) f(vertex);
  }
}

template <typename F>
void ForEachVertex(MultiMesh& mesh, F f) {
  for (LodMesh& lod : mesh.Lods) ForEachVertex(lod, f);
}

// Every point of the model that has a place in space, in the order the whole-model commands
// visit them; `f` takes a Vector3, a Vector4 (whose w it leaves alone) or a marker's
// double-precision position. Joints come in only when asked for. Simple-mesh positions come out
// with w = 1, as both commands want them.
template <typename F>
void ForEachPosition(HodModel& model, bool joints, F f) {
  for (LodMesh& lod : model.BackgroundMeshSet.Meshes) {
    ForEachVertex(lod, [&](MeshVertex& v) { f(v.Position); });
  }
  for (BackgroundSegment& segment : model.BackgroundSegments) {
    for (BackgroundElement& element : segment.Elements) {
      Vector3 p = Xyz(element);
      f(p);
      SetXyz(element, p);
    }
  }
  for (Vector3& v : model.BoundaryVertices.Vertices) f(v);
  for (ScarMesh& scar : model.ScarMeshes) {
    for (Vector3& v : scar.Triangles.Vertices) f(v);
  }
  for (EngineBurn& burn : model.EngineBurns) {
    for (Vector3& v : burn.Vertices) f(v);
  }
  for (CollisionMesh& collision : model.CollisionMeshes) {
    for (Vector3& v : collision.Triangles.Vertices) f(v);
  }
  for (DockPath& path : model.DockPathList.Paths) {
    for (DockPoint& point : path.Points) f(point.Position);
  }
  for (EngineShape& shape : model.EngineShapes) {
    for (ShapeOutline& outline : shape.Outlines) {
      for (Vector3& v : outline.Vertices) f(v);
    }
  }
  for (EngineGlow& glow : model.EngineGlows) {
    ForEachVertex(glow.Mesh, [&](MeshVertex& v) { f(v.Position); });
  }
  if (joints) {
    for (Joint& joint : model.JointList.Joints) f(joint.Position);
  }
  for (Marker& marker : model.Markers) f(marker.Position);
  for (Light& light : model.LightList.Lights) f(light.Position);
  for (MultiMesh& mesh : model.Meshes) {
    ForEachVertex(mesh, [&](MeshVertex& v) { f(v.Position); });
  }
  for (SimpleMesh& simple : model.SimpleMeshes) {
    for (SimpleVertex& v : simple.Vertices) {
      f(v.Position);
      v.Position.w = 1.0f;
    }
  }
  for (StarField& field : model.StarFields) {
    for (Star& star : field.Stars) {
      Vector3 p = Xyz(star);
      f(p);
      SetXyz(star, p);
    }
  }
}

bool MeshSelected(const HodModel& model, std::optional<std::size_t> mesh, Ui& ui) {
  if (mesh && *mesh < model.Meshes.size()) return true;
  ui.Message(text::kSelectGeometryFirst, Icon::Exclamation);
  return false;
}

bool SimpleMeshSelected(const HodModel& model, std::optional<std::size_t> mesh, Ui& ui) {
  if (mesh && *mesh < model.SimpleMeshes.size()) return true;
  ui.Message(text::kSelectGeometryFirst, Icon::Exclamation);
  return false;
}

std::optional<Vector3> AskVector(Ui& ui, const char* x, const char* y, const char* z,
                                 const char* initial, ZeroAnswer zero) {
  const std::optional<Triple> t = AskThreeNumbers(ui, x, y, z, initial, zero);
  if (!t) return std::nullopt;
  return Vector3{static_cast<float>(t->x), static_cast<float>(t->y), static_cast<float>(t->z)};
}

std::optional<Vector3> AskDegrees(Ui& ui, const char* x, const char* y, const char* z) {
  const std::optional<Triple> t = AskThreeNumbers(ui, x, y, z, "0");
  if (!t) return std::nullopt;
  return Vector3{static_cast<float>(DegreesToRadians(t->x)),
                 static_cast<float>(DegreesToRadians(t->y)),
                 static_cast<float>(DegreesToRadians(t->z))};
}

bool AnyAxis(const MirrorOptions& options) { return options.x || options.y || options.z; }

}  // namespace

void TranslateMesh(HodModel& model, std::size_t mesh, const Vector3& offset) {
  if (mesh < model.Meshes.size()) {
    ForEachVertex(model.Meshes[mesh], [&](MeshVertex& v) { Offset(v.Position, offset); });
  }
  if (const auto scar = ScarMeshOf(model, mesh)) {
    for (Vector3& v : model.ScarMeshes[*scar].Triangles.Vertices) Offset(v, offset);
  }
}

void ScaleMesh(HodModel& model, std::size_t mesh, const Vector3& factors) {
  if (mesh < model.Meshes.size()) {
    ForEachVertex(model.Meshes[mesh], [&](MeshVertex& v) { Multiply(v.Position, factors); });
  }
  if (const auto scar = ScarMeshOf(model, mesh)) {
    for (Vector3& v : model.ScarMeshes[*scar].Triangles.Vertices) Multiply(v, factors);
  }
}

void RotateMesh(HodModel& model, std::size_t mesh, const Vector3& radians) {
  if (mesh < model.Meshes.size()) {
    ForEachVertex(model.Meshes[mesh], [&](MeshVertex& v) {
      Rotate(v.Position, radians);
      Rotate(v.Normal, radians);
    });
  }
  if (const auto index = ScarMeshOf(model, mesh)) {
    ScarMesh& scar = model.ScarMeshes[*index];
    for (Vector3& v : scar.Triangles.Vertices) Rotate(v, radians);
    for (Vector3& v : scar.Normals.Vertices) Rotate(v, radians);
  }
}

void MirrorMesh(HodModel& model, std::size_t mesh, const MirrorOptions& options) {
  if (mesh < model.Meshes.size()) {
    ForEachVertex(model.Meshes[mesh], [&](MeshVertex& v) {
      Mirror(v.Position, options);
      Mirror(v.Normal, options);
    });
  }
  if (const auto index = ScarMeshOf(model, mesh)) {
    ScarMesh& scar = model.ScarMeshes[*index];
    for (Vector3& v : scar.Triangles.Vertices) Mirror(v, options);
    for (Vector3& v : scar.Normals.Vertices) Mirror(v, options);
  }
}

void TranslateSimpleMesh(SimpleMesh& mesh, const Vector3& offset) {
  for (SimpleVertex& v : mesh.Vertices) Offset(v.Position, offset);
}

void ScaleSimpleMesh(SimpleMesh& mesh, const Vector3& factors) {
  for (SimpleVertex& v : mesh.Vertices) Multiply(v.Position, factors);
}

void RotateSimpleMesh(SimpleMesh& mesh, const Vector3& radians) {
  const double length = std::sqrt(static_cast<double>(radians.x) * radians.x +
                                  static_cast<double>(radians.y) * radians.y +
                                  static_cast<double>(radians.z) * radians.z);
  if (length == 0) return;
  for (SimpleVertex& v : mesh.Vertices) {
    Rotate(v.Position, radians);
    Rotate(v.Normal, radians);
  }
}

void MirrorSimpleMesh(SimpleMesh& mesh, const MirrorOptions& options) {
  for (SimpleVertex& v : mesh.Vertices) {
    Mirror(v.Position, options);
    Mirror(v.Normal, options);
  }
}

bool RescaleHOD(HodModel& model, float sx, float sy, float sz) {
  const Vector3 factors{sx, sy, sz};
  // Radii have no direction, so they follow the mean factor.
  const float radius_factor = (sx + sy + sz) / 3;
  for (ScarMesh& scar : model.ScarMeshes) {
    Multiply(scar.Box.Minimum, factors);
    Multiply(scar.Box.Maximum, factors);
    Multiply(scar.Sphere.Centre, factors);
    scar.Sphere.Radius *= radius_factor;
  }
  for (CollisionMesh& collision : model.CollisionMeshes) {
    Multiply(collision.Box.Minimum, factors);
    Multiply(collision.Box.Maximum, factors);
    Multiply(collision.Sphere.Centre, factors);
    collision.Sphere.Radius *= radius_factor;
  }
  ForEachPosition(model, true, [&](auto& v) { Multiply(v, factors); });
  return true;
}

bool RotateHOD(HodModel& model, float ax, float ay, float az, bool rotate_joints) {
  const Vector3 angles{ax, ay, az};
  ForEachPosition(model, rotate_joints, [&](auto& v) { Rotate(v, angles); });
  // A rotated box is no longer a tight box: build them again from the rotated vertices.
  for (std::size_t i = 0; i < model.ScarMeshes.size(); ++i) {
    CalculateScarBox(model, i);
    CalculateScarSphere(model, i);
  }
  for (std::size_t i = 0; i < model.CollisionMeshes.size(); ++i) {
    CalculateCollisionBox(model, i);
    CalculateCollisionSphere(model, i);
  }
  return true;
}

bool TranslateMeshCommand(HodModel& model, std::optional<std::size_t> mesh, Ui& ui) {
  if (!MeshSelected(model, mesh, ui)) return false;
  const auto offset = AskVector(ui, text::kXCoordinate, text::kYCoordinate, text::kZCoordinate, "0",
                                ZeroAnswer::Allowed);
  if (!offset) return false;
  TranslateMesh(model, *mesh, *offset);
  return true;
}

bool RotateMeshCommand(HodModel& model, std::optional<std::size_t> mesh, Ui& ui) {
  if (!MeshSelected(model, mesh, ui)) return false;
  const auto angles = AskDegrees(ui, text::kXRotation, text::kYRotation, text::kZRotation);
  if (!angles) return false;
  RotateMesh(model, *mesh, *angles);
  return true;
}

bool ScaleMeshCommand(HodModel& model, std::optional<std::size_t> mesh, Ui& ui) {
  if (!MeshSelected(model, mesh, ui)) return false;
  const auto factors =
      AskVector(ui, text::kXScale, text::kYScale, text::kZScale, "1", ZeroAnswer::AskedAgain);
  if (!factors) return false;
  ScaleMesh(model, *mesh, *factors);
  return true;
}

bool MirrorMeshCommand(HodModel& model, std::optional<std::size_t> mesh,
                       const MirrorOptions& options, Ui& ui) {
  if (!MeshSelected(model, mesh, ui)) return false;
  MirrorMesh(model, *mesh, options);
  return AnyAxis(options);
}

bool MoveSimpleMeshCommand(HodModel& model, std::optional<std::size_t> mesh, Ui& ui) {
  if (!SimpleMeshSelected(model, mesh, ui)) return false;
  const auto offset = AskVector(ui, text::kXCoordinate, text::kYCoordinate, text::kZCoordinate, "0",
                                ZeroAnswer::Allowed);
  if (!offset) return false;
  TranslateSimpleMesh(model.SimpleMeshes[*mesh], *offset);
  return true;
}

bool RotateSimpleMeshCommand(HodModel& model, std::optional<std::size_t> mesh, Ui& ui) {
  if (!SimpleMeshSelected(model, mesh, ui)) return false;
  // Simple meshes take their angles in radians as typed.
  const auto angles =
      AskVector(ui, text::kXRotation, text::kYRotation, text::kZRotation, "0", ZeroAnswer::Allowed);
  if (!angles || (angles->x == 0 && angles->y == 0 && angles->z == 0)) return false;
  RotateSimpleMesh(model.SimpleMeshes[*mesh], *angles);
  return true;
}

bool ScaleSimpleMeshCommand(HodModel& model, std::optional<std::size_t> mesh, Ui& ui) {
  if (!SimpleMeshSelected(model, mesh, ui)) return false;
  const auto factors =
      AskVector(ui, text::kXScale, text::kYScale, text::kZScale, "0", ZeroAnswer::Allowed);
  if (!factors) return false;
  ScaleSimpleMesh(model.SimpleMeshes[*mesh], *factors);
  return true;
}

bool MirrorSimpleMeshCommand(HodModel& model, std::optional<std::size_t> mesh,
                             const MirrorOptions& options, Ui& ui) {
  if (!SimpleMeshSelected(model, mesh, ui)) return false;
  MirrorSimpleMesh(model.SimpleMeshes[*mesh], options);
  return AnyAxis(options);
}

bool RescaleHODCommand(HodModel& model, Ui& ui) {
  const auto factors = AskVector(ui, text::kEnterXScale, text::kEnterYScale, text::kEnterZScale,
                                 "1", ZeroAnswer::AskedAgain);
  if (!factors) return false;
  if (!RescaleHOD(model, factors->x, factors->y, factors->z)) {
    ui.Message(text::kScalingFailed, Icon::Critical);
    return false;
  }
  return true;
}

bool RotateHODCommand(HodModel& model, Ui& ui) {
  const auto angles =
      AskDegrees(ui, text::kEnterXRotation, text::kEnterYRotation, text::kEnterZRotation);
  if (!angles) return false;
  const Answer joints = ui.Message(text::kRotateJoints, Icon::Question, Buttons::YesNoCancel);
  if (joints == Answer::Cancel) return false;
  if (!RotateHOD(model, angles->x, angles->y, angles->z, joints == Answer::Yes)) {
    ui.Message(text::kRotatingFailed, Icon::Critical);
    return false;
  }
  return true;
}

}  // namespace gantry
