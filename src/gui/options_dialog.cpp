#include "gui/options_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

#include "common/debug_log.h"
#include "gui/qt_ui.h"
#include "gui/shell_text.h"
#include "gui/string_table.h"
#include "gui/widgets.h"

namespace gantry {
namespace {

namespace text = shell_text;

constexpr const char* kGroup = "Options";
constexpr const char* kDebugKey = "DebuggingLevel";
constexpr const char* kDialogPrefix = "OptionDialog";
constexpr const char* kRenderPrefix = "OptionSDX";

QString Key(const char* prefix, const char* suffix) {
  return QString::fromLatin1(prefix) + QString::fromLatin1(suffix);
}

// The rendering boxes, their key suffixes and defaults.
struct BoxKey {
  const char* suffix;
  bool default_value;
};
constexpr BoxKey kSoftwareKey{"_Software", true};
constexpr BoxKey kHardwareKey{"_Hardware", false};
constexpr BoxKey kPureDeviceKey{"_PureDevice", false};
constexpr BoxKey kNoneKey{"_FNone", true};
constexpr BoxKey kBilinearKey{"_FBilinear", false};
constexpr BoxKey kAnisotropicKey{"_FAnisotrophic", false};
constexpr BoxKey kAutoResKey{"_AutoRes", false};
constexpr BoxKey kHiResKey{"_HiRes", false};

bool ReadBox(QSettings& settings, const BoxKey& key) {
  return settings.value(Key(kRenderPrefix, key.suffix), key.default_value ? 1 : 0).toInt() != 0;
}

void WriteBox(QSettings& settings, const BoxKey& key, const QCheckBox* box) {
  settings.setValue(Key(kRenderPrefix, key.suffix), box->isChecked() ? 1 : 0);
}

void Set(QCheckBox* box, bool checked, bool enabled) {
  box->setChecked(checked);
  box->setEnabled(enabled);
}

// A "least" box and the two it governs (software rendering over hardware and pure device; no
// filtering over bilinear and anisotropic). Checking the first turns both others off and makes
// them unavailable; clearing it offers both with the second checked. The second, while
// available, offers the third (cleared) when checked and withdraws it when cleared.
void LinkBoxes(QCheckBox* least, QCheckBox* second, QCheckBox* third) {
  QObject::connect(least, &QCheckBox::clicked, least, [second, third](bool checked) {
    Set(second, !checked, !checked);
    Set(third, false, !checked);
  });
  QObject::connect(second, &QCheckBox::clicked, second, [second, third](bool checked) {
    if (second->isEnabled()) Set(third, false, checked);
  });
}

}  // namespace

OptionsDialog::OptionsDialog(QSettings& settings, DebugLog& log, ConfigSink views, QWidget* parent)
    : QDialog(parent), settings_(settings), log_(log), views_(std::move(views)) {
  setObjectName(QStringLiteral("frmOptions"));
  setWindowTitle(QString::fromLatin1(text::kOptionsCaption));
  auto* layout = new QVBoxLayout(this);

  auto* debugging = new QGroupBox(this);
  auto* debug_layout = new QVBoxLayout(debugging);
  auto* explanation =
      new QLabel(QString::fromLatin1(text::kDebugCurrentValue) + QStringLiteral("\n") +
                     QString::fromLatin1(text::kDebugExplanation),
                 debugging);
  explanation->setObjectName(QStringLiteral("lblDebuggingInfo"));
  explanation->setWordWrap(true);
  off_ = new QRadioButton(QString::fromLatin1(text::kDebugOff), debugging);
  off_->setObjectName(QStringLiteral("optOption0"));
  on_ = new QRadioButton(QString::fromLatin1(text::kDebugOn), debugging);
  on_->setObjectName(QStringLiteral("optOption1"));
  const QString level_tip = ToQt(strings::Entry(strings::kTipDebugLevel));
  off_->setToolTip(level_tip);
  on_->setToolTip(level_tip);
  auto* choices = new QHBoxLayout;
  choices->addWidget(off_);
  choices->addWidget(on_);
  choices->addStretch();
  debug_layout->addWidget(explanation);
  debug_layout->addLayout(choices);
  layout->addWidget(debugging);

  software_ = AddCheck("chkSoftware", text::kSoftware, text::kSoftwareTip);
  hardware_ = AddCheck("chkHardware", text::kHardware, text::kHardwareTip);
  pure_device_ = AddCheck("chkPureDevice", text::kPureDevice, text::kHardwareTip);
  none_ = AddCheck("chkNone", text::kNone, text::kNoneTip);
  bilinear_ = AddCheck("chkBilinear", text::kBilinear, text::kHardwareTip);
  anisotropic_ = AddCheck("chkAF", text::kAnisotropic, text::kAnisotropicTip);
  auto_res_ = AddCheck("chkAutoRes", text::kAutoRes, text::kAutoResTip);
  hi_res_ = AddCheck("chkHiRes", text::kHiRes, text::kHiResTip);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* apply = AddButton(this, buttons, "cmdApply", QString::fromLatin1(text::kApply));
  auto* cancel = AddButton(this, buttons, "cmdCancel", QString::fromLatin1(text::kCancel));
  apply->setDefault(true);
  layout->addLayout(buttons);
  connect(apply, &QPushButton::clicked, this, &OptionsDialog::Apply);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  // The dependent boxes react to clicks only, not to Load setting them.
  LinkBoxes(software_, hardware_, pure_device_);
  LinkBoxes(none_, bilinear_, anisotropic_);
  connect(auto_res_, &QCheckBox::clicked, this, [this](bool checked) {
    if (checked) {
      hi_res_->setEnabled(true);
    } else {
      Set(hi_res_, false, false);
    }
  });

  Load();
  if (views_) views_(Config());
}

QCheckBox* OptionsDialog::AddCheck(const char* name, const char* caption, const char* tip) {
  auto* box = new QCheckBox(QString::fromLatin1(caption), this);
  box->setObjectName(QString::fromLatin1(name));
  box->setToolTip(QString::fromLatin1(tip));
  layout()->addWidget(box);
  return box;
}

void OptionsDialog::Load() {
  settings_.beginGroup(QString::fromLatin1(kGroup));
  const double left = settings_.value(Key(kDialogPrefix, "_Left"), 400.0).toDouble();
  const double top = settings_.value(Key(kDialogPrefix, "_Top"), 800.0).toDouble();
  // A position remembered from a larger screen (or the default on a small one) could leave the
  // buttons out of reach: the dialog is kept wholly on the screen, its window frame included.
  adjustSize();
  const QSize frame(16, 48);
  move(OnScreen(QPoint(static_cast<int>(left), static_cast<int>(top)), size() + frame));
  const int level = settings_.value(QString::fromLatin1(kDebugKey), 1).toInt();
  (level == 0 ? off_ : on_)->setChecked(true);
  log_.set_debug_level(static_cast<std::uint8_t>(level));
  software_->setChecked(ReadBox(settings_, kSoftwareKey));
  hardware_->setChecked(ReadBox(settings_, kHardwareKey));
  pure_device_->setChecked(ReadBox(settings_, kPureDeviceKey));
  none_->setChecked(ReadBox(settings_, kNoneKey));
  bilinear_->setChecked(ReadBox(settings_, kBilinearKey));
  anisotropic_->setChecked(ReadBox(settings_, kAnisotropicKey));
  auto_res_->setChecked(ReadBox(settings_, kAutoResKey));
  hi_res_->setChecked(ReadBox(settings_, kHiResKey));
  settings_.endGroup();
  // Boxes that depend on a cleared box start out unavailable, as a click would leave them.
  hardware_->setEnabled(!software_->isChecked());
  pure_device_->setEnabled(!software_->isChecked() && hardware_->isChecked());
  bilinear_->setEnabled(!none_->isChecked());
  anisotropic_->setEnabled(!none_->isChecked() && bilinear_->isChecked());
  hi_res_->setEnabled(auto_res_->isChecked());
}

RenderConfig OptionsDialog::Config() const {
  RenderConfig config;
  // Tested in this order so that a later checked box wins.
  if (software_->isChecked()) config.device_mode = 0;
  if (hardware_->isChecked()) config.device_mode = 1;
  if (pure_device_->isChecked()) config.device_mode = 2;
  if (none_->isChecked()) config.filter_mode = 0;
  if (bilinear_->isChecked()) config.filter_mode = 1;
  if (anisotropic_->isChecked()) config.filter_mode = 2;
  config.auto_resolution = auto_res_->isChecked();
  config.high_resolution = hi_res_->isChecked();
  return config;
}

void OptionsDialog::Save() {
  settings_.beginGroup(QString::fromLatin1(kGroup));
  const int level = on_->isChecked() ? 1 : 0;
  settings_.setValue(QString::fromLatin1(kDebugKey), level);
  WriteBox(settings_, kSoftwareKey, software_);
  WriteBox(settings_, kHardwareKey, hardware_);
  WriteBox(settings_, kPureDeviceKey, pure_device_);
  WriteBox(settings_, kNoneKey, none_);
  WriteBox(settings_, kBilinearKey, bilinear_);
  WriteBox(settings_, kAnisotropicKey, anisotropic_);
  WriteBox(settings_, kAutoResKey, auto_res_);
  WriteBox(settings_, kHiResKey, hi_res_);
  settings_.setValue(Key(kDialogPrefix, "_Left"), static_cast<float>(x()));
  settings_.setValue(Key(kDialogPrefix, "_Top"), static_cast<float>(y()));
  settings_.endGroup();
  settings_.sync();
  log_.set_debug_level(static_cast<std::uint8_t>(level));
}

void OptionsDialog::Apply() {
  Save();
  accept();
}

}  // namespace gantry
