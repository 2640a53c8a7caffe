// Small helpers every window of the editor uses to make its widgets.
#pragma once

#include <QString>

class QLayout;
class QListWidget;
class QPushButton;
class QWidget;

namespace gantry {

// A string-table entry as a caption.
QString Caption(int entry);
// A named button added to `layout`.
QPushButton* AddButton(QWidget* parent, QLayout* layout, const char* name, const QString& caption);
QListWidget* NewList(QWidget* parent, const char* name);

}  // namespace gantry
