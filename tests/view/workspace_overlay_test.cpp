#include "view/workspace_overlay.h"

#include <gtest/gtest.h>

#include <cmath>

#include "view/handles_model.h"
#include "view/view_state.h"

namespace gantry {
namespace {

ScreenMapping FrontView(int w = 400, int h = 300) {
  ViewState state;
  const Vector3 corners[] = {{-10, -10, 0}, {10, 10, 0}};
  state.ResetView(corners);
  state.SetView(static_cast<int>(ViewPreset::Front));
  const float aspect = static_cast<float>(w) / static_cast<float>(h);
  return {Multiply(state.World(), Multiply(state.View(), ViewState::Projection(aspect))), w, h};
}

double Distance(const Vector3& a, const Vector3& b) {
  return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

TEST(WorkspaceOverlayTest, ScreenRayPassesThroughTheProjectedPoint) {
  const ScreenMapping screen = FrontView();
  EXPECT_FALSE(Inverse(Matrix4{}));  // the ray goes back through the inverse, if there is one

  // The origin lands in the middle; a point up and right lands up (smaller y) and right.
  const auto middle = ProjectToScreen({0, 0, 0}, screen);
  ASSERT_TRUE(middle);
  EXPECT_NEAR(middle->x, 200, 0.5);
  EXPECT_NEAR(middle->y, 150, 0.5);
  const Vector3 p{3, 4, 2};
  const auto at = ProjectToScreen(p, screen);
  ASSERT_TRUE(at);
  EXPECT_LT(at->y, 150);
  const auto ray = ScreenRay(screen, at->x, at->y);
  ASSERT_TRUE(ray);
  // The point lies on the ray: the ray passes through a tiny triangle around it.
  const float e = 1e-3f;
  EXPECT_TRUE(
      RayTriangle(*ray, {p.x - e, p.y - e, p.z}, {p.x + e, p.y - e, p.z}, {p.x, p.y + e, p.z}));
  // Far along the view axis one way the point is in sight, the other way behind the camera.
  EXPECT_NE(ProjectToScreen({0, 0, -1000}, screen).has_value(),
            ProjectToScreen({0, 0, 1000}, screen).has_value());
}

TEST(WorkspaceOverlayTest, RayTriangleHitsFromEitherSideOnlyInFront) {
  const Vector3 a{0, 0, 0}, b{1, 0, 0}, c{0, 1, 0};
  EXPECT_NEAR(*RayTriangle({{0.2f, 0.2f, -5}, {0, 0, 1}}, a, b, c), 5, 1e-9);
  EXPECT_NEAR(*RayTriangle({{0.2f, 0.2f, 5}, {0, 0, -2}}, a, b, c), 2.5, 1e-9);
  EXPECT_FALSE(RayTriangle({{0.2f, 0.2f, 5}, {0, 0, 1}}, a, b, c));   // behind
  EXPECT_FALSE(RayTriangle({{0.8f, 0.8f, -5}, {0, 0, 1}}, a, b, c));  // beside
  EXPECT_FALSE(RayTriangle({{0.2f, 0.2f, -5}, {1, 0, 0}}, a, b, c));  // parallel
}

TEST(WorkspaceOverlayTest, PickPrefersTheNearestHandleThenTriangles) {
  HodModel model = testing::HandlesModel();
  model.NavLightList.NavLights.clear();  // on the joint Arm
  const ScreenMapping screen = FrontView();
  const auto arm = ProjectToScreen({5, 0, 0}, screen);
  ASSERT_TRUE(arm);
  auto hit = Pick(model, screen, arm->x + 3, arm->y - 2);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->selection, (WorkspaceSelection{OverlayFamily::Joint, 1, std::nullopt}));

  const auto point = ProjectToScreen({-5, 6, 0}, screen);
  hit = Pick(model, screen, point->x, point->y);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->selection, (WorkspaceSelection{OverlayFamily::DockPath, 0, 2}));

  // Away from every handle the square is hit, at the point under the cursor.
  const auto surface = ProjectToScreen({7, 7, 0}, screen);
  hit = Pick(model, screen, surface->x, surface->y);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->selection, (WorkspaceSelection{OverlayFamily::Mesh, 0, 0}));
  EXPECT_LT(Distance(hit->position, {7, 7, 0}), 1e-2);
  // With the joints' layer off the joint is not picked; the square behind it is.
  hit = Pick(model, screen, arm->x, arm->y, kAllOverlays & ~OverlayBit(OverlayFamily::Joint));
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->selection.family, OverlayFamily::Mesh);
  // Outside the square nothing is there.
  EXPECT_FALSE(Pick(model, screen, 2, 2));
  EXPECT_FALSE(SurfacePoint(model, screen, 2, 2));
}

// The points of a given size in an overlay.
std::vector<SceneVertex> Points(const Overlay& overlay, float size) {
  std::vector<SceneVertex> out;
  for (const OverlayBatch& batch : overlay.batches) {
    if (batch.kind == OverlayKind::Points && batch.size == size) {
      out.insert(out.end(), batch.vertices.begin(), batch.vertices.end());
    }
  }
  return out;
}

TEST(WorkspaceOverlayTest, OverlaysDrawTheSelectedElementWhereItStands) {
  HodModel model = testing::HandlesModel();
  // The dock path: its points in order, the chosen one marked, numbered.
  Overlay overlay = BuildOverlay(model, {OverlayFamily::DockPath, 0, 1}, 10);
  const auto chosen = Points(overlay, kSelectedHandleSize);
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0].position, (Vector3{-5, 0, 0}));
  EXPECT_EQ(chosen[0].colour, kSelectedColour);
  EXPECT_EQ(Points(overlay, kHandleSize).size(), 2u);
  ASSERT_EQ(overlay.labels.size(), 3u);
  EXPECT_EQ(overlay.labels[2].text, "2");

  // A joint's handle follows its chain: moving Root moves Arm.
  model.JointList.Joints[0].Position = {0, 3, 0};
  overlay = BuildOverlay(model, {OverlayFamily::Joint, 1, std::nullopt}, 10);
  ASSERT_EQ(Points(overlay, kSelectedHandleSize).size(), 1u);
  EXPECT_EQ(Points(overlay, kSelectedHandleSize)[0].position, (Vector3{5, 3, 0}));
  EXPECT_EQ(overlay.labels.at(0).text, "Arm");

  // A masked family, or an element that is not there, draws nothing.
  EXPECT_TRUE(BuildOverlay(model, {OverlayFamily::Joint, 1, std::nullopt}, 10,
                           ~OverlayBit(OverlayFamily::Joint))
                  .empty());
  EXPECT_TRUE(BuildOverlay(model, {OverlayFamily::Marker, 1, std::nullopt}, 10).empty());

  // A scar grid of 2 x 1 x 1 cells over the box, only the second listing a triangle: one box of
  // twelve edges, standing in the second half.
  ScarMesh scar;
  scar.Box = {{0, 0, 0}, {2, 1, 1}};
  scar.Grid.SizeX = 2;
  scar.Grid.SizeY = scar.Grid.SizeZ = 1;
  scar.Grid.Cells.resize(2);
  scar.Grid.Cells[1].Indices = {0};
  model.ScarMeshes = {scar};
  overlay = BuildOverlay(model, {OverlayFamily::Scar, 0, std::nullopt}, 10);
  ASSERT_EQ(overlay.batches.size(), 1u);
  ASSERT_EQ(overlay.batches[0].vertices.size(), 24u);
  for (const SceneVertex& v : overlay.batches[0].vertices) EXPECT_GE(v.position.x, 1);
}

}  // namespace
}  // namespace gantry
