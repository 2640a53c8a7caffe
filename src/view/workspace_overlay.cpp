#include "view/workspace_overlay.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "geometry/mesh_triangles.h"
#include "geometry/rotations.h"

namespace gantry {
namespace {

using Colour = std::array<std::uint8_t, 4>;
constexpr Colour kWhite{255, 255, 255, 255};
constexpr Colour kRed{255, 70, 70, 255};
constexpr Colour kGreen{70, 255, 70, 255};
constexpr Colour kBlue{90, 140, 255, 255};
constexpr Colour kCyan{0, 230, 255, 255};
constexpr Colour kOrange{255, 140, 0, 255};
constexpr Colour kMagenta{255, 60, 220, 255};
constexpr Colour kTint{255, 160, 0, 90};
constexpr Colour kGoblinTint{0, 220, 255, 90};

Vector3 Add(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vector3 Sub(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector3 Scale(const Vector3& a, double s) {
  return {static_cast<float>(a.x * s), static_cast<float>(a.y * s), static_cast<float>(a.z * s)};
}
double Dot(const Vector3& a, const Vector3& b) {
  return static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y +
         static_cast<double>(a.z) * b.z;
}
Vector3 Cross(const Vector3& a, const Vector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Length(const Vector3& a) { return std::sqrt(Dot(a, a)); }
Vector3 Normalised(const Vector3& a, double length) {
  const double l = Length(a);
  return l > 0 ? Scale(a, length / l) : Vector3{};
}
Vector3 Singles(const std::array<double, 3>& v) {
  return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

SceneVertex Vertex(const Vector3& p, const Colour& colour) {
  SceneVertex v;
  v.position = p;
  v.colour = colour;
  return v;
}

// Collects batches by kind and size, so a family's many handles draw in one call.
class OverlayBuilder {
 public:
  void Line(const Vector3& a, const Vector3& b, const Colour& colour) {
    auto& batch = Batch(OverlayKind::Lines, 1);
    batch.push_back(Vertex(a, colour));
    batch.push_back(Vertex(b, colour));
  }
  void Point(const Vector3& p, const Colour& colour, float size = kHandleSize) {
    Batch(OverlayKind::Points, size).push_back(Vertex(p, colour));
  }
  void Triangle(const Vector3& a, const Vector3& b, const Vector3& c, const Colour& colour) {
    auto& batch = Batch(OverlayKind::Triangles, 1);
    for (const Vector3& p : {a, b, c}) batch.push_back(Vertex(p, colour));
  }
  void Wire(const Vector3& a, const Vector3& b, const Vector3& c, const Colour& colour) {
    Line(a, b, colour);
    Line(b, c, colour);
    Line(c, a, colour);
  }
  // Three axes of a frame from `origin`: red x, green y, blue z.
  void Axes(const Vector3& origin, const Vector3& x, const Vector3& y, const Vector3& z) {
    Line(origin, Add(origin, x), kRed);
    Line(origin, Add(origin, y), kGreen);
    Line(origin, Add(origin, z), kBlue);
  }
  // A circle of `radius` in each axis plane: a sphere's outline from any side.
  void Rings(const Vector3& c, double radius, const Colour& colour) {
    constexpr int kSteps = 24;
    for (int plane = 0; plane < 3; ++plane) {
      for (int i = 0; i < kSteps; ++i) {
        const auto at = [&](int k) {
          const double a = 2 * 3.14159265358979 * k / kSteps;
          float p[3] = {0, 0, 0};
          p[plane] = static_cast<float>(radius * std::cos(a));
          p[(plane + 1) % 3] = static_cast<float>(radius * std::sin(a));
          return Add(c, Vector3{p[0], p[1], p[2]});
        };
        Line(at(i), at(i + 1), colour);
      }
    }
  }
  void Label(const Vector3& p, std::string text) {
    overlay_.labels.push_back({p, std::move(text)});
  }
  Overlay Take() {
    for (auto& [key, vertices] : batches_) {
      overlay_.batches.push_back({key.first, key.second, std::move(vertices)});
    }
    // Tints first, then lines, then points on top.
    std::stable_sort(overlay_.batches.begin(), overlay_.batches.end(),
                     [](const OverlayBatch& a, const OverlayBatch& b) {
                       const auto rank = [](OverlayKind k) {
                         return k == OverlayKind::Triangles ? 0 : k == OverlayKind::Lines ? 1 : 2;
                       };
                       return rank(a.kind) < rank(b.kind) ||
                              (rank(a.kind) == rank(b.kind) && a.size < b.size);
                     });
    return std::move(overlay_);
  }

 private:
  std::vector<SceneVertex>& Batch(OverlayKind kind, float size) { return batches_[{kind, size}]; }
  std::map<std::pair<OverlayKind, float>, std::vector<SceneVertex>> batches_;
  Overlay overlay_;
};

// A joint's frame placed in the model, its axes `length` long whatever the chain's scaling.
void JointAxes(OverlayBuilder& out, const JointFrame& frame, double length) {
  out.Axes(frame.origin, Normalised(frame.ex, length), Normalised(frame.ey, length),
           Normalised(frame.ez, length));
}

// A direction (the z axis turned by `rotation`) from a point of a joint's frame, in the model.
Vector3 Direction(const JointFrame& frame, const Vector3& rotation, double length) {
  const Vector3 z = RotateVector({0, 0, 1}, rotation);
  return Normalised(Sub(frame.Place(z), frame.Place({0, 0, 0})), length);
}

void MeshLevel(OverlayBuilder& out, const LodMesh& level, const JointFrame& frame,
               const Colour& tint) {
  const Colour edge{tint[0], tint[1], tint[2], 255};
  for (const MeshPart& part : level.Parts) {
    for (const CornerIndices& t : PartTriangles(part)) {
      Vector3 p[3];
      for (int i = 0; i < 3; ++i) {
        const Vector4& v =
            part.Vertices[static_cast<std::size_t>(t[static_cast<std::size_t>(i)])].Position;
        p[i] = frame.Place({v.x, v.y, v.z});
      }
      out.Triangle(p[0], p[1], p[2], tint);
      out.Wire(p[0], p[1], p[2], edge);
    }
  }
}

void TriangleWire(OverlayBuilder& out, const TriangleMesh& mesh, const JointFrame& frame,
                  const Colour& colour) {
  const auto at = [&](std::int16_t index) {
    const std::size_t i = static_cast<std::uint16_t>(index);
    return i < mesh.Vertices.size() ? frame.Place(mesh.Vertices[i]) : frame.Place({});
  };
  for (std::size_t t = 0; t + 2 < mesh.Indices.size(); t += 3) {
    out.Wire(at(mesh.Indices[t]), at(mesh.Indices[t + 1]), at(mesh.Indices[t + 2]), colour);
  }
}

// The box's twelve edges.
void Box(OverlayBuilder& out, const JointFrame& frame, const Vector3& lo, const Vector3& hi,
         const Colour& colour) {
  const auto corner = [&](int i) {
    return frame.Place({(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z});
  };
  for (int i = 0; i < 8; ++i) {
    for (int bit : {1, 2, 4}) {
      if ((i & bit) == 0) out.Line(corner(i), corner(i | bit), colour);
    }
  }
}

// Where a marker's translate tracks put it at each key time, in its parent's frame.
std::vector<Vector3> KeyframePath(const Marker& marker) {
  const KeyframeTrack* tracks[3] = {nullptr, nullptr, nullptr};
  const char* suffixes[3] = {"_translateX", "_translateY", "_translateZ"};
  for (const KeyframeTrack& track : marker.Tracks) {
    for (int axis = 0; axis < 3; ++axis) {
      const std::string suffix = suffixes[axis];
      if (track.Name.size() >= suffix.size() &&
          track.Name.compare(track.Name.size() - suffix.size(), suffix.size(), suffix) == 0) {
        tracks[axis] = &track;
      }
    }
  }
  std::vector<double> times;
  for (const KeyframeTrack* track : tracks) {
    if (track == nullptr) continue;
    for (const Keyframe& key : track->Keys) times.push_back(key.Time);
  }
  std::sort(times.begin(), times.end());
  times.erase(std::unique(times.begin(), times.end()), times.end());
  const auto value_at = [&](int axis, double time) {
    const KeyframeTrack* track = tracks[axis];
    if (track == nullptr || track->Keys.empty()) return marker.Position[static_cast<size_t>(axis)];
    const auto& keys = track->Keys;
    if (time <= keys.front().Time) return keys.front().Value;
    for (std::size_t k = 1; k < keys.size(); ++k) {
      if (time <= keys[k].Time) {
        const double span = keys[k].Time - keys[k - 1].Time;
        const double f = span > 0 ? (time - keys[k - 1].Time) / span : 1;
        return keys[k - 1].Value + f * (keys[k].Value - keys[k - 1].Value);
      }
    }
    return keys.back().Value;
  };
  std::vector<Vector3> path;
  for (double time : times) {
    path.push_back(Singles({value_at(0, time), value_at(1, time), value_at(2, time)}));
  }
  return path;
}

template <typename T>
const T* At(const std::vector<T>& list, std::size_t i) {
  return i < list.size() ? &list[i] : nullptr;
}

Colour NavColour(const ColourRGBA& c) {
  const auto byte = [](float f) {
    return static_cast<std::uint8_t>(std::clamp(f, 0.0f, 1.0f) * 255.0f + 0.5f);
  };
  return {byte(c.r), byte(c.g), byte(c.b), 255};
}

Vector3 BurnCentre(const EngineBurn& burn) {
  Vector3 sum{};
  for (const Vector3& v : burn.Vertices) sum = Add(sum, v);
  return burn.Vertices.empty() ? sum : Scale(sum, 1.0 / static_cast<double>(burn.Vertices.size()));
}

}  // namespace

Overlay BuildOverlay(const HodModel& model, const WorkspaceSelection& selection, double extent,
                     OverlayMask mask) {
  OverlayBuilder out;
  if ((mask & OverlayBit(selection.family)) == 0) return {};
  const JointListRecord& joints = model.JointList;
  const double axis = std::max(extent, 1.0) / 6;
  const std::size_t i = selection.element;
  switch (selection.family) {
    case OverlayFamily::Mesh: {
      const MultiMesh* mesh = At(model.Meshes, i);
      if (mesh == nullptr) break;
      const LodMesh* level = At(mesh->Lods, selection.part.value_or(0));
      if (level == nullptr) break;
      MeshLevel(out, *level, JointFrame::Of(joints, mesh->ParentName),
                IsGoblin(*mesh) ? kGoblinTint : kTint);
      break;
    }
    case OverlayFamily::Joint: {
      const Joint* joint = At(joints.Joints, i);
      if (joint == nullptr) break;
      const JointFrame frame = JointFrame::Of(joints, joint->Name);
      JointAxes(out, frame, axis);
      // Its parent, so the chain can be followed.
      if (!joint->ParentName.empty()) {
        out.Line(JointFrame::Of(joints, joint->ParentName).origin, frame.origin, kCyan);
      }
      out.Point(frame.origin, kSelectedColour, kSelectedHandleSize);
      out.Label(frame.origin, joint->Name);
      break;
    }
    case OverlayFamily::Marker: {
      const Marker* marker = At(model.Markers, i);
      if (marker == nullptr) break;
      const JointFrame frame = JointFrame::Of(joints, marker->ParentName);
      const Vector3 p = frame.Place(Singles(marker->Position));
      const std::vector<Vector3> path = KeyframePath(*marker);
      for (std::size_t k = 0; k < path.size(); ++k) {
        if (k > 0) out.Line(frame.Place(path[k - 1]), frame.Place(path[k]), kMagenta);
        out.Point(frame.Place(path[k]), kMagenta);
      }
      const Vector3 angles = Singles(marker->Rotation);
      const auto turned = [&](const Vector3& unit) {
        return Normalised(Sub(frame.Place(RotateVector(unit, angles)), frame.Place({})), axis);
      };
      out.Axes(p, turned({1, 0, 0}), turned({0, 1, 0}), turned({0, 0, 1}));
      out.Point(p, kSelectedColour, kSelectedHandleSize);
      out.Label(p, marker->Name);
      break;
    }
    case OverlayFamily::DockPath: {
      const DockPath* path = At(model.DockPathList.Paths, i);
      if (path == nullptr) break;
      const JointFrame frame = JointFrame::Of(joints, path->ParentName);
      for (std::size_t k = 0; k < path->Points.size(); ++k) {
        const DockPoint& point = path->Points[k];
        const Vector3 p = frame.Place(point.Position);
        // Points in order: the path runs from the first point (green) to the last (red).
        if (k > 0) out.Line(frame.Place(path->Points[k - 1].Position), p, kWhite);
        out.Line(p, Add(p, Direction(frame, point.Rotation, axis / 2)), kCyan);
        const bool chosen = selection.part == k;
        const Colour colour = chosen                         ? kSelectedColour
                              : k == 0                       ? kGreen
                              : k + 1 == path->Points.size() ? kRed
                                                             : kOrange;
        out.Point(p, colour, chosen ? kSelectedHandleSize : kHandleSize);
        out.Label(p, std::to_string(k));
      }
      break;
    }
    case OverlayFamily::NavLight: {
      const auto& lights = model.NavLightList.NavLights;
      if (i >= lights.size()) break;
      // Every light by its colour, its ring as large as its size; the selected one marked.
      for (std::size_t k = 0; k < lights.size(); ++k) {
        const NavLight& light = lights[k];
        const Vector3 p = JointToWorld(joints, {}, light.Name);
        out.Rings(p, std::max(0.0f, light.Size), NavColour(light.Colour));
        out.Point(p, k == i ? kSelectedColour : NavColour(light.Colour),
                  k == i ? kSelectedHandleSize : kHandleSize);
      }
      out.Label(JointToWorld(joints, {}, lights[i].Name), lights[i].Name);
      break;
    }
    case OverlayFamily::EngineShape: {
      const EngineShape* shape = At(model.EngineShapes, i);
      if (shape == nullptr) break;
      const JointFrame frame = JointFrame::Of(joints, shape->ParentName);
      for (const ShapeOutline& outline : shape->Outlines) {
        for (std::size_t k = 0; k < outline.Vertices.size(); ++k) {
          out.Line(frame.Place(outline.Vertices[k]),
                   frame.Place(outline.Vertices[(k + 1) % outline.Vertices.size()]), kOrange);
        }
      }
      break;
    }
    case OverlayFamily::EngineBurn: {
      const EngineBurn* burn = At(model.EngineBurns, i);
      if (burn == nullptr) break;
      const JointFrame frame = JointFrame::Of(joints, burn->ParentName);
      const std::size_t per_curve =
          burn->VertexCount > 0 ? static_cast<std::size_t>(burn->VertexCount) : 0;
      for (std::size_t k = 1; k < burn->Vertices.size(); ++k) {
        if (per_curve != 0 && k % per_curve == 0) continue;  // the next curve starts
        out.Line(frame.Place(burn->Vertices[k - 1]), frame.Place(burn->Vertices[k]), kOrange);
      }
      for (const Vector3& v : burn->Vertices) out.Point(frame.Place(v), kOrange, 4);
      out.Point(frame.Place(BurnCentre(*burn)), kSelectedColour, kSelectedHandleSize);
      break;
    }
    case OverlayFamily::EngineGlow: {
      const EngineGlow* glow = At(model.EngineGlows, i);
      if (glow == nullptr) break;
      MeshLevel(out, glow->Mesh, JointFrame::Of(joints, glow->ParentName), kTint);
      break;
    }
    case OverlayFamily::Collision: {
      const CollisionMesh* mesh = At(model.CollisionMeshes, i);
      if (mesh == nullptr) break;
      TriangleWire(out, mesh->Triangles, JointFrame::Of(joints, mesh->ParentName), kGreen);
      break;
    }
    case OverlayFamily::Boundary: {
      const auto& vertices = model.BoundaryVertices.Vertices;
      const JointFrame frame = JointFrame::Of(joints, model.BoundaryVertices.ParentName);
      for (std::size_t k = 0; k < vertices.size(); ++k) {
        const bool chosen = selection.part == k;
        out.Point(frame.Place(vertices[k]), chosen ? kSelectedColour : kCyan,
                  chosen ? kSelectedHandleSize : kHandleSize);
      }
      break;
    }
    case OverlayFamily::Scar: {
      const ScarMesh* scar = At(model.ScarMeshes, i);
      if (scar == nullptr) break;
      const JointFrame frame = JointFrame::Of(joints, scar->Description.ParentName);
      const ScarGrid& grid = scar->Grid;
      const Vector3& lo = scar->Box.Minimum;
      const Vector3& hi = scar->Box.Maximum;
      if (grid.SizeX <= 0 || grid.SizeY <= 0 || grid.SizeZ <= 0) break;
      const Vector3 cell{(hi.x - lo.x) / static_cast<float>(grid.SizeX),
                         (hi.y - lo.y) / static_cast<float>(grid.SizeY),
                         (hi.z - lo.z) / static_cast<float>(grid.SizeZ)};
      // The cells that list triangles: where a hit leaves a scar.
      std::size_t c = 0;
      for (int z = 0; z < grid.SizeZ; ++z) {
        for (int y = 0; y < grid.SizeY; ++y) {
          for (int x = 0; x < grid.SizeX; ++x, ++c) {
            if (c >= grid.Cells.size() || grid.Cells[c].Indices.empty()) continue;
            const Vector3 a{lo.x + cell.x * static_cast<float>(x),
                            lo.y + cell.y * static_cast<float>(y),
                            lo.z + cell.z * static_cast<float>(z)};
            Box(out, frame, a, Add(a, cell), kMagenta);
          }
        }
      }
      TriangleWire(out, scar->Triangles, frame, kOrange);
      break;
    }
    case OverlayFamily::Light: {
      const Light* light = At(model.LightList.Lights, i);
      if (light == nullptr) break;
      const Colour colour = NavColour({light->Colour.r, light->Colour.g, light->Colour.b, 1});
      out.Line({}, light->Position, colour);
      out.Point(light->Position, kSelectedColour, kSelectedHandleSize);
      out.Label(light->Position, light->Name);
      break;
    }
  }
  return out.Take();
}

std::vector<PickHandle> PickHandles(const HodModel& model, OverlayMask mask) {
  std::vector<PickHandle> handles;
  const JointListRecord& joints = model.JointList;
  const auto on = [mask](OverlayFamily f) { return (mask & OverlayBit(f)) != 0; };
  if (on(OverlayFamily::Joint)) {
    for (std::size_t i = 0; i < joints.Joints.size(); ++i) {
      handles.push_back({JointToWorld(joints, {}, joints.Joints[i].Name),
                         {OverlayFamily::Joint, i, std::nullopt}});
    }
  }
  if (on(OverlayFamily::Marker)) {
    for (std::size_t i = 0; i < model.Markers.size(); ++i) {
      const Marker& m = model.Markers[i];
      handles.push_back({JointToWorld(joints, Singles(m.Position), m.ParentName),
                         {OverlayFamily::Marker, i, std::nullopt}});
    }
  }
  if (on(OverlayFamily::DockPath)) {
    for (std::size_t i = 0; i < model.DockPathList.Paths.size(); ++i) {
      const DockPath& path = model.DockPathList.Paths[i];
      const JointFrame frame = JointFrame::Of(joints, path.ParentName);
      for (std::size_t k = 0; k < path.Points.size(); ++k) {
        handles.push_back({frame.Place(path.Points[k].Position), {OverlayFamily::DockPath, i, k}});
      }
    }
  }
  if (on(OverlayFamily::NavLight)) {
    for (std::size_t i = 0; i < model.NavLightList.NavLights.size(); ++i) {
      handles.push_back({JointToWorld(joints, {}, model.NavLightList.NavLights[i].Name),
                         {OverlayFamily::NavLight, i, std::nullopt}});
    }
  }
  if (on(OverlayFamily::EngineBurn)) {
    for (std::size_t i = 0; i < model.EngineBurns.size(); ++i) {
      const EngineBurn& burn = model.EngineBurns[i];
      handles.push_back({JointToWorld(joints, BurnCentre(burn), burn.ParentName),
                         {OverlayFamily::EngineBurn, i, std::nullopt}});
    }
  }
  if (on(OverlayFamily::Boundary)) {
    const JointFrame frame = JointFrame::Of(joints, model.BoundaryVertices.ParentName);
    for (std::size_t k = 0; k < model.BoundaryVertices.Vertices.size(); ++k) {
      handles.push_back(
          {frame.Place(model.BoundaryVertices.Vertices[k]), {OverlayFamily::Boundary, 0, k}});
    }
  }
  if (on(OverlayFamily::Light)) {
    for (std::size_t i = 0; i < model.LightList.Lights.size(); ++i) {
      handles.push_back(
          {model.LightList.Lights[i].Position, {OverlayFamily::Light, i, std::nullopt}});
    }
  }
  return handles;
}

// ---- Screen and picking math ----------------------------------------------------------------

std::optional<Vector3> ProjectToScreen(const Vector3& p, const ScreenMapping& screen) {
  const Matrix4& m = screen.model_to_clip;
  double c[4];
  for (int j = 0; j < 4; ++j) {
    c[j] = p.x * m[0][j] + p.y * m[1][j] + p.z * m[2][j] + m[3][j];
  }
  if (c[3] <= 1e-9) return std::nullopt;
  const double x = c[0] / c[3], y = c[1] / c[3];
  return Vector3{static_cast<float>((x + 1) / 2 * screen.width),
                 static_cast<float>((1 - y) / 2 * screen.height), static_cast<float>(c[2] / c[3])};
}

std::optional<Matrix4> Inverse(const Matrix4& m) {
  // Gauss-Jordan on [m | I] in double precision, with partial pivoting.
  double a[4][8];
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      a[r][c] = m[static_cast<size_t>(r)][static_cast<size_t>(c)];
      a[r][c + 4] = r == c ? 1 : 0;
    }
  }
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 4; ++r) {
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    }
    if (std::fabs(a[pivot][col]) < 1e-12) return std::nullopt;
    if (pivot != col) {
      for (int c = 0; c < 8; ++c) std::swap(a[pivot][c], a[col][c]);
    }
    const double d = a[col][col];
    for (int c = 0; c < 8; ++c) a[col][c] /= d;
    for (int r = 0; r < 4; ++r) {
      if (r == col) continue;
      const double f = a[r][col];
      for (int c = 0; c < 8; ++c) a[r][c] -= f * a[col][c];
    }
  }
  Matrix4 out{};
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      out[static_cast<size_t>(r)][static_cast<size_t>(c)] = static_cast<float>(a[r][c + 4]);
    }
  }
  return out;
}

std::optional<Ray> ScreenRay(const ScreenMapping& screen, double x, double y) {
  const auto inverse = Inverse(screen.model_to_clip);
  if (!inverse || screen.width <= 0 || screen.height <= 0) return std::nullopt;
  const double nx = 2 * x / screen.width - 1;
  const double ny = 1 - 2 * y / screen.height;
  const auto unproject = [&](double z) {
    const Matrix4& m = *inverse;
    double c[4];
    for (int j = 0; j < 4; ++j) c[j] = nx * m[0][j] + ny * m[1][j] + z * m[2][j] + m[3][j];
    return Vector3{static_cast<float>(c[0] / c[3]), static_cast<float>(c[1] / c[3]),
                   static_cast<float>(c[2] / c[3])};
  };
  const Vector3 near = unproject(0);
  const Vector3 far = unproject(0.5);
  return Ray{near, Sub(far, near)};
}

std::optional<double> RayTriangle(const Ray& ray, const Vector3& a, const Vector3& b,
                                  const Vector3& c) {
  // Moller and Trumbore.
  const Vector3 e1 = Sub(b, a), e2 = Sub(c, a);
  const Vector3 p = Cross(ray.direction, e2);
  const double det = Dot(e1, p);
  if (std::fabs(det) < 1e-12) return std::nullopt;
  const Vector3 s = Sub(ray.origin, a);
  const double u = Dot(s, p) / det;
  if (u < 0 || u > 1) return std::nullopt;
  const Vector3 q = Cross(s, e1);
  const double v = Dot(ray.direction, q) / det;
  if (v < 0 || u + v > 1) return std::nullopt;
  const double t = Dot(e2, q) / det;
  if (t <= 0) return std::nullopt;
  return t;
}

namespace {

struct MeshHit {
  std::size_t mesh = 0;
  double t = 0;
};

std::optional<MeshHit> NearestMeshHit(const HodModel& model, const Ray& ray) {
  std::optional<MeshHit> best;
  for (std::size_t m = 0; m < model.Meshes.size(); ++m) {
    const MultiMesh& mesh = model.Meshes[m];
    if (mesh.Lods.empty()) continue;
    const JointFrame frame = JointFrame::Of(model.JointList, mesh.ParentName);
    for (const MeshPart& part : mesh.Lods[0].Parts) {
      for (const CornerIndices& t : PartTriangles(part)) {
        Vector3 p[3];
        for (int i = 0; i < 3; ++i) {
          const Vector4& v =
              part.Vertices[static_cast<std::size_t>(t[static_cast<std::size_t>(i)])].Position;
          p[i] = frame.Place({v.x, v.y, v.z});
        }
        const auto hit = RayTriangle(ray, p[0], p[1], p[2]);
        if (hit && (!best || *hit < best->t)) best = MeshHit{m, *hit};
      }
    }
  }
  return best;
}

}  // namespace

std::optional<PickResult> Pick(const HodModel& model, const ScreenMapping& screen, double x,
                               double y, OverlayMask mask, double radius) {
  std::optional<PickResult> best;
  double best_distance = radius;
  for (const PickHandle& handle : PickHandles(model, mask)) {
    const auto at = ProjectToScreen(handle.position, screen);
    if (!at) continue;
    const double d = std::hypot(at->x - x, at->y - y);
    if (d <= best_distance) {
      best_distance = d;
      best = PickResult{handle.selection, handle.position};
    }
  }
  if (best || (mask & OverlayBit(OverlayFamily::Mesh)) == 0) return best;
  const auto ray = ScreenRay(screen, x, y);
  if (!ray) return std::nullopt;
  if (const auto hit = NearestMeshHit(model, *ray)) {
    return PickResult{{OverlayFamily::Mesh, hit->mesh, 0},
                      Add(ray->origin, Scale(ray->direction, hit->t))};
  }
  return std::nullopt;
}

std::optional<Vector3> SurfacePoint(const HodModel& model, const ScreenMapping& screen, double x,
                                    double y) {
  const auto ray = ScreenRay(screen, x, y);
  if (!ray) return std::nullopt;
  const auto hit = NearestMeshHit(model, *ray);
  if (!hit) return std::nullopt;
  return Add(ray->origin, Scale(ray->direction, hit->t));
}

}  // namespace gantry
