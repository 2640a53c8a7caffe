// The Star Fields tab: which family (star fields or background star groups), which group, which
// star; the star's values; the star-map import, placing a star, and removing groups and stars.
#pragma once

#include <array>
#include <optional>
#include <random>

#include "model_ops/remove.h"
#include "shell/editor_tab.h"

class QComboBox;

namespace gantry {

class StarFieldsTab : public EditorTab {
  Q_OBJECT
 public:
  explicit StarFieldsTab(EditorForm& form);
  void Refresh() override;

 private:
  StarGroupFamily Family() const;
  std::optional<std::size_t> Group() const;
  std::optional<std::size_t> Star() const;
  // The chosen star's values: seven for a star field, eight for a background element.
  float* Value(std::size_t index);
  void FillGroups();
  void FillStars();
  void ShowStar();
  void AfterCommand(const CommandResult& result, bool groups_changed);

  QComboBox* family_;
  QComboBox* groups_;
  QComboBox* stars_;
  std::array<QLineEdit*, 8> values_{};
  std::mt19937 random_{std::random_device{}()};
};

}  // namespace gantry
