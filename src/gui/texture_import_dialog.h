// "Import Texture(s)": pictures from image editors into the model, with one set of settings for
// a whole batch. The dialog shows the automatic format and its reason, the size the texture gets,
// and every mip level before and after compression, colour or alpha, with its error figure.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "commands/command_result.h"
#include "commands/texture_import.h"
#include "hod/workspace.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

namespace gantry {

class Ui;

class TextureImportDialog : public QDialog {
  Q_OBJECT
 public:
  // `files` are imported in order; the first one is previewed. With `name` every file becomes
  // that texture (the Textures tab's Replace).
  TextureImportDialog(std::vector<std::string> files, const HodModel& model,
                      std::optional<std::string> name, QWidget* parent = nullptr);
  ImageImportOptions Options() const;
  // The level shown (0 = the largest) and the preview's error figure text, for tests.
  int ShownLevel() const;
  QString ErrorText() const;
  QString ChoiceText() const;

 private:
  void Recompute();
  void ShowLevel();

  std::vector<std::string> files_;
  const HodModel& model_;
  std::optional<std::string> name_;
  std::optional<RgbaImage> first_;
  std::vector<LevelPreview> preview_;

  QComboBox* format_ = nullptr;
  QLabel* choice_ = nullptr;
  QComboBox* rounding_ = nullptr;
  QComboBox* max_size_ = nullptr;
  QLabel* size_ = nullptr;
  QComboBox* filter_ = nullptr;
  QCheckBox* mips_ = nullptr;
  QCheckBox* fast_ = nullptr;
  QCheckBox* alpha_test_ = nullptr;
  QSpinBox* cutoff_ = nullptr;
  QSpinBox* level_ = nullptr;
  QComboBox* channel_ = nullptr;
  QLabel* before_ = nullptr;
  QLabel* after_ = nullptr;
  QLabel* error_ = nullptr;
};

// Asks for pictures (several for a batch; one when `replace` names the selected texture), opens
// the dialog and imports them. A file that fails shows its message and the rest go on.
CommandResult ImportTextureImages(QWidget* parent, Workspace& workspace, Ui& ui,
                                  std::optional<std::size_t> replace = std::nullopt);

}  // namespace gantry
