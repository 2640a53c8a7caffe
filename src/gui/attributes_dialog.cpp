#include "gui/attributes_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "common/number_parse.h"
#include "common/ui.h"
#include "gui/qt_ui.h"
#include "gui/shell_text.h"
#include "gui/widgets.h"
#include "hod/model.h"

namespace gantry {
namespace {

struct TypeRow {
  const char* caption;
  const char* type_name;
  int version;
};

constexpr std::array<TypeRow, 4> kTypes{{
    {"Multi Mesh (ships and other objects with joints)", kMultiMeshTypeName, kModelHodVersion},
    {"Background", "What's in a name?", 1000},
    {"Wireframe Mesh", kWireframeMeshTypeName, kModelHodVersion},
    {"Simple Mesh", kSimpleMeshTypeName, kModelHodVersion},
}};

constexpr int kBackgroundIndex = 1;
constexpr int kBackgroundVersion = 1000;

}  // namespace

int AttributesTypeIndex(const HodModel& model) {
  if (model.HodVersion.Version == kBackgroundVersion) return kBackgroundIndex;
  for (std::size_t i = 0; i < kTypes.size(); ++i) {
    if (model.HodName.TypeName == kTypes[i].type_name) return static_cast<int>(i);
  }
  return 0;
}

AttributesDialog::AttributesDialog(HodModel& model, Ui& ui, const QString& caption, QWidget* parent)
    : QDialog(parent), model_(model), ui_(ui) {
  setObjectName(QStringLiteral("frmNew"));
  setWindowTitle(caption);
  auto* layout = new QVBoxLayout(this);
  for (std::size_t i = 0; i < kTypes.size(); ++i) {
    auto* button = new QRadioButton(QString::fromLatin1(kTypes[i].caption), this);
    button->setObjectName(QStringLiteral("optHW2HODType%1").arg(i));
    connect(button, &QRadioButton::clicked, this, [this, i] { ChooseType(static_cast<int>(i)); });
    layout->addWidget(button);
    types_[i] = button;
  }
  auto* fields = new QFormLayout;
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("txtHODName"));
  version_ = new QLineEdit(this);
  version_->setObjectName(QStringLiteral("txtHODVersion"));
  fields->addRow(QStringLiteral("Name:"), name_);
  fields->addRow(QStringLiteral("Version:"), version_);
  layout->addLayout(fields);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* apply = AddButton(this, buttons, "cmdApply", QString::fromLatin1(shell_text::kApply));
  auto* cancel = AddButton(this, buttons, "cmdCancel", QString::fromLatin1(shell_text::kCancel));
  apply->setDefault(true);
  layout->addLayout(buttons);
  connect(apply, &QPushButton::clicked, this, &AttributesDialog::Apply);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  types_[static_cast<std::size_t>(AttributesTypeIndex(model))]->setChecked(true);
  name_->setText(ToQt(model.HodName.TypeName));
  version_->setText(QString::number(model.HodVersion.Version));
}

void AttributesDialog::ChooseType(int index) {
  const TypeRow& row = kTypes.at(static_cast<std::size_t>(index));
  types_[static_cast<std::size_t>(index)]->setChecked(true);
  name_->setText(QString::fromLatin1(row.type_name));
  version_->setText(QString::number(row.version));
}

void AttributesDialog::Apply() {
  const std::string version_text = FromQt(version_->text());
  if (!IsNumberText(version_text)) {
    ui_.Message(shell_text::kVersionNotNumeric, Icon::Exclamation);
    return;
  }
  const double version = LeadingNumber(version_text);
  if (version != std::trunc(version) || std::abs(version) > 2147483647.0) {
    ui_.Message(shell_text::kVersionNotWhole, Icon::Exclamation);
    return;
  }
  model_.HodVersion.Version = static_cast<std::int32_t>(version);
  model_.HodName.TypeName = FromQt(name_->text());
  model_.HodName.Length = static_cast<std::int32_t>(model_.HodName.TypeName.size()) + 4;
  accept();
}

}  // namespace gantry
