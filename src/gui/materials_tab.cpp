#include "gui/materials_tab.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "commands/material_messages.h"
#include "commands/materials.h"
#include "gui/editor_form.h"
#include "gui/family_tabs.h"
#include "gui/qt_ui.h"
#include "gui/string_table.h"
#include "hod/model.h"

namespace gantry {

MaterialsTab::MaterialsTab(EditorForm& form) : ListTab(form, MaterialsTabDescription()) {
  // The shader stands under the name, in the same grid.
  QGridLayout* fields = field_grid();
  const int shader_row = fields->rowCount();
  fields->addWidget(new QLabel(QStringLiteral("Shader"), this), shader_row, 0);
  shader_ = new QLineEdit(this);
  shader_->setObjectName(QStringLiteral("txtSTATShader"));
  shader_->setPlaceholderText(QString::fromLatin1(material_messages::kShaderPlaceholder));
  fields->addWidget(shader_, shader_row, 1, 1, 2);
  auto* choose = new QPushButton(QStringLiteral("Choose..."), this);
  choose->setObjectName(QStringLiteral("cmdSTATChooseShader"));
  choose->setToolTip(QString::fromLatin1(material_messages::kChooseShaderToolTip));
  fields->addWidget(choose, shader_row, 3);

  auto* grid = new QGridLayout;

  parameters_ = new QListWidget(this);
  parameters_->setObjectName(QStringLiteral("lstSTATParams"));
  parameters_->setMaximumHeight(120);
  grid->addWidget(parameters_, 1, 0, 1, 5);
  grid->addWidget(new QLabel(QStringLiteral("Colour (R G B A)"), this), 2, 0);
  for (std::size_t i = 0; i < colour_.size(); ++i) {
    colour_[i] =
        AddNumberBox(grid, 2, static_cast<int>(i) + 1, QStringLiteral("txtSTATColour%1").arg(i),
                     kColourField, [this, i](double value) {
                       MaterialParameter* parameter = Parameter();
                       if (parameter == nullptr) return false;
                       float* channels[] = {&parameter->Colour.r, &parameter->Colour.g,
                                            &parameter->Colour.b, &parameter->Colour.a};
                       *channels[i] = static_cast<float>(value / 255.0);
                       return true;
                     });
  }
  grid->addWidget(new QLabel(QStringLiteral("Texture"), this), 3, 0);
  texture_ = new QComboBox(this);
  texture_->setObjectName(QStringLiteral("cboSTATParamLayerNum"));
  grid->addWidget(texture_, 3, 1, 1, 4);
  extra_layout()->addItem(grid);

  auto* buttons = new QHBoxLayout;
  auto* add = new QPushButton(QStringLiteral("Add parameter"), this);
  add->setObjectName(QStringLiteral("cmdSTATParamAdd"));
  auto* remove = new QPushButton(QStringLiteral("Remove parameter"), this);
  remove->setObjectName(QStringLiteral("cmdSTATParamRemove"));
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addStretch();
  static_cast<QBoxLayout*>(extra_layout())->addLayout(buttons);

  connect(this, &ListTab::selectionChanged, this, &MaterialsTab::ShowMaterial);
  OnSelectionChange(parameters_, this, [this] { ShowParameter(); });
  connect(shader_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (const auto material = Selected(); material && checking()) {
      SetMaterialShader(model().Materials[*material], FromQt(text));
    }
  });
  connect(choose, &QPushButton::clicked, this, [this] {
    const auto material = Selected();
    if (ChooseShader(model(), material, ui()).changed) ShowMaterial();
  });
  connect(add, &QPushButton::clicked, this, [this] {
    if (AddParameter(model(), Selected(), ui()).changed) {
      ShowMaterial();
      parameters_->setCurrentRow(parameters_->count() - 1);
    }
  });
  connect(remove, &QPushButton::clicked, this, [this] {
    if (RemoveParameter(model(), Selected(), SelectedParameter()).changed) ShowMaterial();
  });
  connect(texture_, &QComboBox::activated, this, [this](int position) {
    if (MaterialParameter* parameter = Parameter(); parameter != nullptr && checking()) {
      ChooseParameterTexture(*parameter, position);
    }
  });
}

void MaterialsTab::Refresh() {
  ListTab::Refresh();
  Filling([this] {
    texture_->clear();
    for (const Texture& texture : model().Textures) texture_->addItem(ToQt(texture.FileName));
  });
  ShowMaterial();
}

std::optional<std::size_t> MaterialsTab::SelectedParameter() const {
  const auto material = Selected();
  QListWidgetItem* item = parameters_->currentItem();
  if (!material || item == nullptr || !item->isSelected()) return std::nullopt;
  return item->data(Qt::UserRole).toULongLong();
}

MaterialParameter* MaterialsTab::Parameter() {
  const auto material = Selected();
  const auto parameter = SelectedParameter();
  if (!material || !parameter) return nullptr;
  auto& parameters = model().Materials[*material].Parameters;
  return *parameter < parameters.size() ? &parameters[*parameter] : nullptr;
}

void MaterialsTab::ShowMaterial() {
  Filling([this] {
    const QSignalBlocker block(parameters_);
    parameters_->clear();
    const auto material = Selected();
    shader_->setText(material ? ToQt(model().Materials[*material].ShaderName) : QString());
    if (!material) return;
    for (const ParameterEntry& entry : ParameterEntries(model().Materials[*material])) {
      auto* item = new QListWidgetItem(ToQt(entry.text), parameters_);
      item->setData(Qt::UserRole, static_cast<qulonglong>(entry.parameter));
    }
  });
  ShowParameter();
}

void MaterialsTab::ShowParameter() {
  Filling([this] {
    const MaterialParameter* parameter = Parameter();
    for (QLineEdit* box : colour_) box->setEnabled(false);
    texture_->setEnabled(false);
    if (parameter == nullptr) {
      for (QLineEdit* box : colour_) EmptyBox(box);
      texture_->setCurrentIndex(-1);
      return;
    }
    const ParameterView view = gantry::ShowParameter(model(), *parameter, ui());
    for (std::size_t i = 0; i < colour_.size(); ++i) {
      colour_[i]->setEnabled(view.colour);
      colour_[i]->setText(view.colour ? ToQt(view.colour_texts[i]) : QString());
    }
    texture_->setEnabled(!view.colour);
    texture_->setCurrentIndex(view.colour ? -1 : view.texture_index);
  });
}

}  // namespace gantry
