#include "gui/list_tab.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "common/number_text.h"
#include "gui/editor_form.h"
#include "gui/qt_ui.h"
#include "gui/string_table.h"
#include "hod/model.h"
#include "hod/workspace.h"

namespace gantry {

ListTab::ListTab(EditorForm& form, TabDescription desc) : EditorTab(form), desc_(std::move(desc)) {
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName(QString::fromLatin1(desc_.list_name));
  layout->addWidget(list_, 1);

  if (desc_.details) {
    details_ = new QLabel(this);
    details_->setObjectName(QString::fromLatin1(desc_.list_name) + QStringLiteral("Details"));
    layout->addWidget(details_);
  }
  auto* grid = new QGridLayout;
  grid_ = grid;
  int row = 0;
  if (desc_.name_box != nullptr) {
    grid->addWidget(new QLabel(QStringLiteral("Name"), this), row, 0);
    name_ = new QLineEdit(this);
    name_->setObjectName(QString::fromLatin1(desc_.name_box));
    grid->addWidget(name_, row++, 1, 1, 3);
    NameBox::Family family;
    family.select_first = desc_.select_first;
    family.own_list = desc_.list_skips_check ? list_ : nullptr;
    family.unique = desc_.unique_names;
    family.names = [this] {
      std::vector<std::string> names;
      for (std::size_t i = 0; i < desc_.count(model()); ++i)
        names.push_back(desc_.name(model(), i));
      return names;
    };
    family.selected = [this] { return Selected(); };
    family.store = [this](std::size_t i, const std::string& name) {
      desc_.set_name(model(), i, name);
      if (QListWidgetItem* item = list_->item(static_cast<int>(i))) {
        item->setText(desc_.entry(model(), i));
      }
    };
    name_binding_ = new NameBox(name_, std::move(family), context());
  }
  if (desc_.parent_box != nullptr) {
    grid->addWidget(new QLabel(ToQt(strings::Entry(8)), this), row, 0);
    parent_ = new QComboBox(this);
    parent_->setObjectName(QString::fromLatin1(desc_.parent_box));
    grid->addWidget(parent_, row++, 1, 1, 3);
    connect(parent_, &QComboBox::activated, this, [this](int index) {
      const auto selected = Selected();
      if (!checking() || !selected || index < 0) return;
      desc_.set_parent(model(), *selected, FromQt(parent_->itemText(index)));
      list_->item(static_cast<int>(*selected))->setText(desc_.entry(model(), *selected));
    });
  }
  if (desc_.choice_box != nullptr) {
    grid->addWidget(new QLabel(QStringLiteral("Type"), this), row, 0);
    choice_ = new QComboBox(this);
    choice_->setObjectName(QString::fromLatin1(desc_.choice_box));
    choice_->addItems(desc_.choices);
    grid->addWidget(choice_, row++, 1, 1, 3);
    connect(choice_, &QComboBox::activated, this, [this](int index) {
      const auto selected = Selected();
      if (checking() && selected && index >= 0) desc_.set_choice(model(), *selected, index);
    });
  }
  for (const NumberBoxDescription& number : desc_.numbers) {
    grid->addWidget(new QLabel(number.label, this), row, 0);
    const NumberBoxDescription* desc = &number;
    numbers_.push_back(
        AddNumberBox(grid, row++, 1, number.name, *number.rule, [this, desc](double value) {
          const auto selected = Selected();
          if (!selected) return false;
          desc->set(model(), *selected, value);
          return true;
        }));
  }
  layout->addLayout(grid);
  extra_ = new QVBoxLayout;
  layout->addLayout(extra_);

  // Buttons four to a row, so a family with many commands still fits a narrow window.
  auto* buttons = new QGridLayout;
  constexpr int kPerRow = 4;
  int at = 0;
  for (const TabDescription::Command& command : desc_.commands) {
    auto* button = new QPushButton(command.caption, this);
    button->setObjectName(QString::fromLatin1(command.name));
    buttons->addWidget(button, at / kPerRow, at % kPerRow);
    ++at;
    connect(button, &QPushButton::clicked, this, [this, &command] { Run(command); });
  }
  layout->addLayout(buttons);

  OnSelectionChange(list_, this, [this] {
    // A click reports the new current row first and its selection after: show each change once.
    const auto now = Selected();
    if (now == shown_) return;
    shown_ = now;
    ShowElement();
    emit selectionChanged();
  });
}

std::optional<std::size_t> ListTab::Selected() const {
  return SelectedRow(list_, desc_.count(form_.workspace().model));
}

void ListTab::Select(std::size_t element) {
  if (element < static_cast<std::size_t>(list_->count())) {
    list_->setCurrentRow(static_cast<int>(element));
  }
}

void ListTab::Run(const TabDescription::Command& command) {
  Apply(command.run_in_form ? command.run_in_form(form_, Selected())
                            : command.run(workspace(), Selected(), ui()));
}

void ListTab::Refresh() {
  const auto keep = Selected();
  {
    const QSignalBlocker block(list_);
    list_->clear();
    const std::size_t count = desc_.count(model());
    for (std::size_t i = 0; i < count; ++i) list_->addItem(desc_.entry(model(), i));
    if (keep && *keep < count) list_->setCurrentRow(static_cast<int>(*keep));
    shown_ = Selected();
  }
  if (parent_ != nullptr) {
    Filling([this] {
      parent_->clear();
      for (const Joint& joint : model().JointList.Joints) parent_->addItem(ToQt(joint.Name));
    });
  }
  ShowElement();
}

void ListTab::ShowElement() {
  Filling([this] {
    const auto selected = Selected();
    if (name_binding_ != nullptr) name_binding_->Show();
    if (parent_ != nullptr) {
      parent_->setCurrentIndex(selected ? parent_->findText(ToQt(desc_.parent(model(), *selected)))
                                        : -1);
    }
    if (choice_ != nullptr) {
      choice_->setCurrentIndex(selected ? desc_.choice(model(), *selected) : -1);
    }
    if (details_ != nullptr) details_->setText(selected ? desc_.details(model(), *selected) : "");
    for (std::size_t i = 0; i < numbers_.size(); ++i) {
      const NumberBoxDescription& number = desc_.numbers[i];
      if (!selected) {
        EmptyBox(numbers_[i]);
        continue;
      }
      const double value = number.get(model(), *selected);
      numbers_[i]->setText(
          ToQt(number.single ? NumberText(static_cast<float>(value)) : NumberText(value)));
    }
  });
}

}  // namespace gantry
