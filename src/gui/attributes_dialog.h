// The HOD attributes dialog: the HOD type (which sets the NAME text and the version), shown by
// New and by File > HOD Attributes.
#pragma once

#include <QDialog>
#include <array>

class QLineEdit;
class QRadioButton;

namespace gantry {

struct HodModel;
class Ui;

// The type button the dialog starts on for a model: by NAME text, and background whenever the
// version is 1000.
int AttributesTypeIndex(const HodModel& model);

class AttributesDialog : public QDialog {
  Q_OBJECT
 public:
  AttributesDialog(HodModel& model, Ui& ui, const QString& caption, QWidget* parent = nullptr);

  // Chooses a type: fills the name and version boxes from it.
  void ChooseType(int index);

 public slots:
  // Stores the boxes into the model and closes, or says what is wrong and stays open.
  void Apply();

 private:
  HodModel& model_;
  Ui& ui_;
  std::array<QRadioButton*, 4> types_{};
  QLineEdit* name_;
  QLineEdit* version_;
};

}  // namespace gantry
