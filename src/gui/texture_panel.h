// The Textures tab's preview beside the list: the selected texture's mip levels one at a time,
// colour (opaque) and alpha (as grey) side by side, with its format and size; and the list's
// thumbnails.
#pragma once

#include <QImage>
#include <QWidget>
#include <optional>
#include <vector>

#include "hod/model.h"

class QLabel;
class QListWidget;
class QSpinBox;

namespace gantry {

// The level's colour with alpha ignored, and its alpha as grey; null images when the level
// cannot be decoded.
struct TextureLevelImages {
  QImage colour;
  QImage alpha;
};
TextureLevelImages LevelImages(const Texture& texture, int level);

class TexturePanel : public QWidget {
  Q_OBJECT
 public:
  explicit TexturePanel(QWidget* parent = nullptr);
  // Shows a copy of `texture` (null: nothing); the level chooser starts at the largest.
  void Show(const Texture* texture);
  void ShowLevel(int level);  // 1 = the largest

  QSpinBox* level_box() const { return level_; }
  QLabel* colour() const { return colour_; }
  QLabel* alpha() const { return alpha_; }
  QLabel* info() const { return info_; }

 private:
  std::optional<Texture> texture_;
  QSpinBox* level_;
  QLabel* colour_;
  QLabel* alpha_;
  QLabel* info_;
};

// Each row of `list` gets its texture's thumbnail (the smallest level at least `side` across).
void SetThumbnails(QListWidget* list, const std::vector<Texture>& textures, int side = 32);

}  // namespace gantry
