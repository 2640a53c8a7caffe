#include "gui/workspace_view.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/view_control.h"
#include "gui/workspace_text.h"
#include "view/viewer_scene.h"

namespace gantry {
namespace {

// Above this many triangles a coarse stand-in is drawn while the camera moves, as in the object
// viewer.
constexpr std::size_t kMovingTriangles = 250000;
constexpr int kMovingCells = 64;

}  // namespace

WorkspaceView::WorkspaceView(const HodModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
  setObjectName(QStringLiteral("WorkspaceView"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  view_ = new ViewControl(this);
  view_->setObjectName(QStringLiteral("ctlWorkspaceView"));
  view_->SetCrosshairShown(false);
  layout->addWidget(view_);

  auto* fit = new QPushButton(QString::fromLatin1(workspace_text::kFit), this);
  fit->setObjectName(QStringLiteral("cmdWorkspaceFit"));
  connect(fit, &QPushButton::clicked, this, &WorkspaceView::Fit);
  auto* fit_key = new QShortcut(QKeySequence(Qt::Key_F), this);
  fit_key->setContext(Qt::WidgetWithChildrenShortcut);
  connect(fit_key, &QShortcut::activated, this, &WorkspaceView::Fit);
  view_->AddToBar(fit);

  auto* layers = new QToolButton(this);
  layers->setObjectName(QStringLiteral("cmdWorkspaceLayers"));
  layers->setText(QString::fromLatin1(workspace_text::kLayers));
  layers->setPopupMode(QToolButton::InstantPopup);
  layer_menu_ = new QMenu(layers);
  for (std::size_t f = 0; f < kOverlayFamilies; ++f) {
    QAction* action = layer_menu_->addAction(QString::fromLatin1(kOverlayFamilyNames[f]));
    action->setCheckable(true);
    action->setChecked(true);
    action->setObjectName(QStringLiteral("mnuLayer%1").arg(f));
    const OverlayMask bit = 1u << f;
    connect(action, &QAction::toggled, this,
            [this, bit](bool on) { SetLayers(on ? (layers_ | bit) : (layers_ & ~bit)); });
  }
  layers->setMenu(layer_menu_);
  view_->AddToBar(layers);

  connect(view_, &ViewControl::clicked, this, &WorkspaceView::ClickAt);
  ModelChanged(true);
}

void WorkspaceView::ModelChanged(bool replaced) {
  if (replaced) selection_.reset();
  const bool geometry_changed = !built_ || model_.Meshes != meshes_ ||
                                model_.JointList != joints_ || model_.Materials != materials_ ||
                                model_.Textures != textures_ ||
                                model_.BackgroundMeshSet != background_;
  if (geometry_changed) RebuildScene();
  if (replaced) Fit();
  RebuildOverlay();
}

void WorkspaceView::RebuildScene() {
  if (model_.Textures != textures_) decoded_.clear();
  meshes_ = model_.Meshes;
  joints_ = model_.JointList;
  materials_ = model_.Materials;
  textures_ = model_.Textures;
  background_ = model_.BackgroundMeshSet;
  built_ = true;

  const bool multi_meshes = TypeOf(model_) != HodType::Background;
  auto scene = std::make_shared<const std::vector<SceneBuffer>>(
      BuildScene(model_, multi_meshes, DefaultSceneTicks(model_)));
  std::map<std::int32_t, RgbaImage> pictures;
  if (multi_meshes) {
    for (const SceneBuffer& buffer : *scene) {
      if (buffer.material < 0) continue;
      const auto texture = DiffuseTexture(model_, static_cast<std::size_t>(buffer.material));
      if (!texture) continue;
      auto found = decoded_.find(*texture);
      if (found == decoded_.end()) {
        found = decoded_.emplace(*texture, DecodeForDisplay(model_.Textures[*texture], 1)).first;
      }
      if (found->second) pictures[buffer.material] = *found->second;
    }
  }
  ViewControl::Scene moving;
  if (SceneTriangles(*scene) > kMovingTriangles) {
    moving =
        std::make_shared<const std::vector<SceneBuffer>>(SimplifiedScene(*scene, kMovingCells));
  }
  view_->SetScene(std::move(scene),
                  std::make_shared<const std::map<std::int32_t, RgbaImage>>(std::move(pictures)),
                  std::move(moving));
}

void WorkspaceView::RebuildOverlay() {
  if (!selection_) {
    view_->SetOverlay(nullptr);
    return;
  }
  view_->SetOverlay(std::make_shared<const Overlay>(
      BuildOverlay(model_, *selection_, view_->state().extent, layers_)));
}

void WorkspaceView::SetSelection(std::optional<WorkspaceSelection> selection) {
  if (selection == selection_) return;
  selection_ = selection;
  RebuildOverlay();
}

void WorkspaceView::SetLayers(OverlayMask mask) {
  layers_ = mask & kAllOverlays;
  for (std::size_t f = 0; f < kOverlayFamilies; ++f) {
    QAction* action = layer_menu_->actions().at(static_cast<qsizetype>(f));
    const QSignalBlocker block(action);
    action->setChecked((layers_ & (1u << f)) != 0);
  }
  RebuildOverlay();
}

void WorkspaceView::Fit() {
  view_->ResetView();
  // A preset keeps its direction; without one the model is seen from a three-quarter angle.
  if (!view_->state().preset()) view_->SetView(static_cast<int>(ViewPreset::Perspective));
  // The selection too: dock paths and burns often reach well beyond the hull.
  std::vector<Vector3> selected;
  if (selection_) {
    for (const OverlayBatch& batch :
         BuildOverlay(model_, *selection_, view_->state().extent, layers_).batches) {
      for (const SceneVertex& v : batch.vertices) selected.push_back(v.position);
    }
  }
  view_->Fit(selected);
  RebuildOverlay();
}

void WorkspaceView::ClickAt(QPoint at, bool shift) {
  const ScreenMapping screen = view_->Screen();
  if (shift) {
    emit positionPicked(SurfacePoint(model_, screen, at.x(), at.y()));
    return;
  }
  if (const auto hit = Pick(model_, screen, at.x(), at.y(), layers_)) {
    SetSelection(hit->selection);
    emit picked(hit->selection);
  }
}

}  // namespace gantry
