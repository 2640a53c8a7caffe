// The Navlights tab: the lights, the joint each hangs on (its name), section, size, phase,
// frequency, style, colour, distance and the two flags; adding and removing lights.
#pragma once

#include <array>
#include <optional>

#include "gui/editor_tab.h"

class QComboBox;
class QListWidget;

namespace gantry {

struct NavLight;

class NavlightsTab : public EditorTab {
  Q_OBJECT
 public:
  explicit NavlightsTab(EditorForm& form);
  void Refresh() override;
  std::optional<std::size_t> Selected() const;
  void Select(std::size_t light) override;

 private:
  void ShowLight();
  // Runs `edit` on the selected light; false when none is selected.
  bool Edit(const std::function<void(NavLight&)>& edit);

  QListWidget* list_;
  QComboBox* joint_;
  QLineEdit* section_;
  QLineEdit* size_;
  QLineEdit* phase_;
  QLineEdit* frequency_;
  QLineEdit* style_;
  std::array<QLineEdit*, 4> colour_{};
  QLineEdit* distance_;
  QCheckBox* sprite_;
  QCheckBox* cast_;
};

}  // namespace gantry
