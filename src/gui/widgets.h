// Small helpers every window of the editor uses to make its widgets.
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <cstddef>
#include <functional>
#include <optional>

class QLayout;
class QLineEdit;
class QListWidget;
class QObject;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace gantry {

// A string-table entry as a caption.
QString Caption(int entry);
// A named button added to `layout`.
QPushButton* AddButton(QWidget* parent, QLayout* layout, const char* name, const QString& caption);
QListWidget* NewList(QWidget* parent, const char* name);

// The row the user selected, when it is below `count`. A list that takes the keyboard focus
// makes a row current without selecting it; such a row is not a selection.
std::optional<std::size_t> SelectedRow(const QListWidget* list, std::size_t count);
// Runs `changed` whenever what SelectedRow gives may have changed (a click makes the row
// current first and selects it after).
void OnSelectionChange(QListWidget* list, QObject* context, const std::function<void()>& changed);
// No row current or selected.
void ClearSelection(QListWidget* list);
void ClearSelection(QTreeWidget* tree);

// Empties a box without counting that as typing (QLineEdit::clear would).
void EmptyBox(QLineEdit* box);

// Where a window of `size` wanted at `wanted` stands wholly on the screen that holds that
// point (or the primary screen): moved in from the edges it would cross.
QPoint OnScreen(const QPoint& wanted, const QSize& size);

}  // namespace gantry
