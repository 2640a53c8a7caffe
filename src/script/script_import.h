// Running a HOD script (".hsc"): a text file of one command per line that builds elements through
// the editor's own add commands and loads their meshes and textures from files named relative to
// the script. This header holds the line grammar, the argument reading and the import driver;
// script_commands.h holds the command table and the 24 handlers.
//
// The import's values (`ImportScale`, `ScriptFolder`) live in a ScriptImportContext that the
// caller owns and keeps between imports: each import sets them when it starts and leaves them as
// its last line left them. Nothing is refreshed here: the result says whether the model changed,
// and the caller refreshes its views once.
//
// Choices of ours where the editor's behaviour is open:
//  - a batch import (command line) reads the script and the OBJ files it names without rewriting
//    them, answers the one question a command can ask (BNDV_AutoCalc's enlarging) with No, and
//    imports OBJ files without asking (merged with the default thresholds, V reversed where the
//    editor would ask, OBJ materials matched to model materials by name, else material 0);
//  - list sizes a script asks for are cut where the file format ends (254 material parameters,
//    65535 boundary vertices, 32767 entries of any other list) and the line is reported as
//    refused; counts never go below 0, so every count field matches its list and the model can
//    be written; a command that would grow a list past that end is refused (script_commands.h);
//  - a UTF-8 byte-order mark before the first line is ignored; a UTF-16 script (with its mark,
//    as Notepad saves "Unicode") is read as the single-byte text it holds, and refused when a
//    character has no single byte;
//  - numbers too large for a single become the largest single of their sign, and whole numbers
//    outside the 32-bit range the nearest 32-bit value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ui.h"
#include "hod/model.h"

namespace gantry {

struct ScriptImportContext {
  // Multiplies the positions and mesh vertices that later commands bring in.
  Vector3 ImportScale{1, 1, 1};
  // Put in front of every file argument, with nothing between.
  std::string ScriptFolder;
  // Nobody to ask: see the choices above.
  bool batch = false;
};

// A message shown while the script ran; line 0 is before the first line (reading the script).
struct ScriptMessage {
  std::size_t line = 0;
  std::string text;
  friend bool operator==(const ScriptMessage&, const ScriptMessage&) = default;
};

// A file named by a command that could not be loaded (missing, unreadable or refused).
struct ScriptFileFailure {
  std::size_t line = 0;
  std::string command;
  std::string path;
  friend bool operator==(const ScriptFileFailure&, const ScriptFileFailure&) = default;
};

struct ScriptImportResult {
  bool read = false;         // the script could be read (an empty one counts as read)
  std::size_t lines = 0;     // non-empty lines, comments included
  std::size_t commands = 0;  // lines that matched a command
  bool changed = false;      // some command changed the model: refresh once
  // The selections the editor makes while adding meshes and collision meshes, last one wins.
  std::optional<std::size_t> selected_mesh;
  std::optional<std::size_t> selected_collision_mesh;
  std::vector<ScriptMessage> messages;
  std::vector<ScriptFileFailure> file_failures;
  // Lines whose command was refused because it would have built what a HOD cannot hold. The
  // reason is among the messages, each different reason once.
  std::vector<std::size_t> refused_lines;
  // Lines that matched no command and were skipped, as the editor does without a word; blank
  // lines, comments and lone braces are not among them.
  std::vector<std::size_t> unmatched_lines;
};

// ---- Line grammar ---------------------------------------------------------------------------

// The line as matching sees it: quotes as double quotes, no blanks around "(", ")" and ",",
// nothing but quoted text after the first ")", trimmed.
std::string CanonicalScriptLine(std::string_view line);

// Lines a script may hold besides commands: blank ones, comments and the braces some writers
// put around a block.
bool IsQuietScriptLine(std::string_view line);

// What a line calls, when its canonical form has the shape of a call: one "(" (not first) and
// one ")", an even number of quotes. `name` is in lower case.
struct ScriptCall {
  std::string name;
  std::size_t arguments = 0;
  friend bool operator==(const ScriptCall&, const ScriptCall&) = default;
};
std::optional<ScriptCall> ScriptCallOf(std::string_view line);

// Pieces of `text` cut at commas outside quotes; quote characters are dropped.
std::vector<std::string> SplitScriptArguments(std::string_view text);
// The raw text between the line's first "(" and the first ")" after it.
std::string_view ScriptArgumentText(std::string_view line);

// ---- Argument reading -----------------------------------------------------------------------

// Trimmed of blanks, every quote removed.
std::string ScriptText(std::string_view piece);
// Blanks and TABs ignored, then the leading decimal number; 0 when there is none.
double ScriptNumber(std::string_view piece);
bool ScriptFlag(std::string_view piece);
// Nearest whole number, halves to the even one; and the fraction dropped. Both saturate at the
// 32-bit range.
std::int32_t RoundedWhole(double value);
std::int32_t TruncatedWhole(double value);
// The value as a single, saturating at the largest finite single.
float ScriptSingle(double value);

// The folder file arguments are relative to: the path before its last "\" (else its last "/");
// the whole path when there is none or it is the first character.
std::string ScriptFolderOf(std::string_view path);

// ---- Import ---------------------------------------------------------------------------------

// Sets ImportScale to (1, 1, 1), rewrites the file (batch: only reads it), sets ScriptFolder and
// runs every line in order.
ScriptImportResult ImportHodScript(HodModel& model, const std::string& path,
                                   ScriptImportContext& context, Ui& ui);
// Runs the lines of `text` with the context as it is. Lines end at CR LF, CR or LF and are
// numbered as in the text; empty lines are skipped.
ScriptImportResult RunHodScript(HodModel& model, std::string_view text,
                                ScriptImportContext& context, Ui& ui);

}  // namespace gantry
