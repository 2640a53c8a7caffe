// Everything a 3D view knows apart from drawing: the camera (turned, panned and zoomed with the
// mouse, or set by a preset), and the crosshair the user moves and turns with the keyboard to
// pick a point and an orientation in model space. The GUI view feeds it mouse and key events and
// draws with its matrices.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "geometry/matrix4.h"
#include "hod/model.h"

namespace gantry {

// The presets of the view-mode list, in its order.
enum class ViewPreset { Front, Top, Left, Back, Bottom, Right, Perspective };
inline constexpr const char* kViewPresetNames[] = {"Front",  "Top",   "Left",       "Back",
                                                   "Bottom", "Right", "Perspective"};

enum class ViewKey { A, D, Q, E, W, S, R, T, Left, Right, Up, Down };
struct KeyModifiers {
  bool shift = false;
  bool alt = false;
  bool ctrl = false;
};
// What the options hand every view: device 0 software, 1 hardware, 2 pure device; filtering 0
// none, 1 bilinear, 2 anisotropic; the two resolution flags (kept, not used by OpenGL).
struct RenderConfig {
  int device_mode = 0;
  int filter_mode = 0;
  bool auto_resolution = false;
  bool high_resolution = false;
  friend bool operator==(const RenderConfig&, const RenderConfig&) = default;
};

struct MouseButtons {
  bool left = false;
  bool right = false;
};

class ViewState {
 public:
  // The camera.
  Vector3 rotation;  // radians
  Vector3 pan;
  Vector3 eye{0, 0, 2};
  double zoom = 1;
  double extent = 0;  // the model's half-size; the camera distance is measured in it

  // The crosshair.
  Vector3 crosshair_position;
  Vector3 crosshair_rotation;
  Vector3 crosshair_scale{1, 1, 1};
  bool rotation_mode = false;
  bool local_mode = false;

  // The largest absolute coordinate of the points (1 when that is 0).
  static double ExtentOf(std::span<const Vector3> points);

  // Selects a preset (numbers above 6 give 6; below -1 give -1, no preset) and applies it;
  // returns the previous selection (-1 for none).
  int SetView(int preset);
  std::optional<ViewPreset> preset() const { return preset_; }
  // Zoom 1, the extent from the points, camera back to 2 x extent, the preset applied again.
  void ResetView(std::span<const Vector3> points);
  // Frames every point in a view of the given width-to-height ratio, from where the camera
  // looks now: the pan centres the points' box, the zoom brings the camera just far enough.
  void Fit(std::span<const Vector3> points, float aspect);
  // The zoom box's text: zero or a text that is not a number gives 1. The eye keeps its
  // direction and moves to 2 x extent x zoom from the origin.
  void SetZoomText(std::string_view text);
  void SetZoom(double value);

  // A mouse move of (dx, dy) picture units with `buttons` held. Returns true when the zoom
  // changed (the zoom box then shows ZoomText()).
  bool MouseMove(MouseButtons buttons, double dx, double dy);
  // A key pressed on the view; false for keys the view does not use.
  bool Key(ViewKey key, KeyModifiers modifiers);
  static double KeyStep(KeyModifiers modifiers);

  // W (pan, then X, Y, Z rotations), the look-at view, C (scale, rotations, position).
  Matrix4 World() const;
  Matrix4 View() const;
  Matrix4 Crosshair() const;
  static Matrix4 Projection(float aspect);

  std::string ZoomText() const;
  // "Selected point: " (or "Selected rotation: " in rotation mode) and X, Y, Z to three decimals.
  std::string StatusText() const;

 private:
  void ApplyPreset();
  void PlaceEye();

  std::optional<ViewPreset> preset_;
};

}  // namespace gantry
