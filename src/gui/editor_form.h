// The editor form: one tab per family of HOD data. The form keeps nothing of its own: Refresh
// fills every tab from the model, and edits go straight into the model.
#pragma once

#include <QList>
#include <QWidget>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>

#include "commands/joints.h"
#include "commands/transforms.h"
#include "gui/field_binding.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QTabWidget;

namespace gantry {

struct HodModel;
struct Workspace;
class EditorTab;
class ListTab;
class MirrorOptionsDialog;
class TexturePanel;
class Ui;

class EditorForm : public QWidget {
  Q_OBJECT
 public:
  // `ui` gives the Ui in force at the time of asking (tests swap it).
  EditorForm(Workspace& workspace, std::function<Ui&()> ui, QWidget* parent = nullptr);

  // Opens the object viewer on a pose; nullopt when cancelled or when there is no viewer.
  // `multi_meshes` false shows the background meshes instead of the model's meshes.
  using PosePicker = std::function<std::optional<ViewerPose>(const ViewerPose&, bool)>;
  void set_pose_picker(PosePicker picker) { pick_pose_ = std::move(picker); }
  std::optional<ViewerPose> PickPose(const ViewerPose& pose, bool multi_meshes = true) {
    return pick_pose_ ? pick_pose_(pose, multi_meshes) : std::nullopt;
  }

  // The mirror options dialog (it keeps its boxes between uses); nullopt when cancelled.
  std::optional<MirrorOptions> AskMirrorOptions();

  Workspace& workspace() { return workspace_; }
  Ui& ui() { return ui_(); }
  FieldContext field_context();

  // Empties and refills every list, chooser and field from the model.
  void Refresh();
  // Field checking on or off as a whole (off while many fields are written at once).
  void SetValidation(bool on) { validation_ = on; }
  bool validation() const { return validation_; }

  // The selected element of a family's main list (by the list's object name), if any.
  std::optional<std::size_t> Selected(const char* list_name) const;
  QTabWidget* tabs() const { return tabs_; }
  TexturePanel* texture_panel() const { return texture_panel_; }

 private:
  EditorTab* AddTab(EditorTab* tab, const char* caption, QTabWidget* into = nullptr);
  void AddGeometryLods(ListTab* geometry);
  void BuildEnginesTab();
  void BuildMiscTab();
  void FillLods();
  void AddTexturePreview(ListTab* textures);
  void ShowTexture();
  void ShowTab(int index);

  Workspace& workspace_;
  HodModel& model_;
  std::function<Ui&()> ui_;
  PosePicker pick_pose_;
  bool validation_ = true;
  QTabWidget* tabs_;
  QList<EditorTab*> tabs_with_fields_;
  ListTab* geometry_ = nullptr;
  ListTab* textures_ = nullptr;
  TexturePanel* texture_panel_ = nullptr;
  QListWidget* lods_ = nullptr;
  QCheckBox* goblin_ = nullptr;
  MirrorOptionsDialog* mirror_options_ = nullptr;
  QLineEdit* owner_ = nullptr;
  QListWidget* warnings_ = nullptr;
  QListWidget* errors_ = nullptr;
};

}  // namespace gantry
