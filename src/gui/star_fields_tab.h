// The Star Fields tab: which family (star fields or background star groups), which group, which
// star; the star's values; the star-map import, placing a star, and removing groups and stars.
#pragma once

#include <array>
#include <optional>
#include <random>

#include "commands/remove.h"
#include "gui/editor_tab.h"

class QComboBox;
class QLabel;
class QSpinBox;

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
  // A star map can give a group hundreds of thousands of stars: chosen by number, not from a
  // list.
  QSpinBox* stars_;
  QLabel* star_count_;
  std::array<QLineEdit*, 8> values_{};
  std::mt19937 random_{std::random_device{}()};
};

}  // namespace gantry
