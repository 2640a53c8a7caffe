#include "gui/star_fields_tab.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "commands/star_fields.h"
#include "common/number_text.h"
#include "gui/editor_form.h"
#include "gui/qt_ui.h"
#include "gui/shell_text.h"
#include "gui/string_table.h"
#include "hod/model.h"

namespace gantry {
namespace {

namespace text = shell_text;

constexpr const char* kValueLabels[] = {"X",     "Y",    "Z",    "Red / 4th value",
                                        "Green", "Blue", "Size", "Alpha"};

}  // namespace

StarFieldsTab::StarFieldsTab(EditorForm& form) : EditorTab(form) {
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  family_ = new QComboBox(this);
  family_->setObjectName(QStringLiteral("cboSTRForBGSG"));
  family_->addItems(
      {QString::fromLatin1(text::kStrfGroupFamily), QString::fromLatin1(text::kBgsgGroupFamily)});
  groups_ = new QComboBox(this);
  groups_->setObjectName(QStringLiteral("cboSTRFGroup"));
  stars_ = new QSpinBox(this);
  stars_->setObjectName(QStringLiteral("cboSTRFStar"));
  star_count_ = new QLabel(this);
  grid->addWidget(family_, 0, 0);
  grid->addWidget(groups_, 0, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Star"), this), 1, 0);
  grid->addWidget(stars_, 1, 1);
  grid->addWidget(star_count_, 1, 2);
  for (std::size_t i = 0; i < values_.size(); ++i) {
    const int row = 2 + static_cast<int>(i);
    grid->addWidget(new QLabel(QString::fromLatin1(kValueLabels[i]), this), row, 0);
    values_[i] = AddNumberBox(grid, row, 1, QStringLiteral("txtSTRFData%1").arg(i),
                              kValidNumberField, [this, i](double v) {
                                float* value = Value(i);
                                if (value == nullptr) return false;
                                *value = static_cast<float>(v);
                                return true;
                              });
  }
  layout->addLayout(grid);
  auto* buttons = new QHBoxLayout;
  auto* auto_add = AddButton(this, buttons, "cmdSTRFAutoAdd", QStringLiteral("From star map..."));
  auto* position = AddButton(this, buttons, "cmdSTRFPosition", QStringLiteral("Position..."));
  auto* remove_group = AddButton(this, buttons, "cmdSTRFCRemove", QStringLiteral("Remove group"));
  auto* remove_star = AddButton(this, buttons, "cmdSTRFSRemove", QStringLiteral("Remove star"));
  buttons->addStretch();
  layout->addLayout(buttons);
  layout->addStretch();

  connect(family_, &QComboBox::currentIndexChanged, this, [this] { FillGroups(); });
  connect(groups_, &QComboBox::currentIndexChanged, this, [this] { FillStars(); });
  connect(stars_, &QSpinBox::valueChanged, this, [this] { ShowStar(); });
  connect(auto_add, &QPushButton::clicked, this,
          [this] { AfterCommand(STRFAutoAdd(model(), Family(), Group(), random_, ui()), true); });
  connect(position, &QPushButton::clicked, this, [this] {
    if (RefusePlacingStarWithoutSelection(model(), Family(), Group(), Star(), ui())) return;
    const Vector3 at = StarViewerPosition(model(), Family(), *Group(), *Star());
    // Stars belong to background HODs: the viewer shows the background meshes.
    if (const auto picked = form_.PickPose({at, {}}, false)) {
      AfterCommand(PlaceStar(model(), Family(), *Group(), *Star(), picked->position), false);
    }
  });
  connect(remove_group, &QPushButton::clicked, this,
          [this] { AfterCommand(RemoveStarGroup(model(), Family(), Group()), true); });
  connect(remove_star, &QPushButton::clicked, this, [this] {
    AfterCommand(RemoveStar(workspace(), Family(), Group(), Star(), ui()), false);
  });
}

StarGroupFamily StarFieldsTab::Family() const {
  return family_->currentIndex() == 1 ? StarGroupFamily::BackgroundSegments
                                      : StarGroupFamily::StarFields;
}

std::optional<std::size_t> StarFieldsTab::Group() const {
  const int index = groups_->currentIndex();
  if (index < 0) return std::nullopt;
  return static_cast<std::size_t>(index);
}

std::optional<std::size_t> StarFieldsTab::Star() const {
  if (stars_->minimum() < 1) return std::nullopt;  // the group has no stars
  return static_cast<std::size_t>(stars_->value() - 1);
}

float* StarFieldsTab::Value(std::size_t index) {
  const auto group = Group();
  const auto star = Star();
  if (!group || !star) return nullptr;
  HodModel& m = model();
  if (Family() == StarGroupFamily::StarFields) {
    if (*group >= m.StarFields.size() || *star >= m.StarFields[*group].Stars.size()) return nullptr;
    auto& values = m.StarFields[*group].Stars[*star];
    return index < values.size() ? &values[index] : nullptr;
  }
  if (*group >= m.BackgroundSegments.size() ||
      *star >= m.BackgroundSegments[*group].Elements.size()) {
    return nullptr;
  }
  auto& values = m.BackgroundSegments[*group].Elements[*star];
  return index < values.size() ? &values[index] : nullptr;
}

void StarFieldsTab::Refresh() { FillGroups(); }

void StarFieldsTab::FillGroups() {
  const int keep = groups_->currentIndex();
  {
    const QSignalBlocker block(groups_);
    groups_->clear();
    const bool background = Family() == StarGroupFamily::BackgroundSegments;
    const std::size_t count =
        background ? model().BackgroundSegments.size() : model().StarFields.size();
    const char* lead = background ? text::kBackgroundStarGroup : text::kStarFieldGroup;
    for (std::size_t i = 0; i < count; ++i) {
      groups_->addItem(QString::fromLatin1(lead) + QString::number(i + 1));
    }
    groups_->setCurrentIndex(keep >= 0 && keep < groups_->count() ? keep
                             : groups_->count() > 0               ? 0
                                                                  : -1);
  }
  FillStars();
}

void StarFieldsTab::FillStars() {
  {
    const QSignalBlocker block(stars_);
    const auto group = Group();
    std::size_t count = 0;
    if (group && Family() == StarGroupFamily::StarFields && *group < model().StarFields.size()) {
      count = model().StarFields[*group].Stars.size();
    } else if (group && *group < model().BackgroundSegments.size()) {
      count = model().BackgroundSegments[*group].Elements.size();
    }
    const int most = static_cast<int>(std::min<std::size_t>(count, 2147483647));
    // 0 to 0 stands for "no star"; otherwise stars count from 1, as the user sees them.
    stars_->setRange(most > 0 ? 1 : 0, most);
    star_count_->setText(QStringLiteral("of %1").arg(count));
  }
  ShowStar();
}

void StarFieldsTab::ShowStar() {
  Filling([this] {
    for (std::size_t i = 0; i < values_.size(); ++i) {
      const float* value = Value(i);
      values_[i]->setEnabled(value != nullptr);
      values_[i]->setText(value != nullptr ? ToQt(NumberText(*value)) : QString());
    }
  });
}

void StarFieldsTab::AfterCommand(const CommandResult& result, bool groups_changed) {
  if (!result.changed) return;
  if (groups_changed) {
    FillGroups();
  } else {
    FillStars();
  }
}

}  // namespace gantry
