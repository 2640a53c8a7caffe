#include "gui/tool_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "commands/background_messages.h"
#include "commands/joint_messages.h"
#include "gui/qt_ui.h"
#include "gui/widgets.h"

namespace gantry {
namespace {}  // namespace

HardpointDialog::HardpointDialog(QWidget* parent) : QDialog(parent) {
  namespace text = joint_messages;
  setObjectName(QStringLiteral("frmAddHardpoint"));
  setWindowTitle(QString::fromLatin1(text::kHardpointCaption));
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QString::fromLatin1(text::kHardpointNameLabel), this));
  name_ = new QLineEdit(QString::fromLatin1(text::kHardpointNameInitial), this);
  name_->setObjectName(QStringLiteral("txtHardpointName"));
  row->addWidget(name_);
  layout->addLayout(row);
  auto* frame = new QGroupBox(QString::fromLatin1(text::kHardpointTypeFrame), this);
  auto* choices = new QVBoxLayout(frame);
  for (std::size_t i = 0; i < types_.size(); ++i) {
    types_[i] = new QRadioButton(QString::fromLatin1(text::kHardpointTypeCaptions[i]), frame);
    types_[i]->setObjectName(QStringLiteral("optType%1").arg(i));
    choices->addWidget(types_[i]);
  }
  types_[0]->setChecked(true);
  layout->addWidget(frame);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* ok = AddButton(this, buttons, "cmdOK", QStringLiteral("OK"));
  auto* cancel = AddButton(this, buttons, "cmdCancel", QString::fromLatin1(text::kHardpointCancel));
  ok->setDefault(true);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString HardpointDialog::BaseName() const { return name_->text(); }

HardpointType HardpointDialog::Type() const {
  for (std::size_t i = 0; i < types_.size(); ++i) {
    if (types_[i]->isChecked()) return static_cast<HardpointType>(i);
  }
  return HardpointType::kWeapon;
}

MirrorOptionsDialog::MirrorOptionsDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmMirrorOptions"));
  setWindowTitle(QStringLiteral("Mirroring Options..."));
  auto* layout = new QVBoxLayout(this);
  const char* names[] = {"chkReverseX", "chkReverseY", "chkReverseZ"};
  const char* captions[] = {"Mirror with respect to YZ Plane", "Mirror with respect to XZ Plane",
                            "Mirror with respect to XY Plane"};
  for (std::size_t i = 0; i < axes_.size(); ++i) {
    axes_[i] = new QCheckBox(QString::fromLatin1(captions[i]), this);
    axes_[i]->setObjectName(QString::fromLatin1(names[i]));
    layout->addWidget(axes_[i]);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* apply = AddButton(this, buttons, "cmdApply", QStringLiteral("Apply"));
  auto* cancel = AddButton(this, buttons, "cmdCancel", QStringLiteral("Cancel"));
  apply->setDefault(true);
  layout->addLayout(buttons);
  connect(apply, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void MirrorOptionsDialog::reject() {
  // Cancel (or Escape) leaves nothing ticked for the next time.
  for (QCheckBox* axis : axes_) axis->setChecked(false);
  QDialog::reject();
}

MirrorOptions MirrorOptionsDialog::Options() const {
  return {axes_[0]->isChecked(), axes_[1]->isChecked(), axes_[2]->isChecked()};
}

LightEditorDialog::LightEditorDialog(LightEditor& editor, Ui& ui, PositionPicker pick,
                                     QWidget* parent)
    : QDialog(parent), editor_(editor), ui_(ui) {
  namespace text = light_editor_messages;
  setObjectName(QStringLiteral("frmLightEditor"));
  setWindowTitle(QString::fromLatin1(text::kCaption));
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QStringLiteral("Type:"), this), 0, 0);
  auto* type = new QLineEdit(QString::fromLatin1(editor.TypeText()), this);
  type->setObjectName(QStringLiteral("txtLightType"));
  type->setReadOnly(true);
  grid->addWidget(type, 0, 1, 1, 3);
  const char* rows[] = {"Position:", "Rotation:", "Scale:"};
  for (int row = 0; row < 3; ++row) {
    grid->addWidget(new QLabel(QString::fromLatin1(rows[row]), this), row + 1, 0);
    for (int column = 0; column < 3; ++column) {
      const auto index = static_cast<std::size_t>(row * 3 + column);
      auto* field = new QLineEdit(this);
      field->setObjectName(QStringLiteral("txtLITEData%1").arg(index));
      grid->addWidget(field, row + 1, column + 1);
      fields_[index] = field;
      // A keystroke that leaves no number beeps; the field keeps what was typed.
      connect(field, &QLineEdit::textEdited, this, [](const QString& text) {
        if (!LightEditor::IsFieldText(FromQt(text))) QApplication::beep();
      });
      connect(field, &QLineEdit::editingFinished, this, [this, index] {
        editor_.SetField(index, FromQt(fields_[index]->text()), ui_);
        fields_[index]->setText(ToQt(editor_.Field(index)));
      });
    }
  }
  auto* position = new QPushButton(QStringLiteral("Position..."), this);
  position->setObjectName(QStringLiteral("cmdLITEPos"));
  grid->addWidget(position, 1, 4);
  connect(position, &QPushButton::clicked, this, [this, pick] {
    if (!pick) return;
    if (const auto placed = pick(editor_.Translation())) {
      editor_.SetTranslation(*placed);
      ShowFields();
    }
  });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* ok = AddButton(this, buttons, "cmdOK", QStringLiteral("OK"));
  auto* cancel = AddButton(this, buttons, "cmdCancel", QStringLiteral("Cancel"));
  grid->addLayout(buttons, 4, 0, 1, 5);
  connect(ok, &QPushButton::clicked, this, [this] {
    // A field still being typed in counts as left.
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      editor_.SetField(i, FromQt(fields_[i]->text()), ui_);
    }
    editor_.Ok();
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, [this] {
    editor_.Cancel();
    reject();
  });
  ShowFields();
}

void LightEditorDialog::ShowFields() {
  for (std::size_t i = 0; i < fields_.size(); ++i) fields_[i]->setText(ToQt(editor_.Field(i)));
}

TexturePreview::TexturePreview(const RgbaImage& image, const QString& caption, QWidget* parent)
    : QDialog(parent), image_(image) {
  setObjectName(QStringLiteral("frmPreview"));
  setWindowTitle(caption);
  auto* layout = new QVBoxLayout(this);
  auto* channel = new QComboBox(this);
  channel->setObjectName(QStringLiteral("cboChannel"));
  channel->addItems({QStringLiteral("Colour"), QStringLiteral("Alpha")});
  layout->addWidget(channel, 0, Qt::AlignLeft);
  auto* scroll = new QScrollArea(this);
  picture_ = new QLabel(scroll);
  picture_->setObjectName(QStringLiteral("imgPreview"));
  scroll->setWidget(picture_);
  scroll->setAlignment(Qt::AlignCenter);
  layout->addWidget(scroll);
  connect(channel, &QComboBox::currentIndexChanged, this, &TexturePreview::Show);
  Show(0);
  resize(std::min(image.width + 40, 1024), std::min(image.height + 60, 1024));
}

void TexturePreview::Show(int channel) {
  // The colour opaque (in a ship's texture the alpha is a mask, not transparency), or the
  // alpha alone as grey.
  std::vector<std::uint8_t> pixels = image_.pixels;
  for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) {
    if (channel == 1) pixels[i] = pixels[i + 1] = pixels[i + 2] = pixels[i + 3];
    pixels[i + 3] = 255;
  }
  const QImage shown(pixels.data(), image_.width, image_.height, image_.width * 4,
                     QImage::Format_RGBA8888);
  picture_->setPixmap(QPixmap::fromImage(shown.copy()));
  picture_->resize(picture_->pixmap().size());
}

BackgroundTextureDialog::BackgroundTextureDialog(BackgroundTextureGenerator generator, Ui& ui,
                                                 QWidget* parent)
    : QDialog(parent), generator_(std::move(generator)), ui_(ui) {
  namespace text = background_messages;
  setObjectName(QStringLiteral("frmBGMSTexGen"));
  setWindowTitle(QString::fromLatin1(text::kGeneratorCaption));
  auto* layout = new QVBoxLayout(this);
  auto* scroll = new QScrollArea(this);
  picture_ = new QLabel(scroll);
  picture_->setObjectName(QStringLiteral("imgTexture"));
  scroll->setWidget(picture_);
  layout->addWidget(scroll, 1);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QString::fromLatin1(text::kCullModeLabel), this));
  auto* cull = new QComboBox(this);
  cull->setObjectName(QStringLiteral("cboCullMode"));
  for (const char* mode : text::kCullModes) cull->addItem(QString::fromLatin1(mode));
  cull->setCurrentIndex(static_cast<int>(generator_.options().cull));
  row->addWidget(cull);
  row->addStretch();
  auto* save = AddButton(this, row, "cmdSaveTex", QString::fromLatin1(text::kSaveTexture));
  auto* close = AddButton(this, row, "cmdClose", QStringLiteral("Close"));
  layout->addLayout(row);
  connect(cull, &QComboBox::currentIndexChanged, this, [this](int mode) {
    generator_.SetCullMode(static_cast<CullMode>(mode));
    Draw();
  });
  connect(save, &QPushButton::clicked, this, [this] { generator_.SaveTexture(ui_); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  Draw();
  resize(1100, 700);
}

void BackgroundTextureDialog::Draw() {
  const RgbaImage image = generator_.Render();
  const QImage shown(image.pixels.data(), image.width, image.height, image.width * 4,
                     QImage::Format_RGBA8888);
  picture_->setPixmap(QPixmap::fromImage(shown.copy()));
  picture_->resize(picture_->pixmap().size());
}

}  // namespace gantry
