// Texts the HOD script import and the build command show or use, kept in one place.
#pragma once

#include "commands/background_messages.h"
#include "interchange/obj_messages.h"

namespace gantry::import_messages {

// A line starting with this is a comment.
inline constexpr const char* kCommentMarker = "//";
// HIER_Add with this name (any case) fills the last joint instead of adding one.
inline constexpr const char* kRootName = "root";
// LMIP_Add reads a file with this extension (any case) as DDS, anything else as TGA.
inline constexpr const char* kDdsExtension = "dds";

// Shown by the loaders the commands share with the editor.
inline constexpr const char* kFileIsEmpty = obj_messages::kFileIsEmpty;
inline constexpr const char* kCannotReadLead = obj_messages::kCannotReadLead;
inline constexpr const char* kCannotReadTail = obj_messages::kCannotReadTail;
inline constexpr const char* kInvalidTga = background_messages::kInvalidTga;

// LITE_Add on a model whose light list is full; shown once per import.
inline constexpr const char* kTooManyLights =
    "A HOD holds at most 32767 lights; the LITE_Add lines beyond them were skipped.";

// A UTF-16 script with a character outside Latin-1, after the script's path.
inline constexpr const char* kUtf16NotNarrow =
    ": the script is UTF-16 text with characters a HOD cannot hold; save it as ANSI text.";
// The editor's log after an import that skipped lines: lead, the count, tail.
inline constexpr const char* kSkippedLinesLead = "Script import skipped ";
inline constexpr const char* kSkippedLinesTail = " line(s) that matched no command.";

// A list size past what a HOD holds: command name, asks, count, holds, limit, tail.
inline constexpr const char* kListCutAsks = " asks for ";
inline constexpr const char* kListCutHolds = " entries; a HOD holds at most ";
inline constexpr const char* kListCutTail = ", so the list was cut there.";

// The NAME text of a new background HOD (the model types have theirs in hod/model.h).
inline constexpr const char* kBackgroundTypeName = "What's in a name?";

}  // namespace gantry::import_messages
