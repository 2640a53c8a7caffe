#include "gui/object_viewer.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/qt_ui.h"
#include "gui/view_control.h"

namespace gantry {
namespace {

constexpr const char* kRootMesh = "Root_mesh";
constexpr const char* kViewerGeometryKey = "Window/ViewerGeometry";
// Above this many triangles the views draw a coarse stand-in while the camera moves (software
// OpenGL turns a few hundred thousand triangles at a usable rate), with a grid this fine.
constexpr std::size_t kMovingTriangles = 250000;
constexpr int kMovingCells = 64;

}  // namespace

ObjectViewer::ObjectViewer(const HodModel& model, bool multi_meshes, const RenderConfig& config,
                           QWidget* parent)
    : QDialog(parent), model_(model), multi_meshes_(multi_meshes) {
  setObjectName(QStringLiteral("ObjectViewer"));
  setWindowTitle(QStringLiteral("Object Viewer"));
  resize(1100, 800);
  auto* layout = new QVBoxLayout(this);
  auto* splitter = new QSplitter(this);
  tree_ = new QTreeWidget(splitter);
  tree_->setObjectName(QStringLiteral("tvwObjects"));
  tree_->setHeaderHidden(true);
  auto* grid_host = new QWidget(splitter);
  auto* grid = new QGridLayout(grid_host);
  for (std::size_t i = 0; i < views_.size(); ++i) {
    auto* view = new ViewControl(grid_host);
    view->setObjectName(QStringLiteral("ViewControl%1").arg(i));
    view->SetConfig(config);
    grid->addWidget(view, static_cast<int>(i / 2), static_cast<int>(i % 2));
    views_[i] = view;
  }
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({220, 880});
  layout->addWidget(splitter, 1);

  auto* buttons = new QHBoxLayout;
  // Frames the whole model in every view (the presets stand back by the model's largest
  // coordinate, which cuts off the ends of a long ship seen from above).
  auto* fit = new QPushButton(QStringLiteral("&Fit (F)"), this);
  fit->setObjectName(QStringLiteral("cmdFit"));
  fit->setAutoDefault(false);
  buttons->addWidget(fit);
  connect(fit, &QPushButton::clicked, this, &ObjectViewer::FitAll);
  auto* fit_key = new QShortcut(QKeySequence(Qt::Key_F), this);
  connect(fit_key, &QShortcut::activated, this, &ObjectViewer::FitAll);
  auto* apply = new QPushButton(QStringLiteral("Apply"), this);
  apply->setObjectName(QStringLiteral("cmdApply"));
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("cmdCancel"));
  buttons->addStretch();
  buttons->addWidget(apply);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(apply, &QPushButton::clicked, this, [this] {
    cancelled_ = false;
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, [this] {
    cancelled_ = true;
    reject();
  });

  FillTree();
  connect(tree_, &QTreeWidget::itemChanged, this, [this] { ShowTicked(); });
  think_.setObjectName(QStringLiteral("tmrThink"));
  think_.setInterval(50);
  connect(&think_, &QTimer::timeout, this, &ObjectViewer::KeepInStep);
  ShowTicked();
}

void ObjectViewer::FillTree() {
  const QSignalBlocker block(tree_);
  tree_->clear();
  const SceneTicks ticks = DefaultSceneTicks(model_);
  if (!multi_meshes_) {
    for (std::size_t b = 0; b < model_.BackgroundMeshSet.Meshes.size(); ++b) {
      auto* item =
          new QTreeWidgetItem(tree_, {QStringLiteral("Background Mesh Part %1").arg(b + 1)});
      item->setCheckState(0, Qt::Checked);
    }
    return;
  }
  for (std::size_t m = 0; m < model_.Meshes.size(); ++m) {
    const MultiMesh& mesh = model_.Meshes[m];
    auto* node = new QTreeWidgetItem(tree_, {ToQt(mesh.Name)});
    node->setCheckState(0, mesh.Name == kRootMesh ? Qt::Checked : Qt::Unchecked);
    for (std::size_t l = 0; l < mesh.Lods.size(); ++l) {
      auto* lod = new QTreeWidgetItem(node, {QStringLiteral("LoD: %1").arg(l)});
      lod->setCheckState(0, ticks.lods[m][l] ? Qt::Checked : Qt::Unchecked);
    }
    node->setExpanded(true);
  }
}

SceneTicks ObjectViewer::Ticks() const {
  SceneTicks ticks;
  if (!multi_meshes_) {
    for (int b = 0; b < tree_->topLevelItemCount(); ++b) {
      ticks.background.push_back(tree_->topLevelItem(b)->checkState(0) == Qt::Checked);
    }
    return ticks;
  }
  for (int m = 0; m < tree_->topLevelItemCount(); ++m) {
    const QTreeWidgetItem* node = tree_->topLevelItem(m);
    std::vector<bool> levels;
    for (int l = 0; l < node->childCount(); ++l) {
      levels.push_back(node->child(l)->checkState(0) == Qt::Checked);
    }
    ticks.lods.push_back(std::move(levels));
  }
  return ticks;
}

const RgbaImage* ObjectViewer::TextureImage(std::size_t texture) {
  auto found = decoded_.find(texture);
  if (found == decoded_.end()) {
    found = decoded_.emplace(texture, DecodeForDisplay(model_.Textures[texture], 1)).first;
  }
  return found->second ? &*found->second : nullptr;
}

void ObjectViewer::ShowTicked() {
  auto scene =
      std::make_shared<const std::vector<SceneBuffer>>(BuildScene(model_, multi_meshes_, Ticks()));
  // Each material draws with its diffuse texture, decoded once for all four views.
  std::map<std::int32_t, RgbaImage> textures;
  if (multi_meshes_) {
    for (const SceneBuffer& buffer : *scene) {
      if (buffer.material < 0) continue;
      const auto texture = DiffuseTexture(model_, static_cast<std::size_t>(buffer.material));
      if (!texture) continue;
      if (const RgbaImage* image = TextureImage(*texture)) textures[buffer.material] = *image;
    }
  }
  const auto pictures =
      std::make_shared<const std::map<std::int32_t, RgbaImage>>(std::move(textures));
  ViewControl::Scene moving;
  if (SceneTriangles(*scene) > kMovingTriangles) {
    moving =
        std::make_shared<const std::vector<SceneBuffer>>(SimplifiedScene(*scene, kMovingCells));
  }
  const int presets[] = {0, 1, 2, 6};  // front, top, left, perspective
  for (std::size_t i = 0; i < views_.size(); ++i) {
    views_[i]->SetScene(scene, pictures, moving);
    views_[i]->ResetView();
    views_[i]->SetView(presets[i]);
    // The crosshair's lines reach a tenth of the model's size.
    views_[i]->ScaleCrosshair(static_cast<float>(views_[i]->state().extent / 10), true);
  }
  think_.start();
}

void ObjectViewer::FitAll() {
  for (ViewControl* view : views_) view->Fit();
}

void ObjectViewer::SetPose(const ViewerPose& pose) {
  for (ViewControl* view : views_) {
    view->SetCrosshairPosition(pose.position);
    view->SetCrosshairRotation(pose.rotation);
  }
}

ViewerPose ObjectViewer::Pose() const {
  const ViewState& state = views_[0]->state();
  return {state.crosshair_position, state.crosshair_rotation};
}

void ObjectViewer::KeepInStep() {
  if (!isActiveWindow()) return;
  const QWidget* focus = QApplication::focusWidget();
  ViewControl* source = nullptr;
  for (ViewControl* view : views_) {
    if (focus != nullptr && view->isAncestorOf(focus)) source = view;
  }
  if (source != nullptr) SyncFrom(source);
}

void ObjectViewer::SyncFrom(const ViewControl* source) {
  const ViewState& from = source->state();
  for (ViewControl* view : views_) {
    if (view == source) continue;
    ViewState& to = view->state();
    if (to.crosshair_position == from.crosshair_position &&
        to.crosshair_rotation == from.crosshair_rotation &&
        to.rotation_mode == from.rotation_mode) {
      continue;
    }
    to.crosshair_position = from.crosshair_position;
    to.crosshair_rotation = from.crosshair_rotation;
    to.rotation_mode = from.rotation_mode;
    to.local_mode = from.local_mode;
    view->CrosshairChanged();
  }
}

std::optional<ViewerPose> PickPose(const HodModel& model, bool multi_meshes,
                                   const RenderConfig& config, const ViewerPose& pose,
                                   QWidget* parent) {
  ObjectViewer viewer(model, multi_meshes, config, parent);
  viewer.SetPose(pose);
  // The size and place the user gave it last time.
  QSettings settings;
  viewer.restoreGeometry(settings.value(QString::fromLatin1(kViewerGeometryKey)).toByteArray());
  viewer.exec();
  settings.setValue(QString::fromLatin1(kViewerGeometryKey), viewer.saveGeometry());
  if (viewer.cancelled() || viewer.result() != QDialog::Accepted) return std::nullopt;
  return viewer.Pose();
}

}  // namespace gantry
