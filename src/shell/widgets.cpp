#include "shell/widgets.h"

#include <QLayout>
#include <QListWidget>
#include <QPushButton>

#include "shell/qt_ui.h"
#include "shell/string_table.h"

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

}  // namespace gantry
