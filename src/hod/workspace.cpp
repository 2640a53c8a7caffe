#include "hod/workspace.h"

#include "common/paths.h"
#include "hod/reset.h"

namespace gantry {

std::string DebugLogPath(const std::string& working_folder) {
  return NativePath(JoinPath(working_folder, "debug.log"));
}

Workspace::Workspace() {
  ResetModel(model);
  log.set_file_path(DebugLogPath(working_folder));
}

void Workspace::SetCurrentFile(const std::string& path) {
  current_file = path;
  working_folder = FolderOf(path);
  log.set_file_path(DebugLogPath(working_folder));
}

ReadOutcome Workspace::Open(const std::string& path, Ui& ui) {
  SetCurrentFile(path);
  ResetModel(model);
  return ReadHod(path, model, log, ui);
}

}  // namespace gantry
