#include "gui/editor_tab.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "gui/editor_form.h"
#include "gui/qt_ui.h"
#include "gui/string_table.h"
#include "hod/workspace.h"

namespace gantry {

EditorTab::EditorTab(EditorForm& form) : QWidget(&form), form_(form) {}

HodModel& EditorTab::model() { return form_.workspace().model; }
Workspace& EditorTab::workspace() { return form_.workspace(); }
Ui& EditorTab::ui() { return form_.ui(); }
FieldContext EditorTab::context() { return form_.field_context(); }
bool EditorTab::checking() const { return form_.validation(); }

void EditorTab::Filling(const std::function<void()>& fill) {
  const bool was = form_.validation();
  form_.SetValidation(false);
  fill();
  form_.SetValidation(was);
}

void EditorTab::Apply(const CommandResult& result) {
  if (result.changed) form_.Refresh();
  if (result.select) Select(*result.select);
}

QLineEdit* EditorTab::AddNumberBox(QGridLayout* grid, int row, int column, const QString& name,
                                   const FieldRule& rule, std::function<bool(double)> store) {
  auto* box = new QLineEdit(this);
  box->setObjectName(name);
  box->setMinimumWidth(70);
  new NumberBox(box, rule, context(), std::move(store));
  grid->addWidget(box, row, column);
  return box;
}

}  // namespace gantry
