// The Materials tab: the family list (names kept unique), the shader's name and the parameters,
// each a colour (four boxes, 0 to 255) or a texture (chosen from the texture list).
#pragma once

#include <array>
#include <optional>

#include "gui/list_tab.h"

class QComboBox;
class QListWidget;

namespace gantry {

struct MaterialParameter;

class MaterialsTab : public ListTab {
  Q_OBJECT
 public:
  explicit MaterialsTab(EditorForm& form);
  void Refresh() override;

 private:
  void ShowMaterial();
  void ShowParameter();
  std::optional<std::size_t> SelectedParameter() const;
  MaterialParameter* Parameter();

  QLineEdit* shader_;
  QListWidget* parameters_;
  std::array<QLineEdit*, 4> colour_{};
  QComboBox* texture_;
};

}  // namespace gantry
