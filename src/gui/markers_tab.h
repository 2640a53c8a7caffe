// The Markers and Dockpaths tabs: the family lists with their fields, plus a marker's keyframe
// tracks (channel, key slider, key fields, reset, auto-orient) and a dock path's points (slider,
// point fields, add, remove, place).
#pragma once

#include <array>
#include <optional>

#include "commands/keyframes.h"
#include "gui/list_tab.h"

class QComboBox;
class QSlider;

namespace gantry {

class MarkersTab : public ListTab {
  Q_OBJECT
 public:
  explicit MarkersTab(EditorForm& form);
  void Refresh() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  KeySelection At() const;
  void ShowTracks();
  void ShowKey();
  void AfterKeyCommand(const CommandResult& result);

  QComboBox* channel_;
  QSlider* keys_;
  QLineEdit* time_;
  QLineEdit* value_;
  std::array<QLineEdit*, 4> extra_{};
  QLineEdit* pre_;
  QLineEdit* post_;
};

class DockPathsTab : public ListTab {
  Q_OBJECT
 public:
  explicit DockPathsTab(EditorForm& form);
  void Refresh() override;

 private:
  std::optional<std::size_t> Point() const;
  void ShowPoints();
  void ShowPoint();

  QSlider* points_;
  std::array<QLineEdit*, 6> fields_{};
  QLineEdit* tolerance_;
  QLineEdit* speed_;
  QCheckBox* global_;  // the path's three global property values
  QCheckBox* local_;   // the point's three local flags
};

}  // namespace gantry
