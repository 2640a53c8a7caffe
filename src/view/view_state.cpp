#include "view/view_state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/number_parse.h"
#include "common/number_text.h"
#include "geometry/rotations.h"

namespace gantry {
namespace {

constexpr double kPi = 3.14159265358979323846;

Vector3 PresetRotation(ViewPreset preset) {
  const auto half = static_cast<float>(kPi / 2);
  switch (preset) {
    case ViewPreset::Top:
      return {half, 0, 0};
    case ViewPreset::Left:
      return {0, half, 0};
    case ViewPreset::Bottom:
      return {-half, 0, 0};
    case ViewPreset::Right:
      return {0, -half, 0};
    case ViewPreset::Perspective:
      return {static_cast<float>(kPi / 12), static_cast<float>(kPi / 6), 0};
    case ViewPreset::Front:
    case ViewPreset::Back:
      break;
  }
  return {};
}

std::string Fixed3(float value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f", static_cast<double>(value));
  return buffer;
}

}  // namespace

double ViewState::ExtentOf(std::span<const Vector3> points) {
  double extent = 0;
  for (const Vector3& p : points) {
    extent = std::max({extent, std::abs(static_cast<double>(p.x)),
                       std::abs(static_cast<double>(p.y)), std::abs(static_cast<double>(p.z))});
  }
  return extent == 0 || !std::isfinite(extent) ? 1 : extent;
}

int ViewState::SetView(int preset) {
  const int previous = preset_ ? static_cast<int>(*preset_) : -1;
  preset = std::clamp(preset, -1, 6);
  preset_ = preset < 0 ? std::nullopt : std::optional<ViewPreset>(static_cast<ViewPreset>(preset));
  ApplyPreset();
  return previous;
}

void ViewState::ApplyPreset() {
  if (!preset_) return;
  if (extent == 0) extent = 1;
  rotation = PresetRotation(*preset_);
  const auto distance = static_cast<float>(2 * extent * zoom);
  eye = {0, 0, *preset_ == ViewPreset::Back ? -distance : distance};
}

void ViewState::ResetView(std::span<const Vector3> points) {
  zoom = 1;
  extent = ExtentOf(points);
  eye = {0, 0, static_cast<float>(2 * extent)};
  rotation = {};
  ApplyPreset();
}

void ViewState::Fit(std::span<const Vector3> points, float aspect) {
  if (points.empty()) return;
  if (extent == 0) extent = 1;
  Vector3 low = points.front(), high = points.front();
  for (const Vector3& p : points) {
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
  }
  pan = {-(low.x + high.x) / 2, -(low.y + high.y) / 2, -(low.z + high.z) / 2};
  // The eye stays on the z axis (the model turns, not the camera), so a point at q is seen
  // |q.x| and |q.y| off the axis at depth distance - side * q.z.
  const double side = eye.z < 0 ? -1 : 1;
  const double tan_y = std::tan(kPi / 8);
  const double tan_x = tan_y * (aspect > 0 ? aspect : 1);
  const Matrix4 world = World();
  double distance = 0;
  for (const Vector3& p : points) {
    const Vector3 q = TransformPoint(p, world);
    // A little room at the edges.
    const double off = 1.05 * std::max(std::abs(q.x) / tan_x, std::abs(q.y) / tan_y);
    distance = std::max(distance, side * q.z + off);
  }
  // Never so close that the near plane cuts in.
  distance = std::max(distance, 1e-3 * extent);
  if (!std::isfinite(distance)) return;
  const double length =
      std::sqrt(static_cast<double>(eye.x) * eye.x + static_cast<double>(eye.y) * eye.y +
                static_cast<double>(eye.z) * eye.z);
  if (length == 0) eye = {0, 0, 1};
  zoom = distance / (2 * extent);
  PlaceEye();
}

void ViewState::SetZoomText(std::string_view text) {
  const double value = LeadingNumber(text);
  SetZoom(value == 0 || !std::isfinite(value) ? 1 : value);
}

void ViewState::SetZoom(double value) {
  zoom = value;
  PlaceEye();
}

void ViewState::PlaceEye() {
  if (extent == 0) extent = 1;
  const double length =
      std::sqrt(static_cast<double>(eye.x) * eye.x + static_cast<double>(eye.y) * eye.y +
                static_cast<double>(eye.z) * eye.z);
  const double wanted = 2 * extent * zoom;
  if (length == 0) {
    eye = {0, 0, static_cast<float>(wanted)};
    return;
  }
  const double scale = wanted / length;
  eye = {static_cast<float>(eye.x * scale), static_cast<float>(eye.y * scale),
         static_cast<float>(eye.z * scale)};
}

bool ViewState::MouseMove(MouseButtons buttons, double dx, double dy) {
  if (extent == 0) extent = 1;
  if (buttons.left && buttons.right) {
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d == 0) return false;
    pan.x += static_cast<float>(dx / d * extent / 50);
    pan.y += static_cast<float>(dy / d * extent / 50);
    pan.z = 0;
    return false;
  }
  if (buttons.left) {
    rotation.x += static_cast<float>(dy / 500);
    rotation.y += static_cast<float>(-dx / 500);
    return false;
  }
  if (buttons.right) {
    double d = std::sqrt(dx * dx + dy * dy);
    if (d == 0) return false;
    if (dx < 0 || dy < 0) d = -d;
    SetZoom(zoom * (1 + d / (50 * extent)));
    return true;
  }
  return false;
}

double ViewState::KeyStep(KeyModifiers m) {
  double step = 0;
  if (!m.shift && !m.alt && !m.ctrl) step = 1;
  if (m.shift && !m.alt && !m.ctrl) step = 10;
  if (!m.shift && m.alt && !m.ctrl) step = 100;
  if (m.shift && m.alt && !m.ctrl) step = 0.1;
  if (!m.shift && !m.alt && m.ctrl) step = 0.01;
  return step == 0 ? 1 : step;
}

bool ViewState::Key(ViewKey key, KeyModifiers modifiers) {
  if (key == ViewKey::R) {
    rotation_mode = !rotation_mode;
    if (rotation_mode) local_mode = false;
    return true;
  }
  if (key == ViewKey::T) {
    local_mode = !local_mode;
    if (local_mode) rotation_mode = false;
    return true;
  }
  const double step = KeyStep(modifiers);
  // Which axis and which way: moves are 0.5 x step, turns 0.025 x step; left/right turn the
  // other way round from how they move.
  int axis = 0;
  double sign = 1;
  switch (key) {
    case ViewKey::A:
    case ViewKey::Left:
      sign = rotation_mode ? -1 : 1;
      break;
    case ViewKey::D:
    case ViewKey::Right:
      sign = rotation_mode ? 1 : -1;
      break;
    case ViewKey::Q:
    case ViewKey::Up:
      axis = 1;
      break;
    case ViewKey::E:
    case ViewKey::Down:
      axis = 1;
      sign = -1;
      break;
    case ViewKey::W:
      axis = 2;
      break;
    case ViewKey::S:
      axis = 2;
      sign = -1;
      break;
    default:
      return false;
  }
  if (rotation_mode) {
    float* angles[] = {&crosshair_rotation.x, &crosshair_rotation.y, &crosshair_rotation.z};
    *angles[axis] += static_cast<float>(sign * 0.025 * step);
    return true;
  }
  Vector3 move{};
  float* parts[] = {&move.x, &move.y, &move.z};
  *parts[axis] = static_cast<float>(sign * 0.5 * step);
  if (local_mode) move = RotateVector(move, crosshair_rotation);
  crosshair_position.x += move.x;
  crosshair_position.y += move.y;
  crosshair_position.z += move.z;
  return true;
}

Matrix4 ViewState::World() const {
  Matrix4 m = TranslationMatrix(pan.x, pan.y, pan.z);
  m = Multiply(m, RotationX(rotation.x));
  m = Multiply(m, RotationY(rotation.y));
  return Multiply(m, RotationZ(rotation.z));
}

Matrix4 ViewState::View() const { return LookAtLH(eye, {0, 0, 0}, {0, 1, 0}); }

Matrix4 ViewState::Crosshair() const {
  Matrix4 m = ScalingMatrix(crosshair_scale.x, crosshair_scale.y, crosshair_scale.z);
  m = Multiply(m, RotationX(crosshair_rotation.x));
  m = Multiply(m, RotationY(crosshair_rotation.y));
  m = Multiply(m, RotationZ(crosshair_rotation.z));
  return Multiply(
      m, TranslationMatrix(crosshair_position.x, crosshair_position.y, crosshair_position.z));
}

Matrix4 ViewState::Projection(float aspect) {
  return PerspectiveFovLH(static_cast<float>(kPi / 4), aspect > 0 ? aspect : 1, 0.1f, 10000);
}

// The zoom box shows a single's digits: a drag multiplies the zoom by long fractions.
std::string ViewState::ZoomText() const { return NumberText(static_cast<float>(zoom)); }

std::string ViewState::StatusText() const {
  const Vector3& v = rotation_mode ? crosshair_rotation : crosshair_position;
  return std::string(rotation_mode ? "Selected rotation: " : "Selected point: ") +
         "\r\n    X: " + Fixed3(v.x) + "\r\n    Y: " + Fixed3(v.y) + "\r\n    Z: " + Fixed3(v.z);
}

}  // namespace gantry
