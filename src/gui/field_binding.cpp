#include "gui/field_binding.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>

#include "commands/names.h"
#include "common/ui.h"
#include "gui/qt_ui.h"
#include "gui/shell_text.h"

namespace gantry {

NumberBox::NumberBox(QLineEdit* box, const FieldRule& rule, FieldContext context,
                     std::function<bool(double)> store)
    : QObject(box), box_(box), rule_(rule), context_(std::move(context)), store_(std::move(store)) {
  box->installEventFilter(this);
  connect(box, &QLineEdit::returnPressed, this, &NumberBox::Leave);
}

bool NumberBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == box_ && context_.checking()) {
    if (event->type() == QEvent::FocusIn) {
      // Show the number the text stands for, keeping whether it was typed in.
      const bool modified = box_->isModified();
      box_->setText(ToQt(EnteredFieldText(FromQt(box_->text()))));
      box_->setModified(modified);
      box_->end(false);
    } else if (event->type() == QEvent::FocusOut) {
      Leave();
    }
  }
  return QObject::eventFilter(watched, event);
}

void NumberBox::Leave() {
  // Only what was typed is stored: passing through a box that shows a rounded value must not
  // round the model's value.
  if (leaving_ || !box_->isModified() || !context_.checking()) return;
  leaving_ = true;
  const FieldCheck check = CheckField(FromQt(box_->text()), rule_, context_.ui());
  box_->setText(ToQt(check.text));
  // A corrected box is stored when it is next left with a valid text.
  box_->setModified(!check.value.has_value());
  if (check.value) store_(*check.value);
  leaving_ = false;
}

NameBox::NameBox(QLineEdit* box, Family family, FieldContext context)
    : QObject(box), box_(box), family_(std::move(family)), context_(std::move(context)) {
  box->installEventFilter(this);
  connect(box, &QLineEdit::textEdited, this, &NameBox::Typed);
  Show();
}

void NameBox::Show() {
  const auto selected = family_.selected();
  const auto names = family_.names();
  if (selected && *selected < names.size()) {
    box_->setText(ToQt(names[*selected]));
  } else {
    box_->setText(QString::fromLatin1(shell_text::kObjectName));
  }
}

void NameBox::Typed(const QString& text) {
  if (!context_.checking()) return;
  const auto selected = family_.selected();
  if (!selected) {
    context_.ui().Message(family_.select_first, Icon::Exclamation);
    box_->setText(QString::fromLatin1(shell_text::kObjectName));
    return;
  }
  family_.store(*selected, FromQt(text));
}

bool NameBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == box_ && event->type() == QEvent::FocusOut) Leave();
  return QObject::eventFilter(watched, event);
}

void NameBox::Leave() {
  if (leaving_ || !family_.unique || !context_.checking()) return;
  const auto selected = family_.selected();
  if (!selected) return;
  // Picking another element of the same list is not a rename to check.
  if (family_.own_list && QApplication::focusWidget() == family_.own_list) return;
  leaving_ = true;
  const std::string typed = FromQt(box_->text());
  const std::string unique = MakeUniqueName(family_.names(), selected, typed, context_.ui());
  if (unique != typed) {
    box_->setText(ToQt(unique));
    family_.store(*selected, unique);
  }
  leaving_ = false;
}

}  // namespace gantry
