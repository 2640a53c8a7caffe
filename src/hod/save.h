// Save and Save As, the core side: validate first, then write the model to its file through a
// temporary file, so that neither an invalid model nor a failing disk touches the old file.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "common/ui.h"
#include "hod/validate.h"
#include "hod/workspace.h"

namespace gantry {

enum class SaveResult {
  Saved,
  Invalid,    // the validator found errors, or the dialect cannot hold the model; nothing written
  Failed,     // an I/O step failed and the user chose to go on; the old file is intact
  Quit,       // an I/O step failed and the user chose to end the program
  Cancelled,  // the user declined converting the model to the other dialect; nothing written
};

struct SaveOptions {
  SaveOptions() = default;
  SaveOptions(HodDialect target) : dialect(target) {}  // NOLINT: a dialect alone is a choice

  // The dialect to write; none writes the model's own.
  std::optional<HodDialect> dialect;
  // Ask Yes/No (No preselected) before converting to the other dialect. Off where choosing the
  // dialect was the user's answer already (the command line's --dialect).
  bool ask_before_converting = true;
  // HOD 2.0: write scar meshes rebuilt from level 0 for meshes whose scar mesh no longer holds,
  // with a placeholder checksum (untested in the game).
  bool rebuild_scars = false;

  // Helpers from the layers above, where the geometry and texture code lives: a scar mesh (with
  // its grid) from a mesh's level 0, and an uncompressed texture turned into DXT with a full mip
  // chain. Without them, classic saves leave scar meshes missing and HOD 2.0 saves keep 8888
  // textures, saying so.
  std::function<bool(const LodMesh&, ScarMesh&)> build_scar;
  std::function<bool(Texture&)> compress_texture;
};

// Saves the workspace's model to `path`, which becomes the current file on success; the model's
// dialect becomes the one written. What the file written cannot hold is named in a warning;
// converting to the other dialect asks first (see SaveOptions); a HOD 2.0 save is refused (with
// the reasons) when the model has no HOD 2.0 form.
SaveResult SaveHod(Workspace& workspace, const std::string& path, Ui& ui,
                   const ValidationContext& context = {}, const SaveOptions& options = {});

// The "Error Occured!" text of a failed save step.
std::string SaveErrorText(int number, const std::string& description,
                          const std::string& information);

}  // namespace gantry
