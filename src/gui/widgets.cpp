#include "gui/widgets.h"

#include <QGuiApplication>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <algorithm>

#include "gui/qt_ui.h"
#include "gui/string_table.h"

namespace gantry {

QString Caption(int entry) { return ToQt(strings::Entry(entry)); }

QPushButton* AddButton(QWidget* parent, QLayout* layout, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  layout->addWidget(button);
  return button;
}

QListWidget* NewList(QWidget* parent, const char* name) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  return list;
}

std::optional<std::size_t> SelectedRow(const QListWidget* list, std::size_t count) {
  const int row = list->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= count) return std::nullopt;
  const QListWidgetItem* item = list->item(row);
  if (item == nullptr || !item->isSelected()) return std::nullopt;
  return static_cast<std::size_t>(row);
}

void OnSelectionChange(QListWidget* list, QObject* context, const std::function<void()>& changed) {
  QObject::connect(list, &QListWidget::currentRowChanged, context, changed);
  QObject::connect(list, &QListWidget::itemSelectionChanged, context, changed);
}

void ClearSelection(QListWidget* list) {
  list->setCurrentRow(-1);
  list->clearSelection();
}

void ClearSelection(QTreeWidget* tree) {
  tree->setCurrentItem(nullptr);
  tree->clearSelection();
}

void EmptyBox(QLineEdit* box) {
  box->setText(QString());
  box->setModified(false);
}

QPoint OnScreen(const QPoint& wanted, const QSize& size) {
  const QScreen* screen = QGuiApplication::screenAt(wanted);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return wanted;
  const QRect area = screen->availableGeometry();
  const int x = std::max(area.left(), std::min(wanted.x(), area.right() + 1 - size.width()));
  const int y = std::max(area.top(), std::min(wanted.y(), area.bottom() + 1 - size.height()));
  return {x, y};
}

}  // namespace gantry
