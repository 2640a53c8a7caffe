#include "view/object_viewer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "gui/gui_helpers.h"
#include "hod/reset.h"
#include "view/view_control.h"

namespace gantry {
namespace {

using testing::Find;

// A textured quad under a joint, in two levels of detail.
HodModel QuadModel() {
  HodModel model = MakeDefaultModel();
  MeshPart part;
  part.VertexMask = kMaskPosition | kMaskUV;
  for (int i = 0; i < 4; ++i) {
    MeshVertex v;
    v.Position = {static_cast<float>(i % 2) * 20 - 10, static_cast<float>(i / 2) * 20 - 10, 0, 1};
    v.UV = {static_cast<float>(i % 2), static_cast<float>(i / 2)};
    part.Vertices.push_back(v);
  }
  FaceList list;
  list.Type = kFaceListTriangles;
  list.Indices = {0, 2, 1, 1, 2, 3, 0, 1, 2, 1, 3, 2};  // both sides
  part.FaceLists = {list};
  MultiMesh mesh;
  mesh.Name = "Hull";
  mesh.ParentName = "Root";
  mesh.Lods = {LodMesh{}, LodMesh{}};
  mesh.Lods[0].Parts = {part};
  model.Meshes = {mesh};
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
  EXPECT_EQ(viewer.view(3)->state().preset(), ViewPreset::Perspective);
  EXPECT_EQ(viewer.view(1)->state().preset(), ViewPreset::Top);

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

  testing::OnNextModal([](QWidget* dialog) { Find<QPushButton>(dialog, "cmdCancel")->click(); });
  EXPECT_EQ(PickPose(model, true, {}, {}, nullptr), std::nullopt);
}

// Needs OpenGL 3.3: runs under Xvfb with Mesa (ctest's gui_draw), skips on the offscreen
// platform.
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

  // Clearing the level of detail empties the views.
  viewer.tree()->topLevelItem(0)->child(0)->setCheckState(0, Qt::Unchecked);
  const QImage empty = front->canvas()->grabFramebuffer();
  EXPECT_EQ(empty.pixelColor(empty.width() / 2 + 5, empty.height() / 2 + 5), QColor(Qt::black));
}

}  // namespace
}  // namespace gantry
