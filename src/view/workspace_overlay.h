// What the workspace view draws over the model for the element selected in the editor (joint
// axes, dock path points in order, nav lights by colour and size, ...), and what a click in the
// view hits: a handle near the cursor, else the nearest triangle of the shown meshes. All of it
// in model space; the GUI view only uploads and draws it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geometry/matrix4.h"
#include "hod/model.h"
#include "view/viewer_scene.h"

namespace gantry {

// The families the view can show a selection of, in the layer menu's order.
enum class OverlayFamily {
  Mesh,
  Joint,
  Marker,
  DockPath,
  NavLight,
  EngineShape,
  EngineBurn,
  EngineGlow,
  Collision,
  Boundary,
  Scar,
  Light,
};
inline constexpr std::size_t kOverlayFamilies = 12;
inline constexpr const char* kOverlayFamilyNames[kOverlayFamilies] = {
    "Meshes",        "Joints",       "Markers",      "Dock paths",     "Nav lights",
    "Engine shapes", "Engine burns", "Engine glows", "Collision mesh", "Boundary vertices",
    "Scar grid",     "Lights"};

// Which families are drawn and picked: bit (1 << family).
using OverlayMask = std::uint32_t;
inline constexpr OverlayMask kAllOverlays = (1u << kOverlayFamilies) - 1;
constexpr OverlayMask OverlayBit(OverlayFamily family) {
  return 1u << static_cast<unsigned>(family);
}

// An element of a family; `part` is the level of detail, dock point or boundary vertex within it.
struct WorkspaceSelection {
  OverlayFamily family = OverlayFamily::Mesh;
  std::size_t element = 0;
  std::optional<std::size_t> part;
  friend bool operator==(const WorkspaceSelection&, const WorkspaceSelection&) = default;
};

enum class OverlayKind { Lines, Points, Triangles };
struct OverlayBatch {
  OverlayKind kind = OverlayKind::Lines;
  float size = 1;  // points: across, in pixels
  std::vector<SceneVertex> vertices;
};
struct OverlayLabel {
  Vector3 position;
  std::string text;
};
struct Overlay {
  std::vector<OverlayBatch> batches;
  std::vector<OverlayLabel> labels;
  bool empty() const { return batches.empty() && labels.empty(); }
};

// The handle of the selected element (or part) itself is drawn in this colour, bigger than the
// rest, so it stands out whatever the family's own colours.
inline constexpr std::array<std::uint8_t, 4> kSelectedColour{255, 220, 0, 255};
inline constexpr float kHandleSize = 7;
inline constexpr float kSelectedHandleSize = 11;

// The overlay of `selection`; `extent` (the model's half-size) sets the length of axes and
// directions. Empty when the family is masked out or the element does not exist.
Overlay BuildOverlay(const HodModel& model, const WorkspaceSelection& selection, double extent,
                     OverlayMask mask = kAllOverlays);

// A point a click can select: joints, markers, dock points, nav lights, engine burns, boundary
// vertices and lights, in model space.
struct PickHandle {
  Vector3 position;
  WorkspaceSelection selection;
};
std::vector<PickHandle> PickHandles(const HodModel& model, OverlayMask mask = kAllOverlays);

// ---- Screen and picking math ----------------------------------------------------------------

// Model space to clip space as the view draws: the camera's world, view and projection.
struct ScreenMapping {
  Matrix4 model_to_clip;
  int width = 1;
  int height = 1;
};
// A point in widget pixels (y down); nullopt when it lies behind the camera.
std::optional<Vector3> ProjectToScreen(const Vector3& p, const ScreenMapping& screen);

struct Ray {
  Vector3 origin;
  Vector3 direction;  // not normalised
};
std::optional<Matrix4> Inverse(const Matrix4& m);
// The model-space ray under a widget pixel.
std::optional<Ray> ScreenRay(const ScreenMapping& screen, double x, double y);
// The ray parameter where it meets the triangle (either side), if it does in front (t > 0).
std::optional<double> RayTriangle(const Ray& ray, const Vector3& a, const Vector3& b,
                                  const Vector3& c);

struct PickResult {
  WorkspaceSelection selection;
  Vector3 position;  // the handle, or the point hit on the triangle
};
// The handle whose projection lies nearest the pixel within `radius` pixels; else the nearest
// triangle of the first level of every mesh under it (a mesh selection, level 0).
std::optional<PickResult> Pick(const HodModel& model, const ScreenMapping& screen, double x,
                               double y, OverlayMask mask = kAllOverlays, double radius = 8);
// The nearest point of the shown meshes under the pixel.
std::optional<Vector3> SurfacePoint(const HodModel& model, const ScreenMapping& screen, double x,
                                    double y);

}  // namespace gantry
