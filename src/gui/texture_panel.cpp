#include "gui/texture_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>

#include "gui/qt_ui.h"
#include "hod/model.h"
#include "interchange/texture_decode.h"

namespace gantry {
namespace {

constexpr int kPreviewSide = 256;

QImage ToImage(const RgbaImage& image) {
  return QImage(image.pixels.data(), image.width, image.height, image.width * 4,
                QImage::Format_RGBA8888)
      .copy();
}

// A level's side, halved per level from the largest and at least 1.
int LevelSide(int side, int level) { return std::max(1, side >> std::max(0, level - 1)); }

}  // namespace

TextureLevelImages LevelImages(const Texture& texture, int level) {
  const auto decoded = DecodeForDisplay(texture, level);
  if (!decoded || decoded->width <= 0 || decoded->height <= 0) return {};
  TextureLevelImages out;
  QImage rgba = ToImage(*decoded);
  out.colour = rgba.convertToFormat(QImage::Format_RGB32);
  out.alpha = QImage(rgba.width(), rgba.height(), QImage::Format_Grayscale8);
  for (int y = 0; y < rgba.height(); ++y) {
    const auto* from = rgba.constScanLine(y);
    auto* to = out.alpha.scanLine(y);
    for (int x = 0; x < rgba.width(); ++x) to[x] = from[4 * x + 3];
  }
  return out;
}

TexturePanel::TexturePanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pnlTexturePreview"));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("Mip level"), this), 0, 0);
  level_ = new QSpinBox(this);
  level_->setObjectName(QStringLiteral("spnLMIPLevel"));
  level_->setRange(1, 1);
  grid->addWidget(level_, 0, 1);
  info_ = new QLabel(this);
  info_->setObjectName(QStringLiteral("lblLMIPInfo"));
  grid->addWidget(info_, 0, 2, 1, 2);
  const auto picture = [this, grid](const char* name, const QString& caption, int column) {
    auto* label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setFixedSize(kPreviewSide, kPreviewSide);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("background: #404040"));
    grid->addWidget(new QLabel(caption, this), 1, column, 1, 2);
    grid->addWidget(label, 2, column, 1, 2);
    return label;
  };
  colour_ = picture("lblLMIPColour", QStringLiteral("Colour"), 0);
  alpha_ = picture("lblLMIPAlpha", QStringLiteral("Alpha"), 2);
  grid->setColumnStretch(4, 1);
  connect(level_, &QSpinBox::valueChanged, this, &TexturePanel::ShowLevel);
  Show(nullptr);
}

void TexturePanel::Show(const Texture* texture) {
  texture_.reset();
  if (texture != nullptr) texture_ = *texture;
  const QSignalBlocker block(level_);
  level_->setRange(
      1, texture != nullptr ? std::max<int>(1, static_cast<int>(texture->MipLevels.size())) : 1);
  level_->setValue(1);
  level_->setEnabled(texture != nullptr);
  ShowLevel(1);
}

void TexturePanel::ShowLevel(int level) {
  colour_->clear();
  alpha_->clear();
  if (!texture_) {
    info_->clear();
    return;
  }
  info_->setText(QStringLiteral("%1, level %2 of %3: %4 x %5")
                     .arg(ToQt(texture_->Format.view()))
                     .arg(level)
                     .arg(texture_->MipLevels.size())
                     .arg(LevelSide(texture_->Width, level))
                     .arg(LevelSide(texture_->Height, level)));
  const TextureLevelImages images = LevelImages(*texture_, level);
  if (images.colour.isNull()) return;
  const auto fit = [](const QImage& image) {
    // Small levels grow with hard pixel edges so they can be told apart; big ones shrink smooth.
    const bool small = image.width() < kPreviewSide && image.height() < kPreviewSide;
    return QPixmap::fromImage(
        image.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio,
                     small ? Qt::FastTransformation : Qt::SmoothTransformation));
  };
  colour_->setPixmap(fit(images.colour));
  alpha_->setPixmap(fit(images.alpha));
}

void SetThumbnails(QListWidget* list, const std::vector<Texture>& textures, int side) {
  list->setIconSize(QSize(side, side));
  for (int row = 0; row < list->count() && static_cast<std::size_t>(row) < textures.size(); ++row) {
    const Texture& texture = textures[static_cast<std::size_t>(row)];
    // The smallest level still at least `side` across: cheap to decode, sharp enough.
    int level = 1;
    while (level < static_cast<int>(texture.MipLevels.size()) &&
           LevelSide(std::max(texture.Width, texture.Height), level + 1) >= side) {
      ++level;
    }
    const TextureLevelImages images = LevelImages(texture, level);
    if (images.colour.isNull()) continue;
    list->item(row)->setIcon(QPixmap::fromImage(
        images.colour.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  }
}

}  // namespace gantry
