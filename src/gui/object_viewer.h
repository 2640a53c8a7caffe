// The object viewer: a modal window with four synchronised 3D views of the model (front, top,
// left, perspective) and a tree of the meshes and levels of detail to show. The editor's
// Position buttons open it on an element's current position; Apply hands back where the user
// put the crosshair.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <map>

#include "commands/joints.h"
#include "interchange/texture_decode.h"
#include "view/view_state.h"
#include "view/viewer_scene.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace gantry {

class ViewControl;

class ObjectViewer : public QDialog {
  Q_OBJECT
 public:
  // `multi_meshes` shows the model's meshes; false shows its background meshes.
  ObjectViewer(const HodModel& model, bool multi_meshes, const RenderConfig& config,
               QWidget* parent = nullptr);

  // Every view's crosshair starts here.
  void SetPose(const ViewerPose& pose);
  // Where the crosshair stands now (all views agree).
  ViewerPose Pose() const;
  bool cancelled() const { return cancelled_; }

  ViewControl* view(std::size_t index) const { return views_.at(index); }
  QTreeWidget* tree() const { return tree_; }

  // Shows the ticked objects in every view.
  void ShowTicked();
  // One tick of the timer: the focused view's crosshair goes to the others.
  void KeepInStep();
  void SyncFrom(const ViewControl* source);
  // Frames the whole model in every view.
  void FitAll();

 private:
  void FillTree();
  SceneTicks Ticks() const;
  const RgbaImage* TextureImage(std::size_t texture);

  const HodModel& model_;
  bool multi_meshes_;
  bool cancelled_ = false;
  QTreeWidget* tree_;
  std::array<ViewControl*, 4> views_{};
  QTimer think_;
  std::map<std::size_t, std::optional<RgbaImage>> decoded_;
};

// Opens the viewer on `pose` and returns the picked pose, or nullopt when cancelled.
std::optional<ViewerPose> PickPose(const HodModel& model, bool multi_meshes,
                                   const RenderConfig& config, const ViewerPose& pose,
                                   QWidget* parent);

}  // namespace gantry
