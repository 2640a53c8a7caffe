// Save and Save As, the core side: validate first, then write the model to its file through a
// temporary file, so that neither an invalid model nor a failing disk touches the old file.
#pragma once

#include <string>

#include "common/ui.h"
#include "hod/validate.h"
#include "hod/workspace.h"

namespace gantry {

enum class SaveResult {
  Saved,
  Invalid,  // the validator found errors; nothing was written
  Failed,   // an I/O step failed and the user chose to go on; the old file is intact
  Quit,     // an I/O step failed and the user chose to end the program
};

// Saves the workspace's model to `path`, which becomes the current file on success. A model read
// from a HOD 2.0 file saved as classic is saved with a warning naming what classic cannot hold;
// saving as HOD 2.0 is refused (with the reasons) when the model's parts cannot all be written.
SaveResult SaveHod(Workspace& workspace, const std::string& path, Ui& ui,
                   const ValidationContext& context = {}, HodDialect dialect = HodDialect::Classic);

// The "Error Occured!" text of a failed save step.
std::string SaveErrorText(int number, const std::string& description,
                          const std::string& information);

}  // namespace gantry
