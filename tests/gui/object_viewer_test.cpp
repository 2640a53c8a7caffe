#include "gui/object_viewer.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>

#include "gui/gui_helpers.h"
#include "gui/qt_ui.h"
#include "gui/tool_dialogs.h"
#include "gui/view_control.h"
#include "hod/reset.h"
#include "support/model_parts.h"

namespace gantry {
namespace {

using testing::Find;

// A textured quad, seen from both sides, under a joint in two levels of detail.
HodModel QuadModel() {
  HodModel model = MakeDefaultModel();
  MultiMesh& mesh = model.Meshes.emplace_back();
  mesh.Name = "Hull";
  mesh.ParentName = "Root";
  mesh.Lods = {testing::LodOf({testing::SquarePart(10, {0, 2, 1, 1, 2, 3, 0, 1, 2, 1, 3, 2})}),
               LodMesh{}};
  return model;
}

TEST(ObjectViewerTest, TreeTicksFirstLevelsAndApplyReturnsTheCrosshair) {
  const HodModel model = QuadModel();
  ObjectViewer viewer(model, true, {});
  QTreeWidget* tree = Find<QTreeWidget>(&viewer, "tvwObjects");
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  QTreeWidgetItem* mesh = tree->topLevelItem(0);
  ASSERT_EQ(mesh->childCount(), 2);
  EXPECT_EQ(mesh->child(0)->text(0), QStringLiteral("LoD: 0"));
  EXPECT_EQ(mesh->child(0)->checkState(0), Qt::Checked);
  EXPECT_EQ(mesh->child(1)->checkState(0), Qt::Unchecked);
  // Clearing the level of detail empties the views.
  EXPECT_FALSE(viewer.view(3)->scene().empty());
  mesh->child(0)->setCheckState(0, Qt::Unchecked);
  EXPECT_TRUE(viewer.view(3)->scene().empty());

  viewer.SetPose({{1, 2, 3}, {0, 0.5f, 0}});
  ViewControl* top = viewer.view(1);
  top->state().Key(ViewKey::W, {.shift = true});
  viewer.SyncFrom(top);
  EXPECT_EQ(viewer.view(0)->state().crosshair_position, (Vector3{1, 2, 8}));

  testing::OnNextModal([](QWidget* dialog) { Find<QPushButton>(dialog, "cmdApply")->click(); });
  viewer.exec();
  EXPECT_FALSE(viewer.cancelled());
  EXPECT_EQ(viewer.Pose().position, (Vector3{1, 2, 8}));
  EXPECT_EQ(viewer.Pose().rotation, (Vector3{0, 0.5f, 0}));

  // Cancelled, no pose; opened again, at the size it was left at.
  QSize reopened;
  for (const bool first : {true, false}) {
    testing::OnNextModal([&reopened, first](QWidget* dialog) {
      if (first) dialog->resize(900, 700);
      if (!first) reopened = dialog->size();
      Find<QPushButton>(dialog, "cmdCancel")->click();
    });
    EXPECT_EQ(PickPose(model, true, {}, {}, nullptr), std::nullopt);
  }
  EXPECT_EQ(reopened, QSize(900, 700));
}

// Needs OpenGL 3.3 (ctest's gui_draw, under Xvfb with Mesa); skips on the offscreen platform.
TEST(ObjectViewerTest, ViewsDrawTheTickedMeshes) {
  const HodModel model = QuadModel();
  ObjectViewer viewer(model, true, {});
  viewer.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
  ViewControl* front = viewer.view(0);
  if (!front->drawing()) GTEST_SKIP() << "no OpenGL 3.3 on this platform";
  const QImage shown = front->canvas()->grabFramebuffer();
  // The quad fills the middle of the front view; the corners stay black.
  const QColor middle = shown.pixelColor(shown.width() / 2 + 5, shown.height() / 2 + 5);
  EXPECT_GT(middle.lightness(), 100);
  EXPECT_EQ(shown.pixelColor(2, 2), QColor(Qt::black));
}

// The two faces of a cube of half-size 10 that the middle of a front view looks through: +z
// red, -z green. Each is wound clockwise as seen from outside, as the game's models are;
// `inward` turns them round, as a background's sky sphere is made to be seen from inside.
std::vector<SceneBuffer> Cube(bool inward) {
  SceneBuffer buffer;
  for (const float z : {-10.0f, 10.0f}) {
    const std::uint8_t on = 255, off = 0;
    const std::array<std::uint8_t, 4> colour = {z > 0 ? on : off, z > 0 ? off : on, off, on};
    // In the left-handed space of the views a triangle is clockwise from the side its normal
    // (b - a) x (c - a) points to: these point along +z, outward on the positive side.
    Vector3 quad[4] = {{-10, -10, z}, {10, -10, z}, {10, 10, z}, {-10, 10, z}};
    if ((z > 0) == inward) std::swap(quad[1], quad[3]);
    for (const int k : {0, 1, 2, 0, 2, 3}) {
      SceneVertex v;
      v.position = quad[k];
      v.colour = colour;
      buffer.vertices.push_back(v);
    }
  }
  return {buffer};
}

// Near the middle, clear of the crosshair's lines through it; the face in front of the camera
// fills the whole view from every place the test looks from.
QRgb Middle(ViewControl& view) {
  const QImage shown = view.canvas()->grabFramebuffer();
  return shown.pixel(shown.width() / 2 + 17, shown.height() / 2 + 13) & 0xFFFFFF;
}

// Needs OpenGL 3.3 (ctest's gui_draw, under Xvfb with Mesa); skips on the offscreen platform.
TEST(ViewControlTest, DrawShowsOnlyFacesTurnedToTheCameraAndTexturesOpaque) {
  ViewControl view;
  view.resize(320, 300);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  if (!view.drawing()) GTEST_SKIP() << "no OpenGL 3.3 on this platform";
  constexpr QRgb kRed = 0xFF0000, kGreen = 0x00FF00, kBlack = 0;
  auto* zoom = Find<QLineEdit>(&view, "txtZoomValue");

  // From outside, in front: the near face, not the far one seen through the cube.
  view.SetScene(std::make_shared<const std::vector<SceneBuffer>>(Cube(false)), nullptr);
  view.SetView(static_cast<int>(ViewPreset::Front));
  view.ResetView();
  EXPECT_EQ(Middle(view), kRed);
  // From inside every face turns its back: nothing is drawn.
  zoom->setText(QStringLiteral("0.2"));
  EXPECT_EQ(Middle(view), kBlack);
  // A cube made to be seen from inside (a sky): its far wall fills the view.
  view.SetScene(std::make_shared<const std::vector<SceneBuffer>>(Cube(true)), nullptr);
  view.ResetView();
  zoom->setText(QStringLiteral("0.2"));
  EXPECT_EQ(Middle(view), kGreen);

  // A cube in one colour whose alpha is nearly 0, textured with a picture of the same kind: a
  // ship texture's alpha is a mask, and the view draws it opaque.
  std::vector<SceneBuffer> square = Cube(false);
  for (SceneVertex& v : square[0].vertices) {
    v.colour = {255, 255, 255, 8};
    v.u = v.position.x > 0 ? 1.0f : 0.0f;
    v.v = v.position.y > 0 ? 1.0f : 0.0f;
  }
  square[0].material = 3;
  auto pictures = std::make_shared<std::map<std::int32_t, RgbaImage>>();
  RgbaImage& picture = (*pictures)[3];
  picture.width = picture.height = 2;
  for (int i = 0; i < 4; ++i) picture.pixels.insert(picture.pixels.end(), {255, 0, 0, 8});
  view.SetScene(std::make_shared<const std::vector<SceneBuffer>>(square), pictures);
  view.ResetView();
  EXPECT_EQ(Middle(view), kRed);
}

// The texture preview shows the colour opaque, and the alpha on its own when asked.
TEST(TexturePreviewTest, ShowsColourOpaqueAndAlphaAlone) {
  RgbaImage image;
  image.width = 2;
  image.height = 1;
  image.pixels = {200, 100, 50, 0, 10, 20, 30, 255};
  TexturePreview preview(image, QStringLiteral("hull.dds"));
  const auto shown = [&preview](int x) {
    return Find<QLabel>(&preview, "imgPreview")->pixmap().toImage().pixelColor(x, 0);
  };
  EXPECT_EQ(shown(0), QColor(200, 100, 50));
  EXPECT_EQ(shown(1), QColor(10, 20, 30));
  Find<QComboBox>(&preview, "cboChannel")->setCurrentIndex(1);
  EXPECT_EQ(shown(0), QColor(0, 0, 0));
  EXPECT_EQ(shown(1), QColor(255, 255, 255));
}

// Fit (its button or F) frames the whole of a long model in every view; the wheel zooms.
TEST(ObjectViewerTest, FitFramesTheModelAndTheWheelZooms) {
  HodModel model = QuadModel();
  for (MeshVertex& v : model.Meshes[0].Lods[0].Parts[0].Vertices) v.Position.z = v.Position.y * 20;
  ObjectViewer viewer(model, true, {});
  viewer.show();
  viewer.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
  ViewControl* top = viewer.view(1);
  const double preset_zoom = top->state().zoom;
  Find<QPushButton>(&viewer, "cmdFit")->click();
  EXPECT_GT(top->state().zoom, preset_zoom);  // the long model needs the camera further back
  EXPECT_EQ(Find<QLineEdit>(top, "txtZoomValue")->text(), ToQt(top->state().ZoomText()));
  for (std::size_t i = 0; i < 4; ++i) viewer.view(i)->state().SetZoom(1);
  QTest::keyClick(&viewer, Qt::Key_F);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NE(viewer.view(i)->state().zoom, 1) << i;

  const double fitted = top->state().zoom;
  QWheelEvent wheel(QPointF(50, 50), top->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(top, &wheel);
  EXPECT_LT(top->state().zoom, fitted);
}

}  // namespace
}  // namespace gantry
