#include "common/assert.h"

#include <string>

namespace gantry {

bool Assert(bool condition, std::uint64_t position, DebugLog& log, Ui& ui) {
  if (condition) return true;
  const std::string text = kAssertionFailed + std::to_string(position);
  log.Log(text);
  ui.Message(text, Icon::Critical);
  return false;
}

}  // namespace gantry
