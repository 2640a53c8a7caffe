// Texts the HOD script export writes and shows, kept in one place.
#pragma once

#include "common/shared_text.h"
#include "interchange/export_messages.h"

namespace gantry::script_export_messages {

inline constexpr const char* kLineBreak = shared_text::kLineBreak;

// Header: the separator line is the lead, this many dashes, then the end.
inline constexpr const char* kSeparatorLead = "// ";
inline constexpr int kSeparatorDashes = 157;
inline constexpr const char* kSeparatorEnd = "//";
inline constexpr const char* kCreatedFrom = "// HOD Script created from '";
inline constexpr const char* kCreatedFromClose = "'.";
inline constexpr const char* kVersionLead = "// Gantry v";
inline constexpr const char* kDate = "// Date: ";
inline constexpr const char* kTime = shared_text::kTime;

// Section comments: the lead, the count, then the tail.
inline constexpr const char* kCommentLead = "// ";
inline constexpr const char* kMaterialsLocated = " materials located";
inline constexpr const char* kJointsLocated = " joints located";
inline constexpr const char* kNavLightsLocated = " NavLights located";
inline constexpr const char* kMarkersLocated = " Markers located";
inline constexpr const char* kDockPathsLocated = " dockpaths located";
inline constexpr const char* kBoundaryVerticesLocated = " BNDVs located";
inline constexpr const char* kLightsLocated = " lights located";
inline constexpr const char* kEndOfFile = "// EOF";

// After an export whose names the script cannot carry: the number of lines, then this.
inline constexpr const char* kNamesLostTail =
    " line(s) of the script hold a name with a quote, a bracket or a line break, which an "
    "import cannot read back: those elements would be lost.";

// Commands, each with its opening parenthesis and blank.
inline constexpr const char* kMaterialAdd = "STAT_Add( ";
inline constexpr const char* kMaterialParameter = "STAT_SetParamter( ";
inline constexpr const char* kJointAdd = "HIER_Add( ";
inline constexpr const char* kNavLightAdd = "NAVL_Add( ";
inline constexpr const char* kMarkerAdd = "MRKR_Add( ";
inline constexpr const char* kTrackSet = "ANIM_Set( ";
inline constexpr const char* kKeyframeSet = "KEYF_Set( ";
inline constexpr const char* kDockPathAdd = "DOCK_Add( ";
inline constexpr const char* kDockPointSet = "DOCK_SetKeyframe( ";
inline constexpr const char* kBoundaryCount = "BNDV_SetNumVertices( ";
inline constexpr const char* kBoundaryVertex = "BNDV_SetVertex( ";
inline constexpr const char* kLightAdd = "LITE_Add( ";

// Punctuation. Materials and lights close differently from the other commands.
inline constexpr const char* kArgumentSeparator = ", ";
inline constexpr const char* kQuote = "'";
inline constexpr const char* kClose = " );";
inline constexpr const char* kMaterialClose = " ); ";
inline constexpr const char* kLightClose = "); ";
inline constexpr const char* kOpenBrace = " {";
inline constexpr const char* kCloseBrace = " }";
inline constexpr const char* kDockCloseBrace = " } ";
inline constexpr const char* kTab = "\t";

// The file-name question and the script's file.
inline constexpr const char* kFileNamePrompt =
    "Please enter a filename (and path for HOD)\r\n(Entering nothing will exit)";
inline constexpr const char* kDefaultFileName = "Untitled.HOD";
inline constexpr const char* kScriptExtension = ".hsc";

inline constexpr const char* kExportFailed = "HSC Export failed!";
// Debug log: the path, then what the system said.
inline constexpr const char* kCouldntWrite = export_messages::kCouldntWrite;

}  // namespace gantry::script_export_messages
