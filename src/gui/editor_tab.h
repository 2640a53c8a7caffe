// A tab of the editor form: its widgets, how it refills them from the model, and the helpers
// every tab uses to lay out bound boxes.
#pragma once

#include <QWidget>
#include <functional>

#include "commands/command_result.h"
#include "commands/field_rules.h"
#include "gui/field_binding.h"
#include "gui/widgets.h"

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace gantry {

class EditorForm;
struct HodModel;
struct Workspace;

class EditorTab : public QWidget {
  Q_OBJECT
 public:
  explicit EditorTab(EditorForm& form);
  // Refills every widget of the tab from the model (checking is off meanwhile).
  virtual void Refresh() = 0;
  // Makes an element of the tab's main list (or tree) the selected one.
  virtual void Select(std::size_t /*element*/) {}

 protected:
  HodModel& model();
  Workspace& workspace();
  Ui& ui();
  FieldContext context();
  bool checking() const;
  // Runs `fill` with checking off, for writing many boxes at once.
  void Filling(const std::function<void()>& fill);
  // After a command: the whole form refilled when the model changed, then the element the
  // command names selected.
  void Apply(const CommandResult& result);

  QLineEdit* AddNumberBox(QGridLayout* grid, int row, int column, const QString& name,
                          const FieldRule& rule, std::function<bool(double)> store);

  EditorForm& form_;
};

}  // namespace gantry
