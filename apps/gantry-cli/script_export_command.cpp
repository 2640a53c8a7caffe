// export-hsc: the model's plain elements as a HOD script.
#include <fmt/format.h>

#include <optional>
#include <string>

#include "commands.h"
#include "common/paths.h"
#include "hod/workspace.h"
#include "loaded_hod.h"
#include "script/export_messages.h"
#include "script/script_export.h"

namespace gantry::cli {

int RunExportHsc(const std::string& path, const std::optional<std::string>& out, bool salvage) {
  if (out && out->empty()) {
    fmt::print(stderr, "-o: the script's file name is empty\n");
    return kExitUsage;
  }
  LoadedHod hod(path);
  if (!ReadForExport(hod, path, salvage)) return kExitUnreadable;

  Workspace workspace;
  workspace.model = std::move(hod.model);
  workspace.SetCurrentFile(path);
  const std::string target = out ? NativePath(*out) : HodScriptPath(workspace);
  const std::string text =
      HodScriptText(workspace.model, workspace.current_file, LocalScriptTime());
  const auto failure = WriteScriptFile(target, text);
  if (failure) {
    fmt::print(stderr, "{}{}: {}\n", script_export_messages::kCouldntWrite, target,
               failure->description);
    return kExitUnreadable;
  }
  // Written all the same: the rest of the script is good, and the user is told what is not.
  for (const std::size_t line : LinesScriptsCannotCarry(text)) {
    fmt::print(stderr,
               "{}:{}: a name here has a quote, a bracket or a line break; build cannot read the "
               "line back\n",
               target, line);
  }
  fmt::print("{}\n", target);
  return kExitOk;
}

}  // namespace gantry::cli
