#include "gui/hierarchy_tab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

#include "commands/joints.h"
#include "common/number_text.h"
#include "geometry/rotations.h"
#include "gui/editor_form.h"
#include "gui/qt_ui.h"
#include "gui/string_table.h"
#include "gui/tool_dialogs.h"
#include "hod/model.h"

namespace gantry {
namespace {

// Boxes 0-2 position, 3-5 rotation (degrees), 6-8 scale, 9-11 axis (degrees).
Vector3& Group(Joint& joint, std::size_t box) {
  switch (box / 3) {
    case 0:
      return joint.Position;
    case 1:
      return joint.Rotation;
    case 2:
      return joint.Scale;
    default:
      return joint.Axis;
  }
}

float& Component(Vector3& v, std::size_t index) {
  return index == 0 ? v.x : index == 1 ? v.y : v.z;
}

bool IsAngle(std::size_t box) { return box / 3 == 1 || box / 3 == 3; }

// Positions and angles are shown to three decimals; scales in full.
QString BoxText(double value, bool rounded) {
  if (!rounded) return ToQt(NumberText(static_cast<float>(value)));
  const double shown = std::round(value * 1000.0) / 1000.0;
  return ToQt(NumberText(shown == 0 ? 0.0 : shown));
}

}  // namespace

HierarchyTab::HierarchyTab(EditorForm& form) : EditorTab(form) {
  auto* layout = new QVBoxLayout(this);
  tree_ = new QTreeWidget(this);
  tree_->setObjectName(QStringLiteral("tvwHIER"));
  tree_->setHeaderHidden(true);
  tree_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
  layout->addWidget(tree_, 1);

  auto* grid = new QGridLayout;
  const char* rows[] = {"Position", "Rotation", "Scale", "Axis"};
  for (int row = 0; row < 4; ++row) {
    grid->addWidget(new QLabel(QString::fromLatin1(rows[row]), this), row, 0);
    for (int column = 0; column < 3; ++column) {
      const auto box = static_cast<std::size_t>(row * 3 + column);
      boxes_[box] =
          AddNumberBox(grid, row, column + 1, QStringLiteral("txtHIERData%1").arg(box),
                       kNumberField, [this, box](double v) { return StoreValue(box, v); });
    }
  }
  auto* checks = new QHBoxLayout;
  const char* axes[] = {"Freedom X", "Freedom Y", "Freedom Z"};
  for (std::size_t i = 0; i < freedom_.size(); ++i) {
    auto* check = new QCheckBox(QString::fromLatin1(axes[i]), this);
    check->setObjectName(QStringLiteral("chkHIERData%1").arg(i));
    connect(check, &QCheckBox::clicked, this, [this, i](bool on) {
      if (!checking()) return;
      if (const auto joint = Selected()) {
        model().JointList.Joints[*joint].Freedom[i] = on ? 1 : 0;
      }
    });
    checks->addWidget(check);
    freedom_[i] = check;
  }
  layout->addLayout(grid);
  layout->addLayout(checks);

  auto* buttons = new QHBoxLayout;
  connect(AddButton(this, buttons, "cmdHIERAdd", Caption(300)), &QPushButton::clicked, this,
          [this] { Apply(AddJoint(model(), Selected(), ui())); });
  connect(AddButton(this, buttons, "cmdHIERRemove", Caption(301)), &QPushButton::clicked, this,
          [this] { Apply(RemoveJoint(workspace(), Selected(), ui())); });
  auto* position = AddButton(this, buttons, "cmdHIERPosition", QStringLiteral("Position..."));
  connect(position, &QPushButton::clicked, this, [this] {
    const auto selected = RequireJoint();
    if (!selected) return;
    if (const auto picked = form_.PickPose(JointViewerPose(model(), *selected))) {
      Apply(PlaceJoint(model(), *selected, *picked));
    }
  });
  auto* hardpoint =
      AddButton(this, buttons, "cmdHIERAddHardpoint", QStringLiteral("Add Hardpoint..."));
  connect(hardpoint, &QPushButton::clicked, this, [this] {
    const auto selected = RequireJoint();
    if (!selected) return;
    HardpointDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted) return;
    Apply(AddHardpoint(model(), selected, dialog.Type(), FromQt(dialog.BaseName()), ui()));
    Select(*selected);
  });
  buttons->addStretch();
  layout->addLayout(buttons);

  // A click makes the node current first and selects it after.
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { ShowJoint(); });
  connect(tree_, &QTreeWidget::itemSelectionChanged, this, [this] { ShowJoint(); });
  connect(tree_, &QTreeWidget::itemChanged, this, &HierarchyTab::Renamed);
}

std::optional<std::size_t> HierarchyTab::RequireJoint() {
  const auto selected = Selected();
  if (const auto refused = RefuseWithoutJoint(model(), selected, ui())) {
    if (refused->select) Select(*refused->select);
    return std::nullopt;
  }
  return selected;
}

std::optional<std::size_t> HierarchyTab::Selected() const {
  // A tree that takes the focus makes a node current without selecting it: not a selection.
  QTreeWidgetItem* current = tree_->currentItem();
  if (current == nullptr || !current->isSelected()) return std::nullopt;
  const int index = static_cast<int>(items_.indexOf(current));
  if (index < 0) return std::nullopt;
  return static_cast<std::size_t>(index);
}

void HierarchyTab::Select(std::size_t joint) {
  if (joint < static_cast<std::size_t>(items_.size())) {
    tree_->setCurrentItem(items_[static_cast<qsizetype>(joint)]);
  }
}

void HierarchyTab::Refresh() {
  const auto keep = Selected();
  const QSignalBlocker block(tree_);
  tree_->clear();
  items_.clear();
  const std::vector<Joint>& joints = model().JointList.Joints;
  // Nodes are made in joint-list order, then hung under the first joint of their parent's name;
  // a joint whose parent is missing (or would make a cycle, in a damaged file) stays on top.
  QHash<QString, QTreeWidgetItem*> by_name;
  for (const Joint& joint : joints) {
    auto* item = new QTreeWidgetItem(QStringList(ToQt(joint.Name)));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    items_ << item;
    if (!by_name.contains(item->text(0))) by_name.insert(item->text(0), item);
  }
  for (std::size_t i = 0; i < joints.size(); ++i) {
    QTreeWidgetItem* item = items_[static_cast<qsizetype>(i)];
    QTreeWidgetItem* parent = by_name.value(ToQt(joints[i].ParentName));
    for (QTreeWidgetItem* up = parent; up != nullptr; up = up->parent()) {
      if (up == item) {
        parent = nullptr;
        break;
      }
    }
    if (parent != nullptr) {
      parent->addChild(item);
    } else {
      tree_->addTopLevelItem(item);
    }
  }
  tree_->expandAll();
  if (keep) Select(*keep);
  ShowJoint();
}

void HierarchyTab::ShowJoint() {
  Filling([this] {
    const auto selected = Selected();
    if (!selected) {
      for (QLineEdit* box : boxes_) EmptyBox(box);
      for (QCheckBox* check : freedom_) check->setChecked(false);
      return;
    }
    Joint& joint = model().JointList.Joints[*selected];
    for (std::size_t box = 0; box < boxes_.size(); ++box) {
      const double value = Component(Group(joint, box), box % 3);
      const bool angle = IsAngle(box);
      boxes_[box]->setText(BoxText(angle ? RadiansToDegrees(value) : value, box / 3 != 2));
    }
    for (std::size_t i = 0; i < freedom_.size(); ++i) {
      freedom_[i]->setChecked(joint.Freedom[i] != 0);
    }
  });
}

bool HierarchyTab::StoreValue(std::size_t box, double value) {
  const auto selected = Selected();
  if (!selected) {
    if (const auto refused = RefuseWithoutJoint(model(), selected, ui()); refused->select) {
      Select(*refused->select);
    }
    return false;
  }
  Joint& joint = model().JointList.Joints[*selected];
  Component(Group(joint, box), box % 3) =
      static_cast<float>(IsAngle(box) ? DegreesToRadians(value) : value);
  return true;
}

void HierarchyTab::Renamed(QTreeWidgetItem* item) {
  const int index = static_cast<int>(items_.indexOf(item));
  if (index < 0) return;
  const auto accepted =
      RenameJoint(model(), static_cast<std::size_t>(index), FromQt(item->text(0)), ui());
  // Parents follow the new name, so every list that shows joint names is refilled; later, since
  // the tree is still inside the edit that named the item.
  if (accepted) QTimer::singleShot(0, this, [this] { form_.Refresh(); });
}

}  // namespace gantry
