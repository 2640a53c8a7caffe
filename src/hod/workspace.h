// The program-wide values of one editing session: the model, the current file, the working
// folder (where automatically named exports and debug.log go) and the debug log. The shell owns
// one and hands it to commands; nothing here is global.
#pragma once

#include <string>

#include "common/debug_log.h"
#include "common/ui.h"
#include "hod/hod_reader.h"
#include "hod/model.h"

namespace gantry {

struct Workspace {
  HodModel model;
  std::string current_file;
  std::string working_folder;
  DebugLog log;

  Workspace();

  // Makes `path` the current file; the working folder and the log file follow it.
  void SetCurrentFile(const std::string& path);
  // Resets the model and reads `path` into it, as the editor's Open does.
  ReadOutcome Open(const std::string& path, Ui& ui);
};

// debug.log in the given working folder (in the current folder while none is set).
std::string DebugLogPath(const std::string& working_folder);

}  // namespace gantry
