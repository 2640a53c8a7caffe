// The model as a HOD script: one command per line in the language the script importer reads,
// covering the elements that are plain numbers and names (materials, joints, navigation lights,
// markers with their tracks, dock paths, boundary vertices, lights). Elements that live in other
// files (textures, meshes, engine parts, ...) are left to load commands added by hand.
//
// Lines end in CR LF; singles carry 7 significant digits, doubles and angles (in degrees) 15;
// indexes count from 1, as the importer creates the elements again.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/safe_file.h"
#include "common/ui.h"
#include "hod/model.h"
#include "hod/workspace.h"

namespace gantry {

// The local date and time the header is stamped with; tests pass a fixed one.
using ScriptClock = std::function<std::tm()>;
std::tm LocalScriptTime();

// The whole script; `source` is the HOD path the header names.
std::string HodScriptText(const HodModel& model, std::string_view source, const std::tm& when);

// WORKING + title of the current file (its name cut before the last ".") + ".hsc"; the
// current folder while no working folder is set.
std::string HodScriptPath(const Workspace& workspace);

// Writes `text` through a temporary file, so a failure leaves an older script intact.
std::optional<FileWriteFailure> WriteScriptFile(const std::string& path, std::string_view text);

// The export: without a current file it first asks for one (cancelling, or an empty answer,
// ends it with success and no file) and keeps the answer as the current file, without moving
// the working folder. Returns false when the script could not be written; why goes to the
// debug log.
bool ExportHodScript(Workspace& workspace, Ui& ui, const ScriptClock& clock = LocalScriptTime);

// The lines of a script's text (numbered from 1) that an import would skip: a name holding a
// quote, a bracket or a line break is more than the script's grammar can carry.
std::vector<std::size_t> LinesScriptsCannotCarry(std::string_view text);

// The main window's script export: ExportHodScript, then "HSC Export failed!" when it failed.
bool ExportHodScriptCommand(Workspace& workspace, Ui& ui,
                            const ScriptClock& clock = LocalScriptTime);

}  // namespace gantry
