#include "gui/gui_helpers.h"

#include <stdexcept>

#include "common/ui.h"
#include "hod/save.h"
#include "hod/workspace.h"

namespace gantry::testing {

void WriteDefaultHod(const std::string& path, const std::string& owner) {
  Workspace workspace;
  workspace.model.HodOwner.Owner = owner;
  workspace.model.HodOwner.OwnerLength = static_cast<std::int32_t>(owner.size());
  QuietUi ui;
  if (SaveHod(workspace, path, ui) != SaveResult::Saved) {
    throw std::runtime_error("could not write " + path);
  }
}

}  // namespace gantry::testing
