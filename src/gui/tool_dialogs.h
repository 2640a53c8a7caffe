// The editor's small tool windows: the hardpoint wizard, the light editor and the texture
// preview. Each drives its core counterpart; none keeps model data of its own.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

#include "commands/background_meshes.h"
#include "commands/joints.h"
#include "commands/light_editor.h"
#include "commands/transforms.h"
#include "interchange/texture_decode.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace gantry {

class Ui;

// "Add Hardpoint": a base name and one of seven types.
class HardpointDialog : public QDialog {
  Q_OBJECT
 public:
  explicit HardpointDialog(QWidget* parent = nullptr);
  QString BaseName() const;
  HardpointType Type() const;

 private:
  QLineEdit* name_;
  std::array<QRadioButton*, 7> types_{};
};

// "Mirroring Options...": which planes to mirror in. The form keeps one, so the boxes keep
// their state from one use to the next.
class MirrorOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit MirrorOptionsDialog(QWidget* parent = nullptr);
  MirrorOptions Options() const;
  void reject() override;

 private:
  std::array<QCheckBox*, 3> axes_{};
};

// "Light Editor": the nine transform fields of a LightEditor; OK computes its result.
class LightEditorDialog : public QDialog {
  Q_OBJECT
 public:
  using PositionPicker = std::function<std::optional<Vector3>(const Vector3&)>;
  LightEditorDialog(LightEditor& editor, Ui& ui, PositionPicker pick, QWidget* parent = nullptr);

 private:
  void ShowFields();

  LightEditor& editor_;
  Ui& ui_;
  std::array<QLineEdit*, LightEditor::kFieldCount> fields_{};
};

// A texture's first level at its own size, in a scrolling window: its colour, or its alpha
// channel alone.
class TexturePreview : public QDialog {
  Q_OBJECT
 public:
  TexturePreview(const RgbaImage& image, const QString& caption, QWidget* parent = nullptr);

 private:
  void Show(int channel);

  RgbaImage image_;
  QLabel* picture_;
};

// "Generate BGMS Texture": the generator's picture, its cull mode, and saving it as a bitmap.
class BackgroundTextureDialog : public QDialog {
  Q_OBJECT
 public:
  BackgroundTextureDialog(BackgroundTextureGenerator generator, Ui& ui, QWidget* parent = nullptr);
  const BackgroundTextureGenerator& generator() const { return generator_; }

 private:
  void Draw();

  BackgroundTextureGenerator generator_;
  Ui& ui_;
  QLabel* picture_;
};

}  // namespace gantry
