#include "view/view_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

namespace gantry {
namespace {

TEST(ViewState, KeysMoveAndTurnTheCrosshairByTheModifiersStepLocallyInLocalMode) {
  ViewState view;
  view.Key(ViewKey::W, {.shift = true});
  EXPECT_FLOAT_EQ(view.crosshair_position.z, 5);
  view.Key(ViewKey::W, {.shift = true, .ctrl = true});  // no such step: taken as 1
  EXPECT_FLOAT_EQ(view.crosshair_position.z, 5.5f);
  view.Key(ViewKey::Left, {});
  view.Key(ViewKey::E, {.shift = true, .alt = true});
  EXPECT_FLOAT_EQ(view.crosshair_position.x, 0.5f);
  EXPECT_FLOAT_EQ(view.crosshair_position.y, -0.05f);
  view.Key(ViewKey::R, {});
  view.Key(ViewKey::A, {.ctrl = true});
  EXPECT_FLOAT_EQ(view.crosshair_rotation.x, -0.00025f);
  view.Key(ViewKey::Down, {.alt = true});
  EXPECT_FLOAT_EQ(view.crosshair_rotation.y, -2.5f);
  EXPECT_EQ(view.StatusText(),
            "Selected rotation: \r\n    X: -0.000\r\n    Y: -2.500\r\n    Z: 0.000");
  EXPECT_EQ(ViewState().StatusText(),
            "Selected point: \r\n    X: 0.000\r\n    Y: 0.000\r\n    Z: 0.000");

  // Local mode (on, it turns rotation mode off) moves along the crosshair's own axes.
  view.Key(ViewKey::T, {});
  EXPECT_EQ(std::tuple(view.local_mode, view.rotation_mode), std::tuple(true, false));
  view.crosshair_position = {};
  view.crosshair_rotation = {0, 1.5707964f, 0};  // a quarter turn about Y
  view.Key(ViewKey::W, {});
  EXPECT_NEAR(view.crosshair_position.x, 0.5, 1e-6);
  EXPECT_NEAR(view.crosshair_position.z, 0, 1e-6);
}

TEST(ViewState, PresetsZoomAndMouse) {
  ViewState view;
  const std::vector<Vector3> points = {{3, -4, 1}, {0, 2, 0}};
  view.SetView(static_cast<int>(ViewPreset::Back));
  view.ResetView(points);
  EXPECT_EQ(view.extent, 4);
  EXPECT_FLOAT_EQ(view.eye.z, -8);
  view.SetZoomText("1.5");
  EXPECT_FLOAT_EQ(view.eye.z, -12);  // stays behind the model
  for (const char* refused : {"letters", "0"}) {
    view.SetZoomText(refused);
    EXPECT_EQ(view.zoom, 1) << refused;
  }
  // 9 gives Perspective.
  EXPECT_EQ((std::tuple{view.SetView(9), view.preset()}),
            std::tuple(static_cast<int>(ViewPreset::Back), ViewPreset::Perspective));
  EXPECT_TRUE(view.MouseMove({.right = true}, 3, 4));  // right and down: zoom in by 5/(50*4)
  EXPECT_DOUBLE_EQ(view.zoom, 1.025);
  view.MouseMove({.right = true}, 3, -4);
  EXPECT_LT(view.zoom, 1.025);
  // A diagonal drag multiplies by 1 + sqrt(2)/200: the box shows a single's seven digits.
  view.SetZoom(1);
  view.MouseMove({.right = true}, 1, 1);
  EXPECT_EQ(view.ZoomText(), "1.007071");
  // Panning moves extent / 50 per event, whatever the movement's length.
  view.MouseMove({.left = true, .right = true}, 30, 0);
  EXPECT_FLOAT_EQ(view.pan.x, 0.08f);
  view.MouseMove({.left = true}, -50, 100);
  EXPECT_FLOAT_EQ(view.rotation.y, static_cast<float>(3.14159265358979 / 6) + 0.1f);
}

TEST(ViewState, MatricesPutTheCrosshairWhereTheModelIs) {
  ViewState view;
  view.SetView(static_cast<int>(ViewPreset::Front));
  view.ResetView(std::vector<Vector3>{{10, 10, 10}});
  view.crosshair_position = {5, 0, 0};
  const Matrix4 camera = Multiply(Multiply(view.World(), view.View()), ViewState::Projection(1));
  // The origin lands in the middle of the picture, at a depth inside the view volume.
  const Vector3 centre = TransformPoint({0, 0, 0}, camera);
  EXPECT_NEAR(centre.x, 0, 1e-6);
  EXPECT_TRUE(centre.z > 0 && centre.z < 1) << centre.z;
  // The crosshair's own origin, through C then the camera, lands where its position does.
  const Vector3 crosshair = TransformPoint({0, 0, 0}, Multiply(view.Crosshair(), camera));
  const Vector3 point = TransformPoint({5, 0, 0}, camera);
  EXPECT_NEAR(crosshair.x, point.x, 1e-6);
  EXPECT_NE(point.x, 0);
}

// The largest distance from the middle of the picture, in picture halves (1 is the edge), of
// the points as the view shows them.
double Reach(const ViewState& view, const std::vector<Vector3>& points, float aspect) {
  const Matrix4 all = Multiply(Multiply(view.World(), view.View()), ViewState::Projection(aspect));
  double reach = 0;
  for (const Vector3& p : points) {
    const Vector3 shown = TransformPoint(p, all);
    reach = std::max(
        {reach, std::abs(static_cast<double>(shown.x)), std::abs(static_cast<double>(shown.y))});
  }
  return reach;
}

// A long ship off the origin, seen from above in a wide view and from the front in a tall one:
// the presets cut its ends off, Fit shows all of it and fills the view.
TEST(ViewState, FitShowsTheWholeModelInEveryPreset) {
  std::vector<Vector3> ship;
  for (const float x : {-6.0f, 6.0f}) {
    for (const float y : {-4.0f, 4.0f}) {
      for (const float z : {-110.0f, 90.0f}) ship.push_back({x + 3, y, z});
    }
  }
  for (const auto& [preset, aspect] :
       {std::pair{ViewPreset::Top, 1.6f}, std::pair{ViewPreset::Left, 0.7f},
        std::pair{ViewPreset::Back, 1.0f}, std::pair{ViewPreset::Perspective, 1.3f}}) {
    ViewState view;
    view.SetView(static_cast<int>(preset));
    view.ResetView(ship);
    if (preset == ViewPreset::Top || preset == ViewPreset::Left) {
      EXPECT_GT(Reach(view, ship, aspect), 1) << static_cast<int>(preset);
    }
    view.Fit(ship, aspect);
    const double reach = Reach(view, ship, aspect);
    EXPECT_LE(reach, 1) << static_cast<int>(preset);
    EXPECT_GT(reach, 0.85) << static_cast<int>(preset);
  }
}

}  // namespace
}  // namespace gantry
