// The options dialog: the debug level and the 3D view's rendering preferences, kept in the
// settings group "Options".
#pragma once

#include <QDialog>
#include <functional>

#include "view/view_state.h"

class QCheckBox;
class QRadioButton;
class QSettings;

namespace gantry {

class DebugLog;

class OptionsDialog : public QDialog {
  Q_OBJECT
 public:
  using ConfigSink = std::function<void(const RenderConfig&)>;

  // Loads the settings at once, sets the log's debug level and hands the preferences to
  // `views`.
  OptionsDialog(QSettings& settings, DebugLog& log, ConfigSink views, QWidget* parent = nullptr);

  RenderConfig Config() const;

 public slots:
  void Apply();

 private:
  void Load();
  void Save();
  QCheckBox* AddCheck(const char* name, const char* caption, const char* tip);

  QSettings& settings_;
  DebugLog& log_;
  ConfigSink views_;
  QRadioButton* off_;
  QRadioButton* on_;
  QCheckBox* software_;
  QCheckBox* hardware_;
  QCheckBox* pure_device_;
  QCheckBox* none_;
  QCheckBox* bilinear_;
  QCheckBox* anisotropic_;
  QCheckBox* auto_res_;
  QCheckBox* hi_res_;
};

}  // namespace gantry
