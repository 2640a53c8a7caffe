// A tab made of one family's list: the element's name box (kept unique where the family's names
// must be), the joint it hangs on, its numeric fields, and the family's command buttons. Each
// family is a description (family_tabs.cpp); this class does the rest.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "geometry/rotations.h"
#include "gui/editor_tab.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QListWidget;

namespace gantry {

struct NumberBoxDescription {
  QString label;
  QString name;
  const FieldRule* rule;
  bool single;  // a float in the model: shown with a single's digits
  std::function<double(HodModel&, std::size_t)> get;
  std::function<void(HodModel&, std::size_t, double)> set;
};

// A numeric field read and written through `access(model, element)`, a reference to a float or
// double member; `degrees` shows radians as degrees (0 to 360) and stores typed degrees as
// radians (0 to 2 pi).
template <typename Access>
NumberBoxDescription Number(QString label, QString name, const FieldRule& rule, Access access,
                            bool degrees = false);

struct TabDescription {
  const char* caption = nullptr;
  const char* list_name = nullptr;
  std::function<std::size_t(HodModel&)> count;
  std::function<QString(HodModel&, std::size_t)> entry;

  // The name box, when the family has one.
  const char* name_box = nullptr;
  const char* select_first = nullptr;
  bool unique_names = false;
  // Leaving the name box for the list itself skips the uniqueness check.
  bool list_skips_check = false;
  std::function<std::string(HodModel&, std::size_t)> name;
  std::function<void(HodModel&, std::size_t, const std::string&)> set_name;

  // The joint chooser, when the family hangs under joints.
  const char* parent_box = nullptr;
  std::function<std::string(HodModel&, std::size_t)> parent;
  std::function<void(HodModel&, std::size_t, const std::string&)> set_parent;

  std::vector<NumberBoxDescription> numbers;

  // A line about the selected element that is shown, not edited (sizes, formats, counts).
  std::function<QString(HodModel&, std::size_t)> details;

  // A fixed chooser (the light's type), its entries standing for 0, 1, 2, ...
  const char* choice_box = nullptr;
  QStringList choices;
  std::function<int(HodModel&, std::size_t)> choice;
  std::function<void(HodModel&, std::size_t, int)> set_choice;

  struct Command {
    const char* name;
    QString caption;
    std::function<CommandResult(Workspace&, std::optional<std::size_t>, Ui&)> run;
    // Commands that need the form itself (the object viewer) use this instead.
    std::function<CommandResult(EditorForm&, std::optional<std::size_t>)> run_in_form = {};
  };
  std::vector<Command> commands;
};

class ListTab : public EditorTab {
  Q_OBJECT
 public:
  ListTab(EditorForm& form, TabDescription desc);
  void Refresh() override;
  std::optional<std::size_t> Selected() const;
  QListWidget* list() const { return list_; }
  void Select(std::size_t element) override;
  // Tabs with more than the description holds put their widgets here, or, for more fields of
  // the element, in the fields' grid (label in column 0, so the boxes line up).
  QLayout* extra_layout() const { return extra_; }
  QGridLayout* field_grid() const { return grid_; }

 signals:
  void selectionChanged();

 protected:
  // Fills the element's boxes from the model again.
  void ShowElement();

 private:
  void Run(const TabDescription::Command& command);

  TabDescription desc_;
  QListWidget* list_;
  QLineEdit* name_ = nullptr;
  NameBox* name_binding_ = nullptr;
  QComboBox* parent_ = nullptr;
  QComboBox* choice_ = nullptr;
  QLabel* details_ = nullptr;
  std::vector<QLineEdit*> numbers_;
  QLayout* extra_;
  QGridLayout* grid_;
  // The selection the boxes show.
  std::optional<std::size_t> shown_;
};

template <typename Access>
NumberBoxDescription Number(QString label, QString name, const FieldRule& rule, Access access,
                            bool degrees) {
  using Value = std::remove_reference_t<decltype(access(std::declval<HodModel&>(), 0))>;
  return {std::move(label),
          std::move(name),
          &rule,
          std::is_same_v<Value, float>,
          [access, degrees](HodModel& model, std::size_t i) {
            const auto value = static_cast<double>(access(model, i));
            return degrees ? RadiansToDegrees(value) : value;
          },
          [access, degrees](HodModel& model, std::size_t i, double value) {
            access(model, i) = static_cast<Value>(degrees ? DegreesToRadians(value) : value);
          }};
}

}  // namespace gantry
