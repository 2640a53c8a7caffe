// The commands of the HOD script language: the table lines are matched against, in order, and
// one handler per command. A handler reads its arguments from the line as written (see
// script_import.h for the reading rules), runs the editor's add command where the command makes
// an element, then fills the new, last element. Indexes count from 1 and are compared with their
// list's count as read, before they are rounded or truncated; a command whose index names nothing
// does nothing.
//
// A command whose file cannot be loaded stops there: the element added before the load keeps the
// add command's defaults and what the command set before loading. Choices of ours:
//  - SIMP_Add loads its file before adding, so a failed load adds nothing;
//  - BGMS_Add keeps (and scales) the loaded mesh when only its colour image is refused;
//  - HIER_Add named "root" in a model without joints adds the joint it would have filled;
//  - LITE_Add builds the light directly rather than through the light add command: the command
//    sets every field the add would, and the add's search for a free name would make long scripts
//    slow;
//  - a command that would make a list longer than a HOD can hold is refused and leaves the model
//    as it was: ETSH_Add whose shape would take more than 32767 bytes (the shape it added is
//    removed again), LITE_Add beyond 32767 lights.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/ui.h"
#include "hod/model.h"
#include "script/script_import.h"

namespace gantry {

enum class ScriptCommand {
  kImportScale,
  kCompleteScale,
  kTextureAdd,
  kMaterialAdd,
  kMaterialSetParameter,
  kMeshAdd,
  kMeshSetLod,
  kJointAdd,
  kCollisionMeshAdd,
  kEngineShapeAdd,
  kEngineBurnAdd,
  kEngineGlowAdd,
  kNavLightAdd,
  kMarkerAdd,
  kTrackSet,
  kKeyframeSet,
  kDockPathAdd,
  kDockPointSet,
  kBoundaryAutoCalc,
  kBoundaryCount,
  kBoundaryVertexSet,
  kBackgroundMeshAdd,
  kLightAdd,
  kSimpleMeshAdd,
};

struct ScriptCommandInfo {
  ScriptCommand command;
  const char* name;  // as the exporter writes it; matched in any case
  std::size_t arguments;
};

// Every command, in the order a line is matched against them.
std::span<const ScriptCommandInfo> ScriptCommands();
const ScriptCommandInfo& ScriptCommandInfoOf(ScriptCommand command);

// The command a line names with exactly that command's number of arguments; nullopt for
// comments, empty lines and anything else.
std::optional<ScriptCommand> MatchScriptLine(std::string_view line);

struct ScriptCommandOutcome {
  bool changed = false;
  std::optional<std::size_t> selected_mesh;
  std::optional<std::size_t> selected_collision_mesh;
  // The path of a file the command could not load.
  std::optional<std::string> failed_file;
  // Why the command did nothing: it would have built what a HOD cannot hold. Not yet shown.
  std::optional<std::string> refusal;
};

// Runs `command`'s handler on `line` as read.
ScriptCommandOutcome RunScriptCommand(ScriptCommand command, std::string_view line, HodModel& model,
                                      ScriptImportContext& context, Ui& ui);

}  // namespace gantry
