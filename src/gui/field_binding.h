// Ties the editor's boxes to the model: numeric boxes checked and corrected when left, name
// boxes stored as typed and made unique when left, check boxes stored when clicked. Every
// binding asks the form whether checking is on (it is off while a refresh fills the boxes).
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "commands/field_rules.h"

class QCheckBox;
class QLineEdit;
class QListWidget;

namespace gantry {

class Ui;

// Whether field checking is on, and the Ui to report through.
struct FieldContext {
  std::function<bool()> checking;
  std::function<Ui&()> ui;
};

// A numeric box. `store` writes an accepted value into the selected element; it returns false
// when nothing is selected (the value then stays on screen only).
class NumberBox : public QObject {
  Q_OBJECT
 public:
  NumberBox(QLineEdit* box, const FieldRule& rule, FieldContext context,
            std::function<bool(double)> store);

  // Runs the check made when the box is left (also used by Return).
  void Leave();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QLineEdit> box_;
  const FieldRule& rule_;
  FieldContext context_;
  std::function<bool(double)> store_;
  bool leaving_ = false;
};

// A name box of a family. `names` lists the family's names, `selected` its selected element;
// `store` writes a name into that element (and its list entry).
class NameBox : public QObject {
  Q_OBJECT
 public:
  struct Family {
    const char* select_first;        // the tab's request when nothing is selected
    QPointer<QListWidget> own_list;  // leaving for it skips the uniqueness check; may be null
    bool unique = true;              // names of this family are kept unique
    std::function<std::vector<std::string>()> names;
    std::function<std::optional<std::size_t>()> selected;
    std::function<void(std::size_t, const std::string&)> store;
  };
  NameBox(QLineEdit* box, Family family, FieldContext context);

  // Fills the box from the selection (the placeholder when there is none).
  void Show();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Typed(const QString& text);
  void Leave();

  QPointer<QLineEdit> box_;
  Family family_;
  FieldContext context_;
  bool leaving_ = false;
};

}  // namespace gantry
