// The editor's texture commands: the main window's "Import textures" and texture exports, and the
// Textures tab's Replace, Export and Preview. "8888" textures travel as TGA, all others as DDS.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "commands/command_result.h"
#include "common/ui.h"
#include "hod/model.h"
#include "hod/workspace.h"
#include "interchange/texture_decode.h"

namespace gantry {

// Replaces the selected texture with a file chosen in a dialog (DDS or TGA by its ending). An
// empty file chosen is deleted and nothing else happens.
CommandResult ReplaceTexture(HodModel& model, std::optional<std::size_t> selected, Ui& ui);

// One texture under its automatic name in `working_folder`. Returns the path written.
std::optional<std::string> ExportTexture(const Texture& texture, const std::string& working_folder,
                                         Ui& ui);
// The selected texture, or every texture in model order, into the working folder. True when
// every file was written.
bool ExportSelectedTexture(const Workspace& workspace, std::optional<std::size_t> selected, Ui& ui);
bool ExportAllTextures(const Workspace& workspace, Ui& ui);

// Everything of the preview but its window: writes the selected texture's first level to the
// preview file in `temp_folder`, loads it back and removes it. Returns the picture to show (top
// row first), or nullopt after a message.
std::optional<RgbaImage> PreviewTexture(const HodModel& model, std::optional<std::size_t> selected,
                                        const std::string& temp_folder, Ui& ui);

}  // namespace gantry
