// build: a new HOD of the chosen type made by a HOD script, asking nothing, then validated and
// saved like `save`. Neither the script nor the files it names are rewritten. Every line that
// matched no command is named, and a script where none matched builds nothing. A file the script
// names that cannot be loaded, or a command refused because the HOD could not hold what it would
// build, fails the build: a model missing a part is not what was asked for.
#include <fmt/format.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "cli_ui.h"
#include "commands.h"
#include "common/paths.h"
#include "hod/save.h"
#include "hod/workspace.h"
#include "script/import_messages.h"
#include "script/script_import.h"

namespace gantry::cli {

namespace {

struct NewHodType {
  const char* keyword;
  const char* name;
  std::int32_t version;
};

// The types the editor's New dialog offers, with the NAME text and version it fills in.
constexpr NewHodType kTypes[] = {
    {"multi-mesh", kMultiMeshTypeName, kModelHodVersion},
    {"background", import_messages::kBackgroundTypeName, 1000},
    {"wireframe-mesh", kWireframeMeshTypeName, kModelHodVersion},
    {"simple-mesh", kSimpleMeshTypeName, kModelHodVersion},
};

std::string OwnerFromEnvironment() {
  for (const char* variable : {"USERNAME", "USER"}) {
    if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') {
      return value;
    }
  }
  return "";
}

}  // namespace

int RunBuild(const std::string& script, const std::string& out, const std::string& type) {
  const NewHodType* chosen = nullptr;
  for (const NewHodType& t : kTypes) {
    if (type == t.keyword) chosen = &t;
  }
  if (chosen == nullptr) {
    fmt::print(stderr,
               "unknown HOD type '{}' (multi-mesh, simple-mesh, wireframe-mesh or "
               "background)\n",
               type);
    return kExitUsage;
  }

  Workspace workspace;
  HodModel& model = workspace.model;
  model.HodName.TypeName = chosen->name;
  model.HodName.Length = static_cast<std::int32_t>(model.HodName.TypeName.size()) + 4;
  model.HodVersion.Version = chosen->version;
  model.HodOwner.Owner = OwnerFromEnvironment();
  model.HodOwner.OwnerLength = static_cast<std::int32_t>(model.HodOwner.Owner.size());

  // File arguments are relative to the script's folder, which a bare file name would not give.
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(FileSystemPath(script), error);
  const std::string script_path = error ? script : PathText(absolute);

  ScriptImportContext context;
  context.batch = true;
  QuietUi quiet;
  const ScriptImportResult result = ImportHodScript(model, script_path, context, quiet);
  for (const ScriptMessage& message : result.messages) {
    if (message.line == 0) {
      fmt::print(stderr, "{}: {}\n", script, ConsoleText(message.text));
    } else {
      fmt::print(stderr, "{}:{}: {}\n", script, message.line, ConsoleText(message.text));
    }
  }
  if (!result.read) return kExitUnreadable;
  // The editor skips such lines without a word; a batch build has no other way to say so.
  for (const std::size_t line : result.unmatched_lines) {
    fmt::print(stderr, "{}:{}: matched no command\n", script, line);
  }
  if (result.commands == 0) {
    fmt::print(stderr, "{} not written: no line of {} matched a command\n", out, script);
    return kExitDifferent;
  }
  for (const ScriptFileFailure& failure : result.file_failures) {
    fmt::print(stderr, "{}:{}: {} could not load {}\n", script, failure.line, failure.command,
               failure.path);
  }
  if (!result.file_failures.empty()) {
    fmt::print(stderr, "{} not written: {} file(s) could not be loaded\n", out,
               result.file_failures.size());
    return kExitUnreadable;
  }
  // What the HOD cannot hold was left out: the model is not the one asked for either.
  if (!result.refused_lines.empty()) {
    fmt::print(stderr, "{} not written: {} command(s) would have built more than a HOD can hold\n",
               out, result.refused_lines.size());
    return kExitDifferent;
  }

  CliUi ui;
  const int status = SaveExitCode(SaveHod(workspace, out, ui));
  if (status == kExitOk) {
    fmt::print("{}: {} command(s) from {} line(s)\n", out, result.commands, result.lines);
  }
  return status;
}

}  // namespace gantry::cli
