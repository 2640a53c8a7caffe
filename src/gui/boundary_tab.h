// The BNDV tab: the number of boundary vertices, a slider over them and the chosen vertex's
// coordinates; the automatic calculation from the meshes.
#pragma once

#include <array>

#include "gui/editor_tab.h"

class QLabel;
class QSlider;

namespace gantry {

class BoundaryTab : public EditorTab {
  Q_OBJECT
 public:
  explicit BoundaryTab(EditorForm& form);
  void Refresh() override;

 private:
  void ShowVertex();
  void CountLeft();

  QLineEdit* count_;
  QSlider* slider_;
  QLabel* which_;
  std::array<QLineEdit*, 3> position_{};
  bool leaving_ = false;
};

}  // namespace gantry
