// Undo and redo for the editor: whole-model snapshots. The model is a plain value, so a snapshot
// is a copy; the history keeps as many as fit a memory budget (always at least one), dropping
// the oldest first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "hod/model.h"

namespace gantry {

// Roughly how many bytes a copy of the model takes: its vertices, indices, texture levels,
// triangles and stars; the small records are not counted.
std::size_t ApproximateModelBytes(const HodModel& model);

class UndoHistory {
 public:
  static constexpr std::size_t kDefaultBudget = std::size_t{512} << 20;

  explicit UndoHistory(std::size_t budget = kDefaultBudget) : budget_(budget) {}

  // `before` is the model as it was before a change; redo is no longer possible.
  void Record(HodModel before);
  // Puts the model back one change (keeping the current one for Redo); false when there is
  // nothing to undo.
  bool Undo(HodModel& model);
  bool Redo(HodModel& model);
  void Clear();

  bool can_undo() const { return !undo_.empty(); }
  bool can_redo() const { return !redo_.empty(); }
  std::size_t undo_depth() const { return undo_.size(); }

 private:
  struct Snapshot {
    HodModel model;
    std::size_t bytes = 0;
  };
  void Trim();

  std::size_t budget_;
  std::size_t bytes_ = 0;
  std::deque<Snapshot> undo_;
  std::deque<Snapshot> redo_;
};

}  // namespace gantry
