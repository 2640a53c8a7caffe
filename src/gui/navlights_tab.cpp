#include "gui/navlights_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "commands/create.h"
#include "commands/remove.h"
#include "common/number_text.h"
#include "gui/editor_form.h"
#include "gui/qt_ui.h"
#include "gui/string_table.h"
#include "hod/model.h"

namespace gantry {
namespace {

float& Channel(ColourRGBA& colour, std::size_t index) {
  switch (index) {
    case 0:
      return colour.r;
    case 1:
      return colour.g;
    case 2:
      return colour.b;
    default:
      return colour.a;
  }
}

QString Text(float value) { return ToQt(NumberText(value)); }

}  // namespace

NavlightsTab::NavlightsTab(EditorForm& form) : EditorTab(form) {
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("lstNAVL"));
  layout->addWidget(list_, 1);

  auto* grid = new QGridLayout;
  int row = 0;
  const auto label = [&](const char* text) {
    grid->addWidget(new QLabel(QString::fromLatin1(text), this), row, 0);
  };
  label("Joint (name)");
  joint_ = new QComboBox(this);
  joint_->setObjectName(QStringLiteral("cboNAVLName"));
  grid->addWidget(joint_, row++, 1, 1, 4);
  connect(joint_, &QComboBox::activated, this, [this](int index) {
    if (!checking() || index < 0) return;
    const std::string name = FromQt(joint_->itemText(index));
    if (Edit([&](NavLight& light) {
          light.Name = name;
          light.NameLength = static_cast<std::int32_t>(name.size());
        })) {
      list_->currentItem()->setText(ToQt(name));
    }
  });

  const auto number = [&](const char* text, const char* name, const FieldRule& rule,
                          float NavLight::*field) {
    label(text);
    return AddNumberBox(grid, row++, 1, QString::fromLatin1(name), rule, [this, field](double v) {
      return Edit([&](NavLight& light) { light.*field = static_cast<float>(v); });
    });
  };
  label("Section");
  section_ = AddNumberBox(
      grid, row++, 1, QStringLiteral("txtNAVLSection"), kIntegerField, [this](double v) {
        return Edit([&](NavLight& light) { light.Section = static_cast<std::int32_t>(v); });
      });
  size_ = number("Size", "txtNAVLSize", kPositiveField, &NavLight::Size);
  phase_ = number("Phase", "txtNAVLPhase", kNumberField, &NavLight::Phase);
  frequency_ = number("Frequency", "txtNAVLFrequency", kNumberField, &NavLight::Frequency);
  distance_ = number("Distance", "txtNAVLDistance", kPositiveField, &NavLight::Distance);

  label("Style");
  style_ = new QLineEdit(this);
  style_->setObjectName(QStringLiteral("txtNAVLStyle"));
  grid->addWidget(style_, row++, 1, 1, 4);
  connect(style_, &QLineEdit::textEdited, this, [this](const QString& typed) {
    if (!checking()) return;
    const std::string style = FromQt(typed);
    Edit([&](NavLight& light) {
      light.Style = style;
      light.StyleLength = static_cast<std::int32_t>(style.size());
    });
  });

  label("Colour (R G B A)");
  for (std::size_t i = 0; i < colour_.size(); ++i) {
    colour_[i] =
        AddNumberBox(grid, row, static_cast<int>(i) + 1, QStringLiteral("txtNAVLColour%1").arg(i),
                     kColourField, [this, i](double v) {
                       return Edit([&](NavLight& light) {
                         Channel(light.Colour, i) = static_cast<float>(v / 255.0);
                       });
                     });
  }
  ++row;
  sprite_ = new QCheckBox(QStringLiteral("Visible sprite"), this);
  sprite_->setObjectName(QStringLiteral("chkNAVLVisibleSprite"));
  cast_ = new QCheckBox(QStringLiteral("Cast light on HES"), this);
  cast_->setObjectName(QStringLiteral("chkNAVLCastLightOnHES"));
  grid->addWidget(sprite_, row, 1, 1, 2);
  grid->addWidget(cast_, row++, 3, 1, 2);
  connect(sprite_, &QCheckBox::clicked, this, [this](bool on) {
    if (checking()) Edit([on](NavLight& light) { light.VisibleSprite = on ? 1 : 0; });
  });
  connect(cast_, &QCheckBox::clicked, this, [this](bool on) {
    if (checking()) Edit([on](NavLight& light) { light.CastLightOnHES = on ? 1 : 0; });
  });
  layout->addLayout(grid);

  auto* buttons = new QHBoxLayout;
  connect(AddButton(this, buttons, "cmdNAVLAdd", Caption(300)), &QPushButton::clicked, this,
          [this] { Apply(AddNavLight(model())); });
  connect(AddButton(this, buttons, "cmdNAVLRemove", Caption(301)), &QPushButton::clicked, this,
          [this] { Apply(RemoveNavLight(workspace(), Selected())); });
  buttons->addStretch();
  layout->addLayout(buttons);

  OnSelectionChange(list_, this, [this] { ShowLight(); });
}

std::optional<std::size_t> NavlightsTab::Selected() const {
  return SelectedRow(list_, form_.workspace().model.NavLightList.NavLights.size());
}

void NavlightsTab::Select(std::size_t light) {
  if (light < static_cast<std::size_t>(list_->count())) {
    list_->setCurrentRow(static_cast<int>(light));
  }
}

bool NavlightsTab::Edit(const std::function<void(NavLight&)>& edit) {
  const auto selected = Selected();
  if (!selected) return false;
  edit(model().NavLightList.NavLights[*selected]);
  return true;
}

void NavlightsTab::Refresh() {
  const auto keep = Selected();
  {
    const QSignalBlocker block(list_);
    list_->clear();
    for (const NavLight& light : model().NavLightList.NavLights) list_->addItem(ToQt(light.Name));
    if (keep && *keep < static_cast<std::size_t>(list_->count())) {
      list_->setCurrentRow(static_cast<int>(*keep));
    }
  }
  Filling([this] {
    joint_->clear();
    for (const Joint& joint : model().JointList.Joints) joint_->addItem(ToQt(joint.Name));
  });
  ShowLight();
}

void NavlightsTab::ShowLight() {
  Filling([this] {
    const auto selected = Selected();
    QLineEdit* boxes[] = {section_,  size_,      phase_,     frequency_, style_,
                          distance_, colour_[0], colour_[1], colour_[2], colour_[3]};
    if (!selected) {
      for (QLineEdit* box : boxes) EmptyBox(box);
      joint_->setCurrentIndex(-1);
      sprite_->setChecked(false);
      cast_->setChecked(false);
      return;
    }
    NavLight& light = model().NavLightList.NavLights[*selected];
    joint_->setCurrentIndex(joint_->findText(ToQt(light.Name)));
    section_->setText(QString::number(light.Section));
    size_->setText(Text(light.Size));
    phase_->setText(Text(light.Phase));
    frequency_->setText(Text(light.Frequency));
    style_->setText(ToQt(light.Style));
    distance_->setText(Text(light.Distance));
    for (std::size_t i = 0; i < colour_.size(); ++i) {
      colour_[i]->setText(Text(Channel(light.Colour, i) * 255.0f));
    }
    sprite_->setChecked(light.VisibleSprite != 0);
    cast_->setChecked(light.CastLightOnHES != 0);
  });
}

}  // namespace gantry
