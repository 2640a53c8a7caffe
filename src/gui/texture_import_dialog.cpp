#include "gui/texture_import_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "gui/qt_ui.h"
#include "interchange/image_load.h"

namespace gantry {

namespace {

constexpr const char* kTitle = "Import Texture(s)";
constexpr const char* kPictureFilter =
    "Pictures (*.png *.jpg *.jpeg *.tga *.bmp *.psd *.dds);;All files (*)";
constexpr int kPreviewSide = 256;
constexpr const char* kFormats[] = {"Auto", "DXT1", "DXT3", "DXT5", "8888", "888"};
constexpr int kMaxSizes[] = {0, 4096, 2048, 1024, 512, 256, 128};

QComboBox* Combo(QWidget* parent, const char* name, std::initializer_list<const char*> items) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  for (const char* item : items) combo->addItem(QString::fromLatin1(item));
  return combo;
}

// Colour with alpha dropped, or alpha as grey, scaled to fit the preview without smoothing so
// block artefacts stay visible.
QPixmap Shown(const RgbaImage& image, bool alpha) {
  if (image.width <= 0 || image.height <= 0) return {};
  QImage shown(image.width, image.height, QImage::Format_RGB888);
  for (int y = 0; y < image.height; ++y) {
    uchar* row = shown.scanLine(y);
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p =
          image.pixels.data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
      for (int c = 0; c < 3; ++c) row[x * 3 + c] = alpha ? p[3] : p[c];
    }
  }
  const int side = std::max(image.width, image.height);
  const int scale = std::max(1, kPreviewSide / side);
  QPixmap pixmap = QPixmap::fromImage(shown.scaled(image.width * scale, image.height * scale));
  return side > kPreviewSide ? pixmap.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio)
                             : pixmap;
}

}  // namespace

TextureImportDialog::TextureImportDialog(std::vector<std::string> files, const HodModel& model,
                                         std::optional<std::string> name, QWidget* parent)
    : QDialog(parent), files_(std::move(files)), model_(model), name_(std::move(name)) {
  setObjectName(QStringLiteral("frmTextureImport"));
  setWindowTitle(QString::fromLatin1(kTitle));
  auto* layout = new QVBoxLayout(this);
  auto* what = new QLabel(this);
  what->setObjectName(QStringLiteral("lblFiles"));
  what->setText(files_.size() == 1 ? ToQt(files_.front())
                                   : tr("%1 pictures, all with these settings").arg(files_.size()));
  layout->addWidget(what);

  auto* form = new QFormLayout;
  format_ = Combo(this, "cboFormat", {});
  for (const char* f : kFormats) format_->addItem(QString::fromLatin1(f));
  choice_ = new QLabel(this);
  choice_->setObjectName(QStringLiteral("lblChoice"));
  auto* format_row = new QHBoxLayout;
  format_row->addWidget(format_);
  format_row->addWidget(choice_, 1);
  form->addRow(tr("Format"), format_row);

  rounding_ = Combo(this, "cboRounding", {"Nearest power of two", "Down", "Up"});
  max_size_ = Combo(this, "cboMaxSize", {});
  for (int side : kMaxSizes) {
    max_size_->addItem(side == 0 ? tr("No limit") : QString::number(side), side);
  }
  size_ = new QLabel(this);
  size_->setObjectName(QStringLiteral("lblSize"));
  auto* size_row = new QHBoxLayout;
  size_row->addWidget(rounding_);
  size_row->addWidget(max_size_);
  size_row->addWidget(size_, 1);
  form->addRow(tr("Size"), size_row);

  filter_ = Combo(this, "cboMipFilter", {"box", "triangle", "mitchell", "catmullrom"});
  mips_ = new QCheckBox(tr("Mip levels down to 1 x 1"), this);
  mips_->setObjectName(QStringLiteral("chkMips"));
  mips_->setChecked(true);
  auto* mip_row = new QHBoxLayout;
  mip_row->addWidget(filter_);
  mip_row->addWidget(mips_, 1);
  form->addRow(tr("Mip filter (linear light)"), mip_row);

  fast_ = new QCheckBox(tr("Fast encoding (lower quality)"), this);
  fast_->setObjectName(QStringLiteral("chkFast"));
  alpha_test_ = new QCheckBox(tr("Keep alpha-test coverage at"), this);
  alpha_test_->setObjectName(QStringLiteral("chkAlphaTest"));
  cutoff_ = new QSpinBox(this);
  cutoff_->setObjectName(QStringLiteral("spnCutoff"));
  cutoff_->setRange(1, 255);
  cutoff_->setValue(128);
  auto* option_row = new QHBoxLayout;
  option_row->addWidget(fast_);
  option_row->addWidget(alpha_test_);
  option_row->addWidget(cutoff_);
  option_row->addStretch(1);
  form->addRow(tr("Options"), option_row);
  layout->addLayout(form);

  auto* view_row = new QHBoxLayout;
  level_ = new QSpinBox(this);
  level_->setObjectName(QStringLiteral("spnLevel"));
  level_->setPrefix(tr("Level "));
  level_->setMinimum(1);
  channel_ = Combo(this, "cboChannel", {"Colour", "Alpha"});
  error_ = new QLabel(this);
  error_->setObjectName(QStringLiteral("lblError"));
  view_row->addWidget(level_);
  view_row->addWidget(channel_);
  view_row->addWidget(error_, 1);
  layout->addLayout(view_row);
  auto* pictures = new QHBoxLayout;
  for (QLabel** picture : {&before_, &after_}) {
    auto* column = new QVBoxLayout;
    column->addWidget(new QLabel(picture == &before_
                                     ? tr("Before compression")
                                     : tr("After compression, as the game shows it"),
                                 this));
    *picture = new QLabel(this);
    (*picture)->setFixedSize(kPreviewSide, kPreviewSide);
    (*picture)->setAlignment(Qt::AlignCenter);
    (*picture)->setFrameShape(QFrame::Box);
    column->addWidget(*picture);
    pictures->addLayout(column);
  }
  before_->setObjectName(QStringLiteral("imgBefore"));
  after_->setObjectName(QStringLiteral("imgAfter"));
  layout->addLayout(pictures);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(tr("Import"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  std::string why;
  if (!files_.empty()) first_ = LoadImageFile(files_.front(), &why);
  if (!first_) error_->setText(ToQt(why));

  for (QComboBox* combo : {format_, rounding_, max_size_, filter_}) {
    connect(combo, &QComboBox::currentIndexChanged, this, &TextureImportDialog::Recompute);
  }
  for (QCheckBox* box : {mips_, fast_, alpha_test_}) {
    connect(box, &QCheckBox::toggled, this, &TextureImportDialog::Recompute);
  }
  connect(cutoff_, &QSpinBox::valueChanged, this, &TextureImportDialog::Recompute);
  connect(level_, &QSpinBox::valueChanged, this, &TextureImportDialog::ShowLevel);
  connect(channel_, &QComboBox::currentIndexChanged, this, &TextureImportDialog::ShowLevel);
  Recompute();
}

ImageImportOptions TextureImportDialog::Options() const {
  ImageImportOptions options;
  if (format_->currentIndex() > 0) {
    options.format = ParseTextureFormat(format_->currentText().toStdString());
  }
  options.name = name_.value_or(std::string());
  TextureSettings& s = options.settings;
  s.rounding = static_cast<SizeRounding>(rounding_->currentIndex());
  s.max_size = max_size_->currentData().toInt();
  s.mips = mips_->isChecked();
  s.filter = ParseMipFilter(filter_->currentText().toStdString()).value_or(MipFilter::kBox);
  s.fast = fast_->isChecked();
  if (alpha_test_->isChecked()) s.alpha_test = static_cast<std::uint8_t>(cutoff_->value());
  return options;
}

int TextureImportDialog::ShownLevel() const { return level_->value() - 1; }
QString TextureImportDialog::ErrorText() const { return error_->text(); }
QString TextureImportDialog::ChoiceText() const { return choice_->text(); }

void TextureImportDialog::Recompute() {
  cutoff_->setEnabled(alpha_test_->isChecked());
  if (!first_) return;
  const ImageImportOptions options = Options();
  const std::string name =
      name_.value_or(files_.empty() ? std::string() : TextureNameForImage(files_.front()));
  const FormatChoice choice = DecideFormat(&model_, *first_, options.format, name);
  choice_->setText(choice.reason.empty()
                       ? QString()
                       : tr("%1: %2").arg(QString::fromLatin1(TextureFormatName(choice.format)),
                                          ToQt(choice.reason)));
  TextureSettings settings = options.settings;
  settings.format = choice.format;
  const auto [w, h] =
      TopLevelSize(first_->width, first_->height, settings.rounding, settings.max_size);
  size_->setText(tr("%1 x %2 -> %3 x %4").arg(first_->width).arg(first_->height).arg(w).arg(h));
  preview_ = PreviewEncoding(*first_, settings);
  const QSignalBlocker block(level_);
  level_->setMaximum(static_cast<int>(preview_.size()));
  ShowLevel();
}

void TextureImportDialog::ShowLevel() {
  const int index = std::clamp(ShownLevel(), 0, static_cast<int>(preview_.size()) - 1);
  if (index < 0) return;
  const LevelPreview& level = preview_[static_cast<std::size_t>(index)];
  const bool alpha = channel_->currentIndex() == 1;
  before_->setPixmap(Shown(level.before, alpha));
  after_->setPixmap(Shown(level.after, alpha));
  error_->setText(
      tr("%1 x %2, PSNR %3")
          .arg(level.before.width)
          .arg(level.before.height)
          .arg(std::isinf(level.psnr) ? tr("exact") : tr("%1 dB").arg(level.psnr, 0, 'f', 2)));
}

CommandResult ImportTextureImages(QWidget* parent, Workspace& workspace, Ui& ui,
                                  std::optional<std::size_t> replace) {
  if (replace && *replace >= workspace.model.Textures.size()) return CommandResult::Unchanged();
  std::vector<std::string> files;
  if (replace) {
    const QString file = QFileDialog::getOpenFileName(
        parent, QString::fromLatin1(kTitle), QString(), QString::fromLatin1(kPictureFilter));
    if (!file.isEmpty()) files.push_back(file.toStdString());
  } else {
    for (const QString& file : QFileDialog::getOpenFileNames(
             parent, QString::fromLatin1(kTitle), QString(), QString::fromLatin1(kPictureFilter))) {
      files.push_back(file.toStdString());
    }
  }
  if (files.empty()) return CommandResult::Unchanged();
  std::optional<std::string> name;
  if (replace) name = workspace.model.Textures[*replace].FileName;
  TextureImportDialog dialog(files, workspace.model, name, parent);
  if (dialog.exec() != QDialog::Accepted) return CommandResult::Unchanged();
  const ImageImportOptions options = dialog.Options();
  CommandResult result;
  for (std::size_t i = 0; i < files.size(); ++i) {
    ui.Progress(static_cast<std::int64_t>(i), static_cast<std::int64_t>(files.size()));
    if (const auto imported = ImportImageTexture(workspace.model, files[i], options, ui)) {
      result = CommandResult::Changed(imported->index);
    }
  }
  ui.Progress(0, static_cast<std::int64_t>(files.size()));
  return result;
}

}  // namespace gantry
