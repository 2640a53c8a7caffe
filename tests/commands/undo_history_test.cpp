#include "commands/undo_history.h"

#include <gtest/gtest.h>

#include <tuple>

#include "hod/reset.h"

namespace gantry {
namespace {

HodModel Owned(const std::string& owner) {
  HodModel model = MakeDefaultModel();
  model.HodOwner.Owner = owner;
  return model;
}

TEST(UndoHistory, UndoAndRedoWalkTheChanges) {
  UndoHistory history;
  HodModel model = Owned("a");
  history.Record(model);
  model = Owned("b");
  history.Record(model);
  model = Owned("c");
  const auto step = [&](bool undo) {
    const bool done = undo ? history.Undo(model) : history.Redo(model);
    return std::tuple(done, model.HodOwner.Owner);
  };
  EXPECT_EQ(step(true), std::tuple(true, "b"));
  EXPECT_EQ(step(true), std::tuple(true, "a"));
  EXPECT_EQ(step(true), std::tuple(false, "a"));
  EXPECT_EQ(step(false), std::tuple(true, "b"));
  // A new change after undoing drops what could have been redone.
  history.Record(model);
  model = Owned("d");
  EXPECT_FALSE(history.can_redo());
  EXPECT_EQ(step(true), std::tuple(true, "b"));
}

TEST(UndoHistory, TheBudgetDropsTheOldestButKeepsOne) {
  HodModel big = MakeDefaultModel();
  big.Textures.resize(1);
  big.Textures[0].MipLevels = {MipLevel(1000)};
  const std::size_t one = ApproximateModelBytes(big);
  EXPECT_GE(one, 1000u);

  UndoHistory history(one * 2 + one / 2);
  for (int i = 0; i < 5; ++i) history.Record(big);
  EXPECT_EQ(history.undo_depth(), 2u);
  UndoHistory tiny(1);
  tiny.Record(big);
  tiny.Record(big);
  EXPECT_EQ(tiny.undo_depth(), 1u);
}

}  // namespace
}  // namespace gantry
