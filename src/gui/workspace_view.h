// The live 3D workspace docked in the main window: the current model textured as the object
// viewer draws it, the editor's selection drawn over it, a click selecting what is under the
// cursor. It follows the model through the main window's one change signal; the form's
// selection reaches it through the form's own lists (workspace_selection.h).
#pragma once

#include <QWidget>
#include <map>
#include <optional>

#include "hod/model.h"
#include "interchange/texture_decode.h"
#include "view/workspace_overlay.h"

class QToolButton;
class QMenu;

namespace gantry {

class ViewControl;

class WorkspaceView : public QWidget {
  Q_OBJECT
 public:
  explicit WorkspaceView(const HodModel& model, QWidget* parent = nullptr);

  // The model changed; `replaced` when it is another model altogether (opened, new): then the
  // selection goes and the camera fits it.
  void ModelChanged(bool replaced);
  void SetSelection(std::optional<WorkspaceSelection> selection);
  const std::optional<WorkspaceSelection>& selection() const { return selection_; }
  void SetLayers(OverlayMask mask);
  OverlayMask layers() const { return layers_; }
  // The camera back around the whole model and the selected element.
  void Fit();

  ViewControl* view() const { return view_; }
  QMenu* layer_menu() const { return layer_menu_; }
  // What a click at `at` (picture pixels) does: selects, or with `shift` reports the position.
  void ClickAt(QPoint at, bool shift);

 signals:
  void picked(const WorkspaceSelection& selection);
  // Shift-click: the model-space point under the cursor; nullopt when nothing is there.
  void positionPicked(std::optional<Vector3> position);

 private:
  void RebuildScene();
  void RebuildOverlay();

  const HodModel& model_;
  ViewControl* view_;
  QMenu* layer_menu_;
  OverlayMask layers_ = kAllOverlays;
  std::optional<WorkspaceSelection> selection_;
  // What the scene was built from: an edit elsewhere in the model leaves it as it is.
  std::vector<MultiMesh> meshes_;
  JointListRecord joints_;
  std::vector<Material> materials_;
  std::vector<Texture> textures_;
  BackgroundMeshSetRecord background_;
  bool built_ = false;
  std::map<std::size_t, std::optional<RgbaImage>> decoded_;
};

}  // namespace gantry
