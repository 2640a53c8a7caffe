// Texts that more than one part of the program shows; the families' own message headers refer
// to these rather than spelling them again.
#pragma once

namespace gantry::shared_text {

inline constexpr const char* kProgramTitle = "Gantry HOD Editor";
inline constexpr const char* kRemovingLastForm = "Removing last form";
inline constexpr const char* kSelectObjectFirst = "Please select a object first!";
inline constexpr const char* kSelectGeometryFirst =
    "Please Select geometry in the geometry section first!";
inline constexpr const char* kReady = "Ready";
inline constexpr const char* kLineBreak = "\r\n";
inline constexpr const char* kNothingImported = "Nothing was imported.";
inline constexpr const char* kTime = " Time: ";
inline constexpr const char* kCouldntWrite = "Couldn't write file: ";
inline constexpr const char* kConvertingToBmsh =
    "Converting to BMSH format... (This may take time)";
inline constexpr const char* kRootJoint = "Root";
inline constexpr const char* kWorldParent = "world";
inline constexpr const char* kDefault = "default";  // nav-light style and new material shader
inline constexpr const char* kCancel = "Cancel";
inline constexpr const char* kObjectName = "Object Name";
inline constexpr const char* kWireMesh = "WIRE_Mesh";
inline constexpr const char* kBackgroundPart = "BGMS Part ";
inline constexpr const char* kDdsExtension = ".DDS";

}  // namespace gantry::shared_text
