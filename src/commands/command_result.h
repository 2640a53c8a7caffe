// What the editor needs after one of its commands: whether the model changed (so its lists are
// rebuilt from the model) and which entry of the command's list to select afterwards.
#pragma once

#include <cstddef>
#include <optional>

namespace gantry {

struct CommandResult {
  bool changed = false;
  // 0-based entry to select afterwards in the command's own list (or slider: keys, dock points).
  std::optional<std::size_t> select;

  static CommandResult Unchanged() { return {}; }
  static CommandResult Changed(std::optional<std::size_t> select = std::nullopt) {
    return {true, select};
  }
};

}  // namespace gantry
