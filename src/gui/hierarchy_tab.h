// The Hierarchy tab: the joint tree (labels renamed in place), the selected joint's position,
// rotation, scale and axis, its three degrees of freedom, and adding and removing joints.
#pragma once

#include <QList>
#include <array>
#include <optional>

#include "gui/editor_tab.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace gantry {

class HierarchyTab : public EditorTab {
  Q_OBJECT
 public:
  explicit HierarchyTab(EditorForm& form);
  void Refresh() override;

  // The selected joint (its place in the joint list).
  std::optional<std::size_t> Selected() const;
  void Select(std::size_t joint) override;

 private:
  // The selected joint, or nullopt after saying that one must be selected.
  std::optional<std::size_t> RequireJoint();
  void ShowJoint();
  bool StoreValue(std::size_t box, double value);
  void Renamed(QTreeWidgetItem* item);

  QTreeWidget* tree_;
  QList<QTreeWidgetItem*> items_;  // in joint-list order
  std::array<QLineEdit*, 12> boxes_{};
  std::array<QCheckBox*, 3> freedom_{};
};

}  // namespace gantry
