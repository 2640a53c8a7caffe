#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QDockWidget>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "gui/editor_form.h"
#include "gui/gui_helpers.h"
#include "gui/main_window.h"
#include "gui/texture_panel.h"
#include "gui/view_control.h"
#include "gui/workspace_selection.h"
#include "gui/workspace_view.h"
#include "hod/reset.h"
#include "support/corpus.h"
#include "support/model_parts.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"
#include "view/handles_model.h"

namespace gantry {
namespace {

using testing::Find;

class WorkspaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.clear();
    window_ = std::make_unique<MainWindow>(settings_);
    window_->SetUi(&ui_);
  }

  // As Open leaves a model it has read.
  void Load(const HodModel& model) {
    window_->workspace().model = model;
    window_->ModelReplaced();
  }
  WorkspaceView& view() { return window_->workspace_view(); }
  ViewControl& control() { return *view().view(); }
  EditorForm& form() { return window_->editor(); }
  // The front view, the square filling the middle.
  void LookFront() {
    control().SetView(static_cast<int>(ViewPreset::Front));
    view().Fit();
  }
  QPoint Where(const Vector3& p) {
    const auto at = ProjectToScreen(p, control().Screen());
    EXPECT_TRUE(at);
    return at ? QPoint(qRound(at->x), qRound(at->y)) : QPoint();
  }
  // The scene's first corner, in model space.
  Vector3 FirstCorner() {
    if (control().scene().empty() || control().scene()[0].vertices.empty()) {
      ADD_FAILURE() << "empty scene";
      return {};
    }
    return control().scene()[0].vertices[0].position;
  }

  QSettings settings_;
  testing::ScriptedUi ui_;
  std::unique_ptr<MainWindow> window_;
};

TEST_F(WorkspaceTest, FollowsTheFormsSelectionAndPicksIntoIt) {
  Load(testing::HandlesModel());
  auto* tabs = Find<QTabWidget>(&form(), "sstMainTab");
  const auto tab = [tabs] { return tabs->tabText(tabs->currentIndex()); };

  // Selecting in the form: the shown tab's row, node or point.
  SelectInForm(form(), {OverlayFamily::Joint, 1, std::nullopt});
  EXPECT_EQ(tab(), QStringLiteral("Hierarchy"));
  EXPECT_EQ(Find<QTreeWidget>(&form(), "tvwHIER")->currentItem()->text(0), QStringLiteral("Arm"));
  EXPECT_EQ(view().selection(), (WorkspaceSelection{OverlayFamily::Joint, 1, std::nullopt}));
  ASSERT_NE(control().overlay(), nullptr);
  EXPECT_EQ(control().overlay()->labels.at(0).text, "Arm");
  SelectInForm(form(), {OverlayFamily::DockPath, 0, 2});
  EXPECT_EQ(Find<QSlider>(&form(), "sldDOCKKeyF")->value(), 2);
  EXPECT_EQ(view().selection(), (WorkspaceSelection{OverlayFamily::DockPath, 0, 2}));
  SelectInForm(form(), {OverlayFamily::EngineBurn, 0, std::nullopt});
  EXPECT_EQ(Find<QListWidget>(&form(), "lstBURN")->currentRow(), 0);
  EXPECT_EQ(view().selection(), (WorkspaceSelection{OverlayFamily::EngineBurn, 0, std::nullopt}));
  // A tab without anything the view draws clears the overlay.
  tabs->setCurrentIndex(0);
  EXPECT_EQ(view().selection(), std::nullopt);
  EXPECT_EQ(control().overlay(), nullptr);

  // Clicking on a handle selects its element in the form; on the square, the mesh.
  LookFront();
  view().ClickAt(Where({-5, 6, 0}), false);
  EXPECT_EQ(tab(), QStringLiteral("Dockpaths"));
  EXPECT_EQ(Find<QListWidget>(&form(), "lstDOCK")->currentRow(), 0);
  EXPECT_EQ(Find<QSlider>(&form(), "sldDOCKKeyF")->value(), 2);
  view().ClickAt(Where({-8, 8, 0}) + QPoint(0, 8), false);
  EXPECT_EQ(tab(), QStringLiteral("Geometry"));
  EXPECT_EQ(form().Selected("lstGeometry"), 0u);
  EXPECT_EQ(view().selection(), (WorkspaceSelection{OverlayFamily::Mesh, 0, 0}));
  // With the mesh layer off (from the view's layer menu) the square is not picked.
  view().layer_menu()->actions().at(0)->setChecked(false);
  tabs->setCurrentIndex(0);
  view().ClickAt(Where({-2, -3, 0}), false);
  EXPECT_EQ(tabs->currentIndex(), 0);

  // Shift-click: the point under the cursor, in the status bar and on the clipboard.
  view().ClickAt(Where({2, -3, 0}), true);
  const QString copied = QGuiApplication::clipboard()->text();
  EXPECT_TRUE(Find<QLabel>(window_.get(), "pnlStatus")->text().endsWith(copied));
  const QStringList xyz = copied.split(QStringLiteral(", "));
  ASSERT_EQ(xyz.size(), 3);
  // Within the pixel the click was rounded to.
  const double pixel = 1.0 / (Where({12, -3, 0}) - Where({2, -3, 0})).manhattanLength() * 10;
  EXPECT_NEAR(xyz[0].toDouble(), 2, pixel);
  EXPECT_NEAR(xyz[1].toDouble(), -3, pixel);
  EXPECT_EQ(xyz[2], QStringLiteral("0.000"));
  view().ClickAt(QPoint(1, 1), true);
  EXPECT_TRUE(Find<QLabel>(window_.get(), "pnlStatus")->text().startsWith("Nothing"));

  // Fit frames the selection with the model: a dock point far off the square comes into view.
  HodModel far = testing::HandlesModel();
  far.DockPathList.Paths[0].Points[2].Position = {400, 0, 0};
  Load(far);
  LookFront();
  const auto in_view = [&](const Vector3& p) {
    return QRect(0, 0, control().Screen().width, control().Screen().height).contains(Where(p));
  };
  EXPECT_FALSE(in_view({400, 0, 0}));
  SelectInForm(form(), {OverlayFamily::DockPath, 0, 2});
  Find<QPushButton>(&view(), "cmdWorkspaceFit")->click();
  EXPECT_TRUE(in_view({400, 0, 0}));
  EXPECT_TRUE(in_view({-10, -10, 0}));
}

TEST_F(WorkspaceTest, EditsAndUndoShowAtOnceAndNewClears) {
  Load(testing::HandlesModel());
  EXPECT_EQ(FirstCorner(), (Vector3{-10, -10, 0}));
  // Root moved through its position box: the square moves with it.
  SelectInForm(form(), {OverlayFamily::Joint, 0, std::nullopt});
  auto* x = Find<QLineEdit>(&form(), "txtHIERData0");
  x->setFocus();
  x->selectAll();
  QTest::keyClicks(x, QStringLiteral("50"));
  QTest::keyClick(x, Qt::Key_Return);
  QTest::qWait(0);
  EXPECT_EQ(FirstCorner(), (Vector3{40, -10, 0}));
  // The joint's overlay follows it too.
  ASSERT_NE(control().overlay(), nullptr);
  EXPECT_EQ(control().overlay()->labels.at(0).position, (Vector3{50, 0, 0}));

  Find<QAction>(window_.get(), "mnuEditUndo")->trigger();
  EXPECT_EQ(FirstCorner(), (Vector3{-10, -10, 0}));
  Find<QAction>(window_.get(), "mnuEditRedo")->trigger();
  EXPECT_EQ(FirstCorner(), (Vector3{40, -10, 0}));

  // New: an empty view and no selection.
  ui_.answers.push_back(Answer::No);  // the changes are not saved
  testing::OnNextModal([](QWidget* dialog) { Find<QPushButton>(dialog, "cmdApply")->click(); });
  Find<QAction>(window_.get(), "mnuFileNew")->trigger();
  EXPECT_TRUE(control().scene().empty());
  EXPECT_EQ(view().selection(), std::nullopt);
}

TEST_F(WorkspaceTest, OpeningAShipShowsItAndTheDockIsRemembered) {
  const testing::TempFolder folder;
  const std::string ship =
      testing::CopyCorpusFile("Mephistofeles__hw2-shaders__hgn_scout.hod", folder.path());
  if (ship.empty()) GTEST_SKIP() << "no corpus";
  window_->OpenPath(QString::fromStdString(ship));
  EXPECT_GT(SceneTriangles(control().scene()), 100u);
  EXPECT_GT(control().state().extent, 1);

  // Hidden and a layer switched off when the run ends; so again in the next run.
  view().SetLayers(kAllOverlays & ~OverlayBit(OverlayFamily::Light));
  window_->show();
  window_->workspace_dock()->hide();
  window_->EndRun();
  window_.reset();
  MainWindow again(settings_);
  again.show();
  EXPECT_FALSE(again.workspace_dock()->isVisible());
  EXPECT_EQ(again.workspace_view().layers(), kAllOverlays & ~OverlayBit(OverlayFamily::Light));
}

TEST_F(WorkspaceTest, TexturesTabPreviewsEachLevelColourAndAlphaApart) {
  HodModel model = MakeDefaultModel();
  Texture texture{{}, 0, "hull.tga", "8888", 3, 4, 4, {}};
  // Every pixel half transparent, the levels 4 x 4, 2 x 2 and 1 x 1.
  for (int side : {4, 2, 1}) {
    MipLevel level;
    for (int i = 0; i < side * side; ++i) level.insert(level.end(), {200, 100, 50, 128});
    texture.MipLevels.push_back(level);
  }
  model.Textures = {texture};
  Load(model);

  const TextureLevelImages images = LevelImages(texture, 1);
  EXPECT_EQ(qAlpha(images.colour.pixel(1, 1)), 255);  // drawn opaque
  EXPECT_EQ(qGray(images.alpha.pixel(1, 1)), 128);
  EXPECT_TRUE(LevelImages(texture, 4).colour.isNull());  // no such level

  auto* list = Find<QListWidget>(&form(), "lstTextures");
  EXPECT_FALSE(list->item(0)->icon().isNull());
  TexturePanel* panel = form().texture_panel();
  list->setCurrentRow(0);
  EXPECT_EQ(panel->info()->text(), QStringLiteral("8888, level 1 of 3: 4 x 4"));
  EXPECT_FALSE(panel->colour()->pixmap().isNull());
  EXPECT_FALSE(panel->alpha()->pixmap().isNull());
  panel->level_box()->setValue(3);
  EXPECT_EQ(panel->info()->text(), QStringLiteral("8888, level 3 of 3: 1 x 1"));
  EXPECT_EQ(panel->level_box()->maximum(), 3);
}

// Needs OpenGL 3.3 (ctest's gui_draw under Xvfb); skips on the offscreen platform. Each family's
// selected element is drawn in the selection colour where its position projects.
TEST_F(WorkspaceTest, DrawShowsEachFamilysSelectionWhereItProjects) {
  window_->resize(1200, 800);
  window_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  if (!control().drawing()) GTEST_SKIP() << "no OpenGL 3.3 on this platform";
  Load(testing::HandlesModel());
  LookFront();
  const auto colour_at = [&](const Vector3& p) {
    const QImage shown = control().canvas()->grabFramebuffer();
    const QPoint at = Where(p);
    EXPECT_TRUE(shown.rect().contains(at));
    return shown.pixelColor(at.x(), at.y());
  };
  const QColor selected(kSelectedColour[0], kSelectedColour[1], kSelectedColour[2]);
  const struct {
    WorkspaceSelection selection;
    Vector3 at;
  } cases[] = {
      {{OverlayFamily::Joint, 1, std::nullopt}, {5, 0, 0}},
      {{OverlayFamily::Marker, 0, std::nullopt}, {0, -7, 0}},
      {{OverlayFamily::DockPath, 0, 1}, {-5, 0, 0}},
      {{OverlayFamily::NavLight, 0, std::nullopt}, {5, 0, 0}},
      {{OverlayFamily::EngineBurn, 0, std::nullopt}, {3, 6, 0}},
      {{OverlayFamily::Boundary, 0, 1}, {6, -5, 0}},
      {{OverlayFamily::Light, 0, std::nullopt}, {-3, 7, 0}},
  };
  for (const auto& c : cases) {
    SelectInForm(form(), c.selection);
    ASSERT_EQ(view().selection(), c.selection) << static_cast<int>(c.selection.family);
    EXPECT_EQ(colour_at(c.at), selected) << static_cast<int>(c.selection.family);
  }
  // The square, white, tinted once its mesh is selected.
  const Vector3 inside{2, -3, 0};
  Find<QTabWidget>(&form(), "sstMainTab")->setCurrentIndex(0);
  const QColor plain = colour_at(inside);
  EXPECT_EQ(plain, QColor(Qt::white));
  SelectInForm(form(), {OverlayFamily::Mesh, 0, 0});
  const QColor tinted = colour_at(inside);
  EXPECT_GT(tinted.red(), tinted.blue() + 40);

  // A real click on a handle selects it in the form.
  QTest::mouseClick(control().canvas(), Qt::LeftButton, {}, Where({-3, 7, 0}));
  EXPECT_EQ(form().Selected("lstLITE"), 0u);
  EXPECT_EQ(colour_at({-3, 7, 0}), selected);
}

}  // namespace
}  // namespace gantry
