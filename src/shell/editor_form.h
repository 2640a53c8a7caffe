// The editor form: one tab per family of HOD data, each with the list of its elements. The form
// keeps nothing of its own: Refresh fills every list from the model, and edits go straight into
// the model.
#pragma once

#include <QWidget>
#include <cstddef>
#include <optional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QSlider;
class QTabWidget;
class QTreeWidget;

namespace gantry {

struct HodModel;

class EditorForm : public QWidget {
  Q_OBJECT
 public:
  explicit EditorForm(HodModel& model, QWidget* parent = nullptr);

  // Empties and refills every list, chooser and field from the model.
  void Refresh();
  // Field checking on or off as a whole (off while many fields are written at once).
  void SetValidation(bool on) { validation_ = on; }
  bool validation() const { return validation_; }

  // The selected element of a family's main list (by the list's object name), if any.
  std::optional<std::size_t> Selected(const char* list_name) const;
  QTabWidget* tabs() const { return tabs_; }

 private:
  QWidget* AddListTab(const char* caption, const char* list_name);
  void BuildGeometryTab();
  void BuildHierarchyTab();
  void BuildEnginesTab();
  void BuildBoundaryTab();
  void BuildLightsTab();
  void BuildStarFieldsTab();
  void BuildMiscTab();
  void FillLods();
  void FillStarGroups();
  void ClearSelectionOfTab(int index);

  HodModel& model_;
  bool validation_ = true;
  QTabWidget* tabs_;
  QListWidget* geometry_ = nullptr;
  QListWidget* lods_ = nullptr;
  QTreeWidget* joints_ = nullptr;
  QLineEdit* boundary_count_ = nullptr;
  QSlider* boundary_slider_ = nullptr;
  QComboBox* star_family_ = nullptr;
  QComboBox* star_groups_ = nullptr;
  QLineEdit* owner_ = nullptr;
  QListWidget* warnings_ = nullptr;
  QListWidget* errors_ = nullptr;
};

}  // namespace gantry
